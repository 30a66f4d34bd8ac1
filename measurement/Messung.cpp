// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "measurement/Messung.h"

#include "framework/Meldung.h"
#include "measurement/Rueckkehr.h"
#include "measurement/Vorlauf.h"
#include "reception/Messablauf.h"
#include "serial/ComPort.h"
#include "serial/ComPortDevices.h"
#include "serial/ComTimeouts.h"
#include "serial/EComPort.h"
#include "serial/platform/PortName.h"
#include "storage/EInOutError.h"
#include "storage/RohdatenEinstellungen.h"

#include <QTimer>

#include <utility>

std::string NutzerText(const std::exception_ptr& fehler) {
    try {
        std::rethrow_exception(fehler);
    } catch (const EInOutError& e) {
        return e.MitDetail();
    } catch (...) {
        return MeldungsText(fehler);
    }
}

// The start steps set the state before they open the port and the end steps close the port
// before they reset it: chunks the port still delivers while it closes are handled in the
// measurement they belong to, and saved.

TMessung::TMessung(TProgrammZustand& zustand, TComPort& port, const TEinstellungen& einstellungen,
                   TUhr uhr, QObject* parent)
    : QObject(parent)
    , zustand_(zustand)
    , port_(port)
    , einstellungen_(einstellungen)
    , uhr_(std::move(uhr))
    , syncTakt_(new QTimer(this)) {
    // A full disk keeps the readings in memory until it takes them again: nothing is lost.
    zustand_.Speicher.Datendatei.ZeilenAufbewahren(true);
    syncTakt_->setObjectName(QStringLiteral("Synctakt"));
    syncTakt_->setSingleShot(true);
    connect(syncTakt_, &QTimer::timeout, this, [this] { Synchronisieren(); });
    if (zustand_.Speicher.Angaben.Bediener.empty()) {
        zustand_.Speicher.Angaben.Bediener = AnmeldeName();
    }
    port_.OnRxChar = [this](TCustomComPort*, int anzahl) { Empfangen(anzahl); };
    port_.OnLineLost = [this](TCustomComPort*, int fehler) { LeitungWeg(fehler); };
}

TMessung::~TMessung() {
    port_.OnRxChar = {};
    port_.OnLineLost = {};
}

void TMessung::AufzeichnungsDateiSetzen(std::string pfad, TRohOeffnung art) {
    aufzeichnung_.FesteDateiSetzen(std::move(pfad), art);
}

void TMessung::SyncPlanen() {
    DateiMeldungenWeitergeben();
    std::int64_t ms = zustand_.Speicher.Datendatei.SyncInMs();
    if (const std::int64_t roh = aufzeichnung_.SyncInMs(); roh >= 0 && (ms < 0 || roh < ms)) {
        ms = roh;
    }
    if (ms < 0) {
        syncTakt_->stop();
    } else {
        syncTakt_->start(static_cast<int>(ms));
    }
}

void TMessung::Synchronisieren() {
    if (vorlauf_ != nullptr) {
        vorlauf_->VorDemSichern();
    }
    try {
        SpeicherSynchronisieren(zustand_.Speicher);
    } catch (...) {
        const std::string& datei = zustand_.Konfiguration.Ausgabedatei;
        emit Fehler(std::make_exception_ptr(
            EMeldung("Speichern in " + datei + ": " + NutzerText(std::current_exception()),
                     DateiBezug(datei))));
    }
    aufzeichnung_.Synchronisieren();
    SyncPlanen();
}

void TMessung::Sichern() {
    if (vorlauf_ != nullptr) {
        vorlauf_->VorDemSichern();
    }
    zustand_.Speicher.Datendatei.Sichern();
}

void TMessung::DateiMeldungenWeitergeben() {
    for (const TDateiMeldung& meldung : zustand_.Speicher.Datendatei.MeldungenAbholen()) {
        Weitergeben(meldung, zustand_.Konfiguration.Ausgabedatei);
    }
    for (const TDateiMeldung& meldung : aufzeichnung_.MeldungenAbholen()) {
        Weitergeben(meldung, aufzeichnung_.Pfad());
    }
}

void TMessung::Weitergeben(const TDateiMeldung& meldung, const std::string& datei) {
    if (meldung.Fehler()) {
        // The window shows the file layer's own text for the errno, the logger the sentence.
        std::exception_ptr komponente;
        if (meldung.SystemFehler != 0) {
            komponente = std::make_exception_ptr(EInOutError::AusErrno(meldung.SystemFehler));
        }
        emit Fehler(std::make_exception_ptr(
            EMeldung(meldung.Text, DateiBezug(datei, meldung.SystemFehler), komponente)));
    } else {
        emit Hinweis(QString::fromStdString(meldung.Text));
    }
}

bool TMessung::Laeuft() const {
    return port_.Connected() || WartetAufGeraet();
}

void TMessung::Beginnen(TLeseModus art, bool aufzeichnungNoetig, bool geraetAbwarten) {
    MessungsZustandBeginnen(zustand_, art);
    ProbeMarkieren(); // the chart was emptied: it begins with the sample being measured
    UnterbrechungenVergessen();
    int abwarten = 0; // the errno of a device that is waited for from the start
    try {
        PortOeffnen();
    } catch (const EMeldung& meldung) {
        abwarten = geraetAbwarten ? meldung.Bezug().Systemfehler : 0;
        if (abwarten == 0) {
            // A start that could not open its port is no measurement: it is undone.
            MessungsZustandBeenden(zustand_);
            emit BeginnGescheitert(art);
            throw;
        }
    }
    AufzeichnungBeginnen(art, aufzeichnungNoetig);
    leitung_.MessName = port_.Port();
    if (abwarten != 0) {
        WartenBeginnen(abwarten, false);
        emit Begonnen(art);
        return;
    }
    adapter_ = {};
    if (einstellungen_.AutomatischWiederverbinden) {
        // The identity serves only the wait; reading the device list costs a moment.
        try {
            adapter_ = ComPortIdentity(leitung_.MessName);
        } catch (const EComPort&) {
            // Without a readable device list the port is found again by its name, as off USB.
        }
    }
    emit Begonnen(art);
}

void TMessung::PortOeffnen() {
    try {
        port_.Open();
    } catch (const EComPort& fehler) {
        throw EMeldung("Die Schnittstelle " + port_.Port() +
                           " lässt sich nicht öffnen: " + OeffnenGrund(fehler) + ".",
                       GeraetBezug(DevicePathOfPort(port_.Port()), fehler.SystemCode()),
                       std::current_exception());
    }
}

void TMessung::AufzeichnungBeginnen(TLeseModus art, bool noetig) {
    const std::exception_ptr fehler = aufzeichnung_.MessungBegonnen(
        einstellungen_.RohdatenAufzeichnen, zustand_, port_.Port(), LineSettingsTexts(port_),
        art == lmWTW ? "WTW" : "RS232", Jetzt());
    if (fehler && noetig) {
        throw EMeldung("Die Rohdatenaufzeichnung " + aufzeichnung_.Pfad() +
                           " lässt sich nicht anlegen: " + NutzerText(fehler),
                       DateiBezug(aufzeichnung_.Pfad()));
    }
    AufzeichnungsFehler(fehler);
    SyncPlanen();
}

void TMessung::Beenden() {
    const bool portOffen = port_.Connected();
    const std::exception_ptr schliessFehler = PortSchliessen();
    MessungAbschliessen(portOffen);
    SchliessFehlerMelden(schliessFehler);
}

std::exception_ptr TMessung::PortSchliessen() {
    if (WartetAufGeraet()) {
        WartenBeenden();
        LeitungMelden(TLeitungsWechsel::Sonst);
        return nullptr;
    }
    try {
        port_.Close();
    } catch (const EComPort&) {
        return std::current_exception();
    }
    return nullptr;
}

void TMessung::MessungAbschliessen(bool portOffen) {
    const TLeseModus art = Modus();
    AufzeichnungsFehler(aufzeichnung_.MessungBeendet(portOffen, Jetzt()));
    SyncPlanen();
    MessungsZustandBeenden(zustand_);
    emit Beendet(art);
}

void TMessung::SchliessFehlerMelden(const std::exception_ptr& fehler) {
    if (fehler) {
        throw EMeldung("Die Schnittstelle " + port_.Port() + " lässt sich nicht schließen.",
                       GeraetBezug(port_.Port()), fehler);
    }
}

void TMessung::SpeichernEin(TSpeicherArt art) {
    // A file keeps the columns it was begun with.
    zustand_.Speicher.AngabenSchreiben = einstellungen_.AngabenInDatei;
    SpeichernEinschalten(zustand_, zustand_.Konfiguration, art, Jetzt().Lokal);
    if (aufzeichnung_.Aktiv()) {
        AufzeichnungsFehler(aufzeichnung_.SpeichernBegonnen(zustand_, Jetzt()));
    }
    SyncPlanen();
    emit SpeichernGeaendert(art);
}

void TMessung::SpeichernAus() {
    if (Speichern() == TSpeicherArt::Aus) {
        return;
    }
    Aufzeichnen(TRohArt::SpeichernAus, {});
    try {
        SpeichernAusschalten(zustand_);
    } catch (...) {
        emit SpeichernGeaendert(TSpeicherArt::Aus); // off all the same
        throw;
    }
    emit SpeichernGeaendert(TSpeicherArt::Aus);
}

void TMessung::Schluss() {
    const bool lief = Laeuft();
    const bool portOffen = port_.Connected();
    const std::exception_ptr schliessFehler = lief ? PortSchliessen() : nullptr;
    std::exception_ptr speicherFehler;
    try {
        SpeichernAus();
    } catch (...) {
        speicherFehler = std::current_exception();
    }
    if (lief) {
        MessungAbschliessen(portOffen);
    }
    AufzeichnungsFehler(aufzeichnung_.Ende(false, false, Jetzt()));
    SyncPlanen();
    if (speicherFehler) {
        std::rethrow_exception(speicherFehler);
    }
    SchliessFehlerMelden(schliessFehler);
}

void TMessung::Senden(const std::string& text) {
    if (!port_.Connected()) {
        SendenOhneMessung(text);
        return;
    }
    port_.WriteText(text);
    Aufzeichnen(TRohArt::Gesendet, text);
}

void TMessung::SendenOhneMessung(const std::string& text) {
    // Closing the port discards what has not left yet, so wait for it first.
    port_.Open();
    try {
        port_.WriteText(text);
        port_.WaitForOutputEmpty(WriteDrainLimitMs(port_, static_cast<int>(text.size())));
    } catch (...) {
        port_.Close();
        throw;
    }
    port_.Close();
}

void TMessung::Empfangen(int anzahl) {
    // The port's delivery must not end in an exception: every error goes out through Fehler.
    std::string chunk;
    try {
        port_.ReadText(chunk, anzahl);
    } catch (...) {
        // What was read before the failure is still handled.
        emit Fehler(std::make_exception_ptr(
            AlsMeldung("Lesen von " + port_.Port() + ": ", GeraetBezug(port_.Port()))));
    }
    // One clock reading stamps the chunk's records and its capture record, so a replay of the
    // capture stamps them alike.
    const TUhrzeit jetzt = Jetzt();
    if (aufzeichnung_.Aktiv()) {
        AufzeichnungsFehler(aufzeichnung_.Eintragen(TRohArt::Empfangen, chunk, jetzt));
    }
    const TChunkErgebnis ergebnis = ChunkVerarbeiten(zustand_, chunk, jetzt, MesswertSchritte());
    SyncPlanen();
    emit ChunkVerarbeitet(ergebnis);
    if (ergebnis.Fehler) {
        const std::string& datei = zustand_.Konfiguration.Ausgabedatei;
        try {
            std::rethrow_exception(ergebnis.Fehler);
        } catch (...) {
            emit Fehler(std::make_exception_ptr(
                EMeldung("Speichern in " + datei + ": " + NutzerText(ergebnis.Fehler),
                         DateiBezug(datei), ergebnis.Fehler)));
        }
    }
}

// The line of a reading is counted before it is written only for a TVorlauf that asks for it.
TMesswertSchritte TMessung::MesswertSchritte() {
    TMesswertSchritte schritte;
    schritte.Gelistet = [this](const TMesswert& messwert) { emit NeuerMesswert(messwert); };
    if (vorlauf_ != nullptr) {
        schritte.VorDerZeile = [this](const TMesswert& messwert,
                                      std::optional<std::int64_t> zeile) {
            vorlauf_->VorDerZeile(messwert, zeile);
        };
    }
    return schritte;
}

void TMessung::Aufzeichnen(TRohArt art, std::string_view daten) {
    if (aufzeichnung_.Aktiv()) {
        AufzeichnungsFehler(aufzeichnung_.Eintragen(art, daten, Jetzt()));
        SyncPlanen();
    }
}

void TMessung::AufzeichnungsFehler(const std::exception_ptr& fehler) {
    if (!fehler) {
        return;
    }
    const std::string text = "Rohdaten werden nicht mehr aufgezeichnet: „" + aufzeichnung_.Pfad() +
                             "“ (" + NutzerText(fehler) + "). Messung und Speichern laufen weiter.";
    emit Fehler(std::make_exception_ptr(EMeldung(text, DateiBezug(aufzeichnung_.Pfad()))));
}

void TMessung::AngabeSetzen(TAngabe angabe, const std::string& wert, const std::string& grund) {
    std::string& feld = zustand_.Speicher.Angaben[angabe];
    if (feld == wert) {
        return;
    }
    const std::string alt = std::exchange(feld, wert);
    Aufzeichnen(TRohArt::Angabe, AngabeRohText(angabe, wert));
    if (angabe == TAngabe::Probe) {
        ProbeMarkieren();
    }
    emit AngabeGeaendert(angabe, QString::fromStdString(alt), QString::fromStdString(wert),
                         QString::fromStdString(grund));
}

void TMessung::ProbeMarkieren() {
    const std::string& probe = zustand_.Speicher.Angaben.Probe;
    if (zustand_.Verlauf != nullptr && !probe.empty() && Modus() == lmWTW) {
        zustand_.Verlauf->ProbeMarkieren(Jetzt().UtcMs, probe);
    }
}
