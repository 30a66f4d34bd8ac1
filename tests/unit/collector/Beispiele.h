// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "Dienste.h"

#include "collector/Sammler.h"
#include "mqtt/Nutzlast.h"

#include <cstdint>
#include <memory>
#include <string>

// What the collector's tests and its benchmark send and start.

// A pH reading of 06.12.2026 16:53:34 CET, its UTC stamp `seq` ms after .120.
inline TMesswert BeispielMesswert(std::int64_t seq, double wert = 7.0) {
    TMesswert m;
    m.PCDatum = "06.12.2026";
    m.PCZeit = "16:53:34";
    m.PCUtcMs = 1796572414120 + seq;
    m.Messgroesse = "pH";
    m.Einheit = "pH";
    m.Wert = wert;
    return m;
}

// A collector with a persistent session at `broker`, writing into `postgres`.
inline std::unique_ptr<TSammler> SammlerStarten(const TMosquitto& broker, const TPostgres& postgres,
                                                const std::string& id = "quorlits-sammler-test",
                                                const std::string& gruppe = {}) {
    TSammlerOptionen optionen;
    optionen.Zugang.Adresse = BrokerAdresseLesen(broker.Url());
    optionen.Zugang.ClientId = id;
    optionen.Gruppe = gruppe;
    optionen.Zugang.SitzungBehalten = true;
    optionen.Datenbank = postgres.Verbindung();
    optionen.Meldungen = stderr;
    auto sammler = std::make_unique<TSammler>(optionen);
    sammler->Starten();
    return sammler;
}
