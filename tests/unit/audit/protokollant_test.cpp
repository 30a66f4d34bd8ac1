// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The audit trail of a scripted measurement on the fake device: the listener writes the
// measurement's events in order, and the data file it saved checks out against the chain.
#include "TestOrdner.h"
#include "Warten.h"

#include "audit/Protokoll.h"
#include "audit/Protokollant.h"
#include "audit/Protokollzeile.h"
#include "audit/Pruefen.h"
#include "framework/Meldung.h"
#include "measurement/Messung.h"
#include "serial/ComPort.h"
#include "serial/platform/FakeComDevice.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <string>

namespace {

const TZeitpunkt Jetzt{6, 12, 2026, 16, 53, 34};
const std::string Ph7 = " 7.00 pH   25.0 \xF8"
                        "C\r\n";

TEST(Protokollant, SchreibtDieEreignisseEinerMessungInIhrerFolge) {
    TTestOrdner ordner;
    TFormZustand zustand;
    AnfangszustandSetzen(zustand, Jetzt);
    zustand.Konfiguration.AutoDateiname = false;
    zustand.Konfiguration.Ausgabedatei = ordner.Datei("daten.txt");
    TEinstellungen einstellungen;
    auto geraet = std::make_unique<TFakeComDevice>();
    TFakeComDevice* fake = geraet.get();
    TComPort port(std::move(geraet));
    port.SetPort("/dev/ttyFAKE0");
    TMessung messung(zustand, port, einstellungen, FesteUhr(Jetzt, 3600));
    TProtokoll protokoll([&] { return zustand.Konfiguration.Ausgabedatei; }, FesteUhr(Jetzt, 3600),
                         {"laborant", "bank1"});
    TProtokollant protokollant(messung, protokoll);
    std::string fehler;
    QObject::connect(&protokollant, &TProtokollant::Fehler,
                     [&](const std::exception_ptr& f) { fehler += MeldungsText(f); });
    // Stands in for the data-file writer's hook: every line written reaches the trail.
    std::size_t gelesen = 0;
    int werte = 0;
    QObject::connect(&messung, &TMessung::NeuerMesswert, [&](const TMesswert&) {
        const std::string inhalt = DateiLesen(zustand.Konfiguration.Ausgabedatei);
        protokoll.DatenGeschrieben(std::string_view(inhalt).substr(gelesen));
        gelesen = inhalt.size();
        ++werte;
    });
    bool getrennt = false;
    QObject::connect(&messung, &TMessung::Getrennt, [&](int, bool) { getrennt = true; });

    protokoll.ProgrammStart("0.1.0");
    messung.SpeichernEin(TSpeicherArt::Sofort);
    messung.Beginnen(lmWTW);
    fake->InjectReceived(Ph7);
    ASSERT_TRUE(WartenBis([&] { return werte == 1; }));
    fake->HangUp(EIO);
    ASSERT_TRUE(WartenBis([&] { return getrennt; }));
    messung.WiederverbindenVersuchen();
    fake->InjectReceived(Ph7);
    ASSERT_TRUE(WartenBis([&] { return werte == 2; }));
    messung.Beenden();
    messung.SpeichernAus();
    protokoll.ProgrammEnde();

    const std::string trail = DateiLesen(protokoll.Pfad());
    std::string ereignisse;
    for (const std::string_view zeile : ZeilenTeilen(trail)) {
        const auto eintrag = ProtokollZeileLesen(zeile.substr(0, zeile.size() - 1));
        ASSERT_TRUE(eintrag) << zeile;
        ereignisse += eintrag->Ereignis + ": " + eintrag->Details + "\n";
    }
    const std::string datei = zustand.Konfiguration.Ausgabedatei;
    EXPECT_EQ(ereignisse, "Kette begonnen: 0 Zeilen der Datendatei übernommen\n"
                          "Programmstart: Quorlits 0.1.0\n"
                          "Speichern ein: sofort in " +
                              datei +
                              "\n"
                              "Messbeginn: WTW an /dev/ttyFAKE0\n"
                              "Leitung verloren: errno 5, Messung wartet auf das Gerät\n"
                              "Leitung zurück: /dev/ttyFAKE0\n"
                              "Messende: WTW\n"
                              "Speichern aus: " +
                              datei +
                              "\n"
                              "Programmende: \n");
    EXPECT_EQ(fehler, "");
    const TPruefung pruefung = DatendateiPruefen(DateiLesen(datei), trail);
    EXPECT_EQ(PruefText(pruefung), "unverändert: 3 Zeilen, Kette bis 2026-12-06T16:53:34+01:00");
}

} // namespace
