// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "headless/OhneFenster.h"

#include "app/Abbruchsignale.h"
#include "app/ComMainWindowPort.h"
#include "app/KonfDatei.h"
#include "app/KonfPfad.h"
#include "audit/Protokoll.h"
#include "audit/Protokollant.h"
#include "headless/Eingabe.h"
#include "headless/Meldungen.h"
#include "headless/MesswertAusgabe.h"
#include "measurement/Messung.h"
#include "publish/Veroeffentlicher.h"
#include "serial/ComPort.h"
#include "serial/ComTexts.h"
#include "storage/EInOutError.h"
#include "storage/RohdatenFormat.h"
#include "storage/SystemText.h"

#include <QCoreApplication>

#include <csignal>
#include <unistd.h>
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
    optionen.Warten = befehlszeile.Warten;
    optionen.Veroeffentlichen = befehlszeile.Veroeffentlichen;
    optionen.Arbeitsplatz = befehlszeile.Arbeitsplatz;
    optionen.VeroeffentlichenPasswort = befehlszeile.VeroeffentlichenPasswort;
    optionen.VeroeffentlichenCa = befehlszeile.VeroeffentlichenCa;
    optionen.Angaben = {befehlszeile.Probe, befehlszeile.Bediener, befehlszeile.Elektrode};
    optionen.Eingabe = STDIN_FILENO;
    optionen.KonfigurationsDatei = KonfigurationsPfad();
    return optionen;
}

TOhneFenster::TOhneFenster(TOhneFensterOptionen optionen)
    : optionen_(std::move(optionen)) {
    dienst_.BeiFehler = [this](const std::string& text) { Melden(text); };
}

TOhneFenster::~TOhneFenster() {
    Beenden();
}

bool TOhneFenster::WartetAufGeraet() const {
    return messung_ && messung_->WartetAufGeraet();
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
        MessungEinrichten();
        ProtokollEinrichten();
        AngabenEinrichten();
        VeroeffentlichenEinrichten();
        EingabeEinrichten();
        laeuft_ = true;
        // The capture starts with the measurement, before the data file is opened: a start
        // that fails there leaves no new data file behind.
        messung_->Beginnen(lmWTW, true, optionen_.Warten);
        messung_->SpeichernEin(TSpeicherArt::Sofort);
    } catch (...) {
        Melden(MeldungsText(std::current_exception()));
        Beenden();
        return 1;
    }
    const TMessAufzeichnung& aufzeichnung = messung_->Aufzeichnung();
    const std::string& name = messung_->Leitung().MessName;
    Melden((messung_->WartetAufGeraet()
                ? "Messung wartet auf " + name + " (" + messung_->Leitung().WarteGrund + ")"
                : "Messung auf " + name + " läuft") +
           ", jeder Messwert geht sofort in " + optionen_.Datendatei +
           (aufzeichnung.Aktiv() ? ", Rohdaten in " + aufzeichnung.Pfad() : std::string()) +
           ". Ende mit Strg+C oder SIGTERM.");
    DienstStatus();
    dienst_.Bereit();
    return 0;
}

// What systemd shows in "systemctl status": the readings so far, or what the run waits for.
void TOhneFenster::DienstStatus() {
    if (!dienst_.Aktiv()) {
        return;
    }
    const TLeitungsStand& leitung = messung_->Leitung();
    dienst_.Status(messung_->WartetAufGeraet()
                       ? "Warte auf " + leitung.MessName + ": " + leitung.WarteGrund
                       : "Messung läuft, " + std::to_string(messwerte_) +
                             (messwerte_ == 1 ? " Messwert" : " Messwerte"));
}

// As the window's first activation: its defaults, then PHRX.CFG and quorlits.conf.
void TOhneFenster::Einrichten() {
    AnfangszustandSetzen(zustand_, UhrLesen(optionen_.Uhr).Lokal);
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
    // A logger started again on its file (--append, a restarted service) adds no second header.
    zustand_.Speicher.GleicheKopfzeileAuslassen = optionen_.Anhaengen;
}

void TOhneFenster::MesswertAusgeben(const TMesswert& messwert) {
    ++messwerte_;
    DienstStatus();
    if (optionen_.Leise || !ausgabeOffen_) {
        return;
    }
    const TSpeicherZustand& speicher = zustand_.Speicher;
    const std::string zeile =
        MesswertZeileUtf8(messwert, speicher.AngabenSchreiben ? &speicher.Angaben : nullptr);
    if (std::fputs(zeile.c_str(), optionen_.Ausgabe) == EOF ||
        std::fflush(optionen_.Ausgabe) == EOF) {
        // A reader of the output that went away costs no reading: the file goes on.
        ausgabeOffen_ = false;
        Melden("Die Standardausgabe nimmt nichts mehr an; die Messwerte gehen weiter in " +
               optionen_.Datendatei + ".");
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
}

// The measurement on the port; its events become lines on the message stream.
void TOhneFenster::MessungEinrichten() {
    messung_ = std::make_unique<TMessung>(zustand_, *port_, einstellungen_,
                                          optionen_.Uhr ? optionen_.Uhr : SystemUhr());
    // With --append an existing capture goes on with a new run; without, it is never touched.
    messung_->AufzeichnungsDateiSetzen(
        Aufzeichnungsdatei(), optionen_.Anhaengen ? TRohOeffnung::Fortsetzen : TRohOeffnung::Neu);
    TMessung* m = messung_.get();
    QObject::connect(m, &TMessung::NeuerMesswert, m,
                     [this](const TMesswert& messwert) { MesswertAusgeben(messwert); });
    QObject::connect(m, &TMessung::Hinweis, m,
                     [this](const QString& text) { Melden(text.toStdString()); });
    QObject::connect(m, &TMessung::Fehler, m,
                     [this](const std::exception_ptr& fehler) { Melden(MeldungsText(fehler)); });
    QObject::connect(m, &TMessung::Getrennt, m,
                     [this](int fehler, bool wartet) { Getrennt(fehler, wartet); });
    QObject::connect(m, &TMessung::NochGetrennt, m, [this] { NochGetrennt(); });
    QObject::connect(m, &TMessung::Zurueck, m, [this](const QString& name) { Zurueck(name); });
    QObject::connect(m, &TMessung::LeitungGeaendert, m, [this] { DienstStatus(); });
    QObject::connect(m, &TMessung::AngabeGeaendert, m,
                     [this](TAngabe angabe, const QString& alt, const QString& neu) {
                         Melden(std::string(AngabeName(angabe)) + ": „" + neu.toStdString() +
                                "“ (bisher „" + alt.toStdString() + "“)");
                     });
}

// The trail of the data file's name, fed by every line written to it; its errors are said
// and stop nothing.
void TOhneFenster::ProtokollEinrichten() {
    const TSpeicherZustand& speicher = zustand_.Speicher;
    protokoll_ = std::make_unique<TProtokoll>(
        [&speicher] { return speicher.Datendatei.LetzteDatei(); },
        optionen_.Uhr ? optionen_.Uhr : SystemUhr(), ProtokollWerDesSystems());
    protokollant_ = std::make_unique<TProtokollant>(*messung_, *protokoll_);
    protokollant_->DatendateiVerbinden(zustand_.Speicher.Datendatei);
    QObject::connect(protokollant_.get(), &TProtokollant::Fehler, messung_.get(),
                     [this](const std::exception_ptr& fehler) { Melden(MeldungsText(fehler)); });
    protokollant_->ProgrammStart(ProgrammVersion());
}

// What the command line names; the operator is the login name otherwise.
void TOhneFenster::AngabenEinrichten() {
    for (const TAngabe angabe : AlleAngaben) {
        if (!optionen_.Angaben[angabe].empty()) {
            messung_->AngabeSetzen(angabe, optionen_.Angaben[angabe]);
        }
    }
}

// Lines "Probe: …" while the run goes on; the end of the input ends only their reading.
void TOhneFenster::EingabeEinrichten() {
    eingabe_ = std::make_unique<TEingabeZeilen>(
        optionen_.Eingabe, [this](const std::string& zeile) { Eingegeben(zeile); });
    QObject::connect(eingabe_.get(), &TEingabeZeilen::Ende, messung_.get(), [this](int fehler) {
        if (fehler != 0) {
            Melden("Die Standardeingabe lässt sich nicht lesen (" + SystemFehlerText(fehler) +
                   "); Probe, Bediener und Elektrode bleiben, wie sie sind.");
        }
    });
}

void TOhneFenster::Eingegeben(const std::string& zeile) {
    if (zeile.find_first_not_of(" \t") == std::string::npos) {
        return;
    }
    if (const auto angabe = AngabeZeileLesen(zeile)) {
        messung_->AngabeSetzen(angabe->first, angabe->second);
        return;
    }
    Melden("Eingabe nicht verstanden: „" + AngabeText(zeile) +
           "“; erwartet wird „Probe: …“, „Bediener: …“ oder „Elektrode: …“.");
}

// The publisher, when quorlits.conf or the command line asks for it.
void TOhneFenster::VeroeffentlichenEinrichten() {
    TVeroeffentlichenEinstellungen e =
        VeroeffentlichenLesen(EinstellungenPfad(optionen_.KonfigurationsDatei));
    for (const auto& [wert, feld] :
         {std::pair{&optionen_.Veroeffentlichen, &e.Server},
          std::pair{&optionen_.Arbeitsplatz, &e.Arbeitsplatz},
          std::pair{&optionen_.VeroeffentlichenPasswort, &e.PasswortDatei},
          std::pair{&optionen_.VeroeffentlichenCa, &e.CaDatei}}) {
        if (!wert->empty()) {
            *feld = *wert;
        }
    }
    e.Aktiv = e.Aktiv || !optionen_.Veroeffentlichen.empty();
    veroeffentlicher_ = VeroeffentlicherFuer(*messung_, zustand_, e, optionen_.ZustandsOrdner);
    if (!veroeffentlicher_) {
        return;
    }
    veroeffentlicher_->KettenKopfSetzen([this] { return protokoll_->KettenKopf(); });
    QObject::connect(veroeffentlicher_.get(), &TVeroeffentlicher::Meldung, messung_.get(),
                     [this](const QString& text) { Melden(text.toStdString()); });
}

// One file for the whole run, as with --capture in the window: --capture, or beside the data
// file when quorlits.conf asks for captures.
std::string TOhneFenster::Aufzeichnungsdatei() const {
    if (optionen_.Aufzeichnung.empty() && einstellungen_.RohdatenAufzeichnen) {
        return RohdateiName(optionen_.Datendatei);
    }
    return optionen_.Aufzeichnung;
}

int TOhneFenster::Beenden() {
    if (!laeuft_) {
        return 0;
    }
    laeuft_ = false;
    dienst_.Endet();
    eingabe_.reset();
    int code = 0;
    try {
        messung_->Schluss();
    } catch (const EInOutError& fehler) {
        Melden("Schließen von " + optionen_.Datendatei + ": " + fehler.what());
        code = 1;
    } catch (const EMeldung&) {
        // A port that went away closes with an error; the data file is what matters now.
    }
    protokollant_->ProgrammEnde();
    return code;
}

int OhneFensterLaufen(TOhneFensterOptionen optionen) {
    // A closed pipe on standard output must not end the run before the file is closed, nor
    // reading standard input from the background of a terminal stop it (the read fails).
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGTTIN, SIG_IGN);
    std::FILE* meldungen = optionen.Meldungen;
    TOhneFenster lauf(std::move(optionen));
    int ende = 0;
    lauf.BeiEnde = [&ende](int code) {
        ende = code;
        QCoreApplication::exit(code);
    };
    const TAbbruchsignale signale([&lauf, &ende, meldungen](int signal) {
        Melden(meldungen, TAbbruchsignale::Name(signal) + ": Die Messung endet.");
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
