// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "app/Befehlszeile.h"
#include "app/DienstMelder.h"
#include "app/Einstellungen.h"
#include "reception/Empfang.h"
#include "serial/platform/ComDevice.h"
#include "storage/Angaben.h"
#include "storage/Uhr.h"

#include <QString>

#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class TComPort;
class TEingabeZeilen;
class TMessung;
class TSitzung;
enum class TLeitungsWechsel : std::uint8_t;
struct TVeroeffentlichenEinstellungen;

// What a run without a window is started with.
struct TOhneFensterOptionen {
    std::string Port;
    std::string Datendatei;
    bool Anhaengen = false;
    std::string Aufzeichnung; // the capture; empty: as quorlits.conf says (RohdatenAufzeichnen)
    std::optional<std::uint32_t> Baud; // empty: the meter's 4800
    std::string Fluss;                 // none, rts or xon; empty: rts
    bool Leise = false;
    // --wait: a device that is absent at the start is waited for, as a lost line is.
    bool Warten = false;
    // PHRX.CFG, read and never written; quorlits.conf lies beside it.
    std::filesystem::path KonfigurationsDatei;
    // The port's device layer; the POSIX one when empty.
    std::unique_ptr<TComDevice> Geraet;
    // The clock of the stamps; the machine's clock when empty.
    TUhr Uhr;
    std::FILE* Ausgabe = stdout;   // the readings, UTF-8
    std::FILE* Meldungen = stderr; // German messages
    // Publishing (--publish, --bench, --publish-password-file, --publish-ca): each given one
    // overrides quorlits.conf's [Veroeffentlichen]; --publish switches it on.
    std::string Veroeffentlichen;
    std::string Arbeitsplatz;
    std::string VeroeffentlichenPasswort;
    std::string VeroeffentlichenCa;
    // Where the outboxes lie; $XDG_STATE_HOME (~/.local/state) when empty.
    std::filesystem::path ZustandsOrdner;
    // Sample, operator and electrode to start with (--sample, --operator, --electrode); empty:
    // none, the login name, none.
    TAngaben Angaben;
    // Where lines "Probe: …" come in while the run goes on (standard input); -1: nowhere.
    int Eingabe = -1;
};

// The options of the command line, with PHRX.CFG at its usual place.
TOhneFensterOptionen OhneFensterOptionen(const TBefehlszeile& befehlszeile);

// A meter measurement with immediate saving and no window: the window's session (TSitzung) on a
// port opened with the meter's line settings, each reading printed, every event said on
// the message stream, a lost line waited for as in the window, and optionally a raw-data capture
// of it all. The audit trail DATEI.protokoll beside the data file records the run's events and
// chains every line written; it begins with the data file, so a run that fails before opening
// one leaves none. Lines "Probe: …" on the input change the sample while the run goes on. Runs
// in Qt's loop (QCoreApplication), which delivers the port's and the input's events.
class TOhneFenster {
public:
    explicit TOhneFenster(TOhneFensterOptionen optionen);
    ~TOhneFenster();
    TOhneFenster(const TOhneFenster&) = delete;
    TOhneFenster& operator=(const TOhneFenster&) = delete;

    // Opens the port, the data file and the capture and starts the measurement; 0 when it runs,
    // 1 (with the reason on Meldungen) when it cannot start, and then nothing stays open.
    int Starten();

    // Ends the run: the port closed, the data file closed with whole lines, the capture closed.
    // Returns 0, or 1 when the data file could not be closed. Does nothing a second time.
    int Beenden();

    // Called when the run ended by itself (the line was lost and is not waited for), with the
    // exit code.
    std::function<void(int)> BeiEnde;

    const TProgrammZustand& Zustand() const noexcept { return zustand_; }
    bool WartetAufGeraet() const;

private:
    TMessung& Messung();
    void DienstStatus();
    void Einrichten();
    void PortEinrichten();
    void SitzungEinrichten();
    TVeroeffentlichenEinstellungen Veroeffentlichen() const;
    void AngabenEinrichten();
    void EingabeEinrichten();
    void Eingegeben(const std::string& zeile);
    std::string Aufzeichnungsdatei() const;
    void MesswertAusgeben(const TMesswert& messwert);
    void LeitungGeaendert(TLeitungsWechsel wechsel);
    void Verloren();
    void Aufgegeben();
    void NochWeg();
    void Zurueck();
    void Melden(const std::string& text) const;

    TOhneFensterOptionen optionen_;
    TProgrammZustand zustand_;
    TEinstellungen einstellungen_;
    std::unique_ptr<TComPort> port_;
    // Declared after the port and the state it uses, so it goes first.
    std::unique_ptr<TSitzung> sitzung_;
    std::unique_ptr<TEingabeZeilen> eingabe_;
    std::string gemeldeterGrund_; // the reason of the wait said last
    TDienstMelder dienst_;        // systemd's notify socket, when started by systemd
    std::int64_t messwerte_ = 0;
    bool laeuft_ = false;
    bool ausgabeOffen_ = true; // standard output still takes the readings
};

// Runs a measurement without a window until SIGINT or SIGTERM (exit code 0) or until it ends by
// itself; a QCoreApplication must exist. Returns the process's exit code.
int OhneFensterLaufen(TOhneFensterOptionen optionen);
