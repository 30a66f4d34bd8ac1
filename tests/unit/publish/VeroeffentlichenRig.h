// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "Warten.h"

#include "measurement/Messung.h"
#include "mqtt/MqttVerbindung.h"
#include "publish/Veroeffentlicher.h"
#include "serial/ComPort.h"
#include "serial/platform/FakeComDevice.h"

#include <QTemporaryDir>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

// A meter measurement on the scripted device with immediate saving, and its publisher.
class TVeroeffentlichenRig {
public:
    explicit TVeroeffentlichenRig(const std::string& server, const std::string& bench = "bank1") {
        AnfangszustandSetzen(zustand, TZeitpunkt{6, 12, 2026, 16, 53, 34});
        zustand.Konfiguration.AutoDateiname = false;
        zustand.Konfiguration.Ausgabedatei = Pfad("daten.txt");
        auto geraet = std::make_unique<TFakeComDevice>();
        Geraet = geraet.get();
        port = std::make_unique<TComPort>(std::move(geraet));
        port->SetPort("/dev/ttyFAKE0");
        messung = std::make_unique<TMessung>(zustand, *port, einstellungen,
                                             FesteUhr(TZeitpunkt{6, 12, 2026, 16, 53, 34}, 3600));
        QObject::connect(messung.get(), &TMessung::ChunkVerarbeitet, messung.get(),
                         [this](const TChunkErgebnis& e) { Messwerte += e.Datensaetze; });
        veroeffentlichen.Aktiv = true;
        veroeffentlichen.Server = server;
        veroeffentlichen.Arbeitsplatz = bench;
        Neu();
    }

    // A publisher anew, as after a restart of the program.
    void Neu() {
        publisher.reset();
        publisher = std::make_unique<TVeroeffentlicher>(*messung, zustand, veroeffentlichen,
                                                        ordner.path().toStdString());
    }

    std::string Pfad(const char* name) const {
        return ordner.filePath(QString::fromLatin1(name)).toStdString();
    }

    void Starten() {
        messung->Beginnen(lmWTW);
        messung->SpeichernEin(TSpeicherArt::Sofort);
    }

    // `anzahl` readings arrive (values 1.01, 1.02, ... from `erster` on) and are handled.
    bool Empfangen(int anzahl, int erster = 1) {
        std::string bytes;
        for (int i = erster; i < erster + anzahl; ++i) {
            char zeile[40];
            std::snprintf(zeile, sizeof zeile,
                          " %d.%02d pH   25.0 \xF8"
                          "C\r\n",
                          1 + i / 100, i % 100);
            bytes += zeile;
        }
        const int ziel = Messwerte + anzahl;
        Geraet->InjectReceived(bytes);
        return WartenBis([&] { return Messwerte >= ziel; });
    }

    QTemporaryDir ordner;
    TProgrammZustand zustand;
    TEinstellungen einstellungen;
    TVeroeffentlichenEinstellungen veroeffentlichen;
    TFakeComDevice* Geraet = nullptr;
    std::unique_ptr<TComPort> port;
    std::unique_ptr<TMessung> messung;
    std::unique_ptr<TVeroeffentlicher> publisher;
    int Messwerte = 0;
};

// A client that takes every message under quorlits/v1/ (its own persistent session).
class TMitleser {
public:
    explicit TMitleser(int port)
        : TMitleser(Lokal(port)) {}

    explicit TMitleser(TMqttZugang zugang) {
        zugang.ClientId = "mitleser";
        zugang.SitzungBehalten = true;
        verbindung = std::make_unique<TMqttVerbindung>(zugang);
        // Its own message on the probe topic comes back once the subscription stands.
        QObject::connect(verbindung.get(), &TMqttVerbindung::Verbunden, verbindung.get(),
                         [this](bool) {
                             verbindung->Abonnieren("quorlits/v1/#", 1);
                             verbindung->Veroeffentlichen("quorlits/v1/probe", "1", 1, false);
                         });
        QObject::connect(verbindung.get(), &TMqttVerbindung::NachrichtErhalten, verbindung.get(),
                         [this](const std::string& thema, const std::string& inhalt, bool) {
                             Nachrichten[thema].push_back(inhalt);
                         });
        verbindung->Verbinden();
    }

    // Waits until the subscription stands, so nothing published from now on is missed.
    bool Abonniert() {
        return WartenBis([this] { return !Nachrichten["quorlits/v1/probe"].empty(); });
    }

    std::unique_ptr<TMqttVerbindung> verbindung;
    std::map<std::string, std::vector<std::string>> Nachrichten;

private:
    static TMqttZugang Lokal(int port) {
        TMqttZugang zugang;
        zugang.Adresse = TBrokerAdresse{false, "127.0.0.1", port};
        return zugang;
    }
};
