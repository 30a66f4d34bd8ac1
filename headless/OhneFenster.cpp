// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "headless/OhneFenster.h"

#include "app/ComMainWindowPort.h"
#include "app/KonfDatei.h"
#include "app/KonfPfad.h"
#include "app/Rueckkehr.h"
#include "headless/Abbruchsignale.h"
#include "headless/Meldungen.h"
#include "headless/MesswertAusgabe.h"
#include "serial/ComPort.h"
#include "serial/ComPortDevices.h"
#include "serial/ComTexts.h"
#include "serial/EComPort.h"
#include "storage/EInOutError.h"

#include <QCoreApplication>
#include <QTimer>

#include <csignal>
#include <stdexcept>
#include <utility>

TOhneFensterOptionen OhneFensterOptionen(const TBefehlszeile& befehlszeile) {
    TOhneFensterOptionen optionen;
    optionen.Port = befehlszeile.Port;
    optionen.Datendatei = befehlszeile.Datendatei;
    optionen.Anhaengen = befehlszeile.Anhaengen;
    optionen.Aufzeichnung = befehlszeile.Aufzeichnung;
    optionen.Baud = befehlszeile.Baud;
    optionen.Fluss = befehlszeile.Fluss;
    optionen.Leise = befehlszeile.Leise;
    optionen.KonfigurationsDatei = KonfigurationsPfad();
    return optionen;
}

TOhneFenster::TOhneFenster(TOhneFensterOptionen optionen)
    : optionen_(std::move(optionen)) {
    takt_ = new QTimer(&kontext_);
    takt_->setInterval(1000);
    QObject::connect(takt_, &QTimer::timeout, &kontext_, [this] { WiederverbindenVersuchen(); });
}

TOhneFenster::~TOhneFenster() {
    Beenden();
}

void TOhneFenster::Melden(const std::string& text) const {
    ::Melden(optionen_.Meldungen, text);
}

int TOhneFenster::Starten() {
    try {
        Einrichten();
        if (!DatendateiErlaubt(optionen_.Datendatei, optionen_.Anhaengen, optionen_.Aufzeichnung,
                               optionen_.Meldungen)) {
            return 1;
        }
        PortEinrichten();
        PortOeffnen();
        laeuft_ = true;
        WTWMessungBeginnen(zustand_);
        // The capture first: a start that fails there leaves no new data file behind.
        AufzeichnungBeginnen();
        SpeichernBeginnen();
    } catch (...) {
        Melden(MeldungsText(std::current_exception()));
        Beenden();
        return 1;
    }
    Melden("Messung auf " + messName_ + " läuft, jeder Messwert geht sofort in " +
           optionen_.Datendatei +
           (aufzeichnung_.Aktiv() ? ", Rohdaten in " + aufzeichnung_.Pfad() : std::string()) +
           ". Ende mit Strg+C oder SIGTERM.");
    return 0;
}

// As the window's first activation: its defaults, then PHRX.CFG and quorlits.conf.
void TOhneFenster::Einrichten() {
    AnfangszustandSetzen(zustand_, Jetzt().Lokal);
    try {
        KonfLoad(zustand_.Konfiguration, optionen_.KonfigurationsDatei);
    } catch (const EInOutError& fehler) {
        Melden(optionen_.KonfigurationsDatei.string() + " ist nicht lesbar (" + fehler.what() +
               "); es geht mit den übrigen Einstellungen weiter.");
    }
    einstellungen_ = EinstellungenLesen(EinstellungenPfad(optionen_.KonfigurationsDatei));
    // Immediate saving into the one data file, continued and never emptied.
    TKonfiguration& konfiguration = zustand_.Konfiguration;
    konfiguration.AutoDateiname = false;
    konfiguration.Ueberschreiben = false;
    konfiguration.Ausgabedatei = optionen_.Datendatei;
    if (!optionen_.Leise) {
        zustand_.MesswertAbgabe = [this](const TMesswert& messwert) {
            if (!ausgabeOffen_) {
                return;
            }
            if (std::fputs(MesswertZeileUtf8(messwert).c_str(), optionen_.Ausgabe) == EOF ||
                std::fflush(optionen_.Ausgabe) == EOF) {
                // A reader of the output that went away costs no reading: the file goes on.
                ausgabeOffen_ = false;
                Melden("Die Standardausgabe nimmt nichts mehr an; die Messwerte gehen weiter in " +
                       optionen_.Datendatei + ".");
            }
        };
    }
}

void TOhneFenster::PortEinrichten() {
    port_ = optionen_.Geraet ? std::make_unique<TComPort>(std::move(optionen_.Geraet))
                             : std::make_unique<TComPort>();
    ApplyMainWindowPortDefaults(*port_);
    port_->SetPort(optionen_.Port);
    port_->BeginUpdate();
    const std::uint32_t baud = optionen_.Baud.value_or(4800);
    port_->SetBaudRate(brCustom);
    port_->SetCustomBaudRate(static_cast<std::int32_t>(baud));
    for (int rate = br110; rate < BaudRateCount; ++rate) {
        if (BaudRateToNumber(static_cast<TBaudRate>(rate)) == baud) {
            port_->SetBaudRate(static_cast<TBaudRate>(rate));
        }
    }
    const std::string& fluss = optionen_.Fluss;
    port_->FlowControl().SetFlowControl(fluss == "none"  ? fcNone
                                        : fluss == "xon" ? fcSoftware
                                                         : fcHardware);
    port_->EndUpdate();
    port_->OnRxChar = [this](TCustomComPort*, int anzahl) { Empfangen(anzahl); };
    port_->OnLineLost = [this](TCustomComPort*, int fehler) { LeitungWeg(fehler); };
}

void TOhneFenster::PortOeffnen() {
    try {
        port_->Open();
    } catch (const EComPort& fehler) {
        throw std::runtime_error("Die Schnittstelle " + optionen_.Port +
                                 " lässt sich nicht öffnen: " + OeffnenGrund(fehler) + ".");
    }
    messName_ = port_->Port();
    if (einstellungen_.AutomatischWiederverbinden) {
        try {
            adapter_ = ComPortIdentity(messName_);
        } catch (const EComPort&) {
            // Without a readable device list the port is found again by its name.
        }
    }
}

void TOhneFenster::SpeichernBeginnen() {
    const TUhrzeit jetzt = Jetzt();
    if (!SpeichernStarten(zustand_.Speicher, zustand_.Konfiguration, jetzt.Lokal)) {
        throw std::runtime_error(zustand_.Speicher.StartFehler);
    }
    zustand_.Speicher.SofortSpeichernAktiv = true;
    AufzeichnungsFehler(aufzeichnung_.SpeichernBegonnen(zustand_, jetzt));
}

void TOhneFenster::AufzeichnungBeginnen() {
    std::string pfad = optionen_.Aufzeichnung;
    if (pfad.empty() && einstellungen_.RohdatenAufzeichnen) {
        pfad = RohdateiName(optionen_.Datendatei);
    }
    if (pfad.empty()) {
        return;
    }
    // One file for the whole run, as with --capture in the window.
    aufzeichnung_.FesteDateiSetzen(pfad);
    if (const std::exception_ptr fehler = aufzeichnung_.MessungBegonnen(
            false, zustand_, port_->Port(), LineSettingsTexts(*port_), "WTW", Jetzt())) {
        throw std::runtime_error("Die Rohdatenaufzeichnung " + pfad +
                                 " lässt sich nicht anlegen: " + MeldungsText(fehler));
    }
}

void TOhneFenster::Aufzeichnen(TRohArt art, const std::string& daten, const TUhrzeit& zeit) {
    AufzeichnungsFehler(aufzeichnung_.Eintragen(art, daten, zeit));
}

void TOhneFenster::AufzeichnungsFehler(const std::exception_ptr& fehler) {
    if (fehler) {
        Melden("Die Rohdatenaufzeichnung " + aufzeichnung_.Pfad() +
               " ist angehalten: " + MeldungsText(fehler) + ". Die Messung läuft weiter.");
    }
}

void TOhneFenster::Empfangen(int anzahl) {
    // The port's delivery must not end in an exception: every error is reported here.
    std::string chunk;
    try {
        port_->ReadText(chunk, anzahl);
    } catch (...) {
        // What was read before the failure is still handled.
        Melden(MeldungsText(std::current_exception()));
    }
    const TUhrzeit jetzt = Jetzt();
    Aufzeichnen(TRohArt::Empfangen, chunk, jetzt);
    const TChunkErgebnis ergebnis = ChunkVerarbeiten(zustand_, chunk, jetzt);
    if (ergebnis.Fehler) {
        Melden("Speichern in " + optionen_.Datendatei + ": " + MeldungsText(ergebnis.Fehler));
    }
}

int TOhneFenster::Beenden() {
    if (!laeuft_) {
        return 0;
    }
    laeuft_ = false;
    const bool portOffen = !wartet_;
    wartet_ = false;
    takt_->stop();
    int ergebnis = 0;
    try {
        port_->Close();
    } catch (const EComPort&) {
        // A port that went away closes with an error; the data file is what matters now.
    }
    const TUhrzeit jetzt = Jetzt();
    Aufzeichnen(TRohArt::SpeichernAus, {}, jetzt);
    TSpeicherZustand& speicher = zustand_.Speicher;
    if (speicher.SofortSpeichernAktiv) {
        speicher.SofortSpeichernAktiv = false;
        try {
            speicher.Datendatei.Schliessen();
        } catch (...) {
            Melden("Schließen von " + optionen_.Datendatei + ": " +
                   MeldungsText(std::current_exception()));
            ergebnis = 1;
        }
    }
    zustand_.Messung.LeseModus = lmKeiner;
    AufzeichnungsFehler(aufzeichnung_.Ende(true, portOffen, jetzt));
    return ergebnis;
}

int OhneFensterLaufen(TOhneFensterOptionen optionen) {
    // A closed pipe on standard output must not end the run before the file is closed.
    std::signal(SIGPIPE, SIG_IGN);
    std::FILE* meldungen = optionen.Meldungen;
    TOhneFenster lauf(std::move(optionen));
    int ende = 0;
    lauf.BeiEnde = [&ende](int code) {
        ende = code;
        QCoreApplication::exit(code);
    };
    const TAbbruchsignale signale([&lauf, &ende, meldungen](int signal) {
        Melden(meldungen,
               std::string(signal == SIGINT ? "SIGINT" : "SIGTERM") + ": Die Messung endet.");
        ende = lauf.Beenden();
        QCoreApplication::exit(ende);
    });
    if (const int start = lauf.Starten(); start != 0) {
        return start;
    }
    QCoreApplication::exec();
    const int schluss = lauf.Beenden();
    return ende != 0 ? ende : schluss;
}
