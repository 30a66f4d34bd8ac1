// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "headless/OhneFenster.h"

#include "app/Abbruchsignale.h"
#include "app/ComMainWindowPort.h"
#include "app/KonfDatei.h"
#include "app/KonfPfad.h"
#include "headless/Eingabe.h"
#include "headless/Meldungen.h"
#include "headless/MesswertAusgabe.h"
#include "measurement/Messung.h"
#include "mqtt/VeroeffentlichenEinstellungen.h"
#include "publish/Veroeffentlicher.h"
#include "serial/ComPort.h"
#include "serial/ComTexts.h"
#include "session/Sitzung.h"
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
    return sitzung_ && sitzung_->Messung().WartetAufGeraet();
}

TMessung& TOhneFenster::Messung() {
    return sitzung_->Messung();
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
        SitzungEinrichten();
        sitzung_->Eroeffnen(Veroeffentlichen());
        AngabenEinrichten();
        EingabeEinrichten();
        laeuft_ = true;
        // The capture starts with the measurement, before the data file is opened: a start
        // that fails there leaves no new data file behind.
        Messung().Beginnen(lmWTW, true, optionen_.Warten);
        Messung().SpeichernEin(TSpeicherArt::Sofort);
    } catch (...) {
        Melden(MeldungsText(std::current_exception()));
        Beenden();
        return 1;
    }
    const TMessAufzeichnung& aufzeichnung = Messung().Aufzeichnung();
    const std::string& name = Messung().Leitung().MessName;
    Melden((Messung().WartetAufGeraet()
                ? "Messung wartet auf " + name + " (" + Messung().Leitung().WarteGrund + ")"
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
    const TLeitungsStand& leitung = Messung().Leitung();
    std::string status = Messung().WartetAufGeraet()
                             ? "Warte auf " + leitung.MessName + ": " + leitung.WarteGrund
                             : "Messung läuft, " + std::to_string(messwerte_) +
                                   (messwerte_ == 1 ? " Messwert" : " Messwerte");
    // Why nothing reaches the broker (a CA file the service cannot read) shows here too.
    if (const TVeroeffentlicher* v = sitzung_->Veroeffentlicher(); v != nullptr) {
        status += "; Veröffentlichen: " + v->Zustand().toStdString();
    }
    dienst_.Status(status);
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

// The session on the port; the events of its measurement, trail and publisher become lines on
// the message stream.
void TOhneFenster::SitzungEinrichten() {
    // With --append an existing capture goes on with a new run; without, it is never touched.
    sitzung_ = std::make_unique<TSitzung>(
        zustand_, *port_, einstellungen_,
        TSitzungsOptionen{optionen_.Uhr, optionen_.ZustandsOrdner, Aufzeichnungsdatei(),
                          optionen_.Anhaengen ? TRohOeffnung::Fortsetzen : TRohOeffnung::Neu});
    TSitzung* s = sitzung_.get();
    const auto melden = [this](const QString& text) { Melden(text.toStdString()); };
    const auto fehlerMelden = [this](const std::exception_ptr& fehler) {
        Melden(MeldungsText(fehler));
    };
    QObject::connect(s, &TSitzung::ProtokollFehler, s, fehlerMelden);
    QObject::connect(s, &TSitzung::VeroeffentlichenMeldung, s, melden);
    QObject::connect(s, &TSitzung::VeroeffentlichenGeaendert, s, [this] { DienstStatus(); });
    TMessung* m = &s->Messung();
    QObject::connect(m, &TMessung::NeuerMesswert, s,
                     [this](const TMesswert& messwert) { MesswertAusgeben(messwert); });
    QObject::connect(m, &TMessung::Hinweis, s, melden);
    QObject::connect(m, &TMessung::Fehler, s, fehlerMelden);
    QObject::connect(m, &TMessung::LeitungGeaendert, s,
                     [this](TLeitungsWechsel wechsel) { LeitungGeaendert(wechsel); });
    QObject::connect(m, &TMessung::AngabeGeaendert, s,
                     [this](TAngabe angabe, const QString& alt, const QString& neu) {
                         Melden(std::string(AngabeName(angabe)) + ": „" + neu.toStdString() +
                                "“ (bisher „" + alt.toStdString() + "“)");
                     });
}

// What the command line names; the operator is the login name otherwise.
void TOhneFenster::AngabenEinrichten() {
    for (const TAngabe angabe : AlleAngaben) {
        if (!optionen_.Angaben[angabe].empty()) {
            Messung().AngabeSetzen(angabe, optionen_.Angaben[angabe]);
        }
    }
}

// Lines "Probe: …" while the run goes on; the end of the input ends only their reading.
void TOhneFenster::EingabeEinrichten() {
    eingabe_ = std::make_unique<TEingabeZeilen>(
        optionen_.Eingabe, [this](const std::string& zeile) { Eingegeben(zeile); });
    QObject::connect(eingabe_.get(), &TEingabeZeilen::Ende, &Messung(), [this](int fehler) {
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
        Messung().AngabeSetzen(angabe->first, angabe->second);
        return;
    }
    Melden("Eingabe nicht verstanden: „" + AngabeText(zeile) +
           "“; erwartet wird „Probe: …“, „Bediener: …“ oder „Elektrode: …“.");
}

// Publishing as quorlits.conf says, with what the command line gives instead.
TVeroeffentlichenEinstellungen TOhneFenster::Veroeffentlichen() const {
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
    return e;
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
    try {
        sitzung_->Schliessen();
    } catch (const EInOutError& fehler) {
        Melden("Schließen von " + optionen_.Datendatei + ": " + fehler.what());
        return 1;
    } catch (const EMeldung&) {
        // A port that went away closes with an error; the data file is what matters now.
    }
    return 0;
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
