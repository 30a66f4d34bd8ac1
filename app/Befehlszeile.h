// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The program's command line: the window ("quorlits [--port GERÄT] [--capture DATEI]"), logging
// without a window (--headless) or the replay of a capture (--replay). Without arguments the
// window starts with the port "COM1".
struct TBefehlszeile {
    std::string Port;         // empty: the default device
    bool Hilfe = false;       // --help or -h: print the usage and end
    std::string Fehler;       // German text of a wrong command line; empty when it is fine
    std::string Aufzeichnung; // --capture DATEI: the raw-data capture of every measurement
    bool OhneFenster = false; // --headless: a meter measurement with immediate saving, no window
    std::string Abspielen;    // --replay AUFNAHME: a capture replayed into the data file
    std::string Datendatei;   // --data-file DATEI
    bool Anhaengen = false;   // --append: an existing data file is continued
    std::optional<std::uint32_t> Baud; // --baud N
    std::string Fluss;                 // --flow none|rts|xon; empty: hardware (rts)
    bool Leise = false;                // --quiet: no readings on standard output
    // --wait: a device that is absent at the start is waited for as for a lost line, instead
    // of ending the run with 1.
    bool Warten = false;
    // --verify DATEI: whether the data file is still what was written, by its audit trail.
    std::string Pruefen;
    // Publishing to an MQTT broker, over quorlits.conf's [Veroeffentlichen]:
    std::string Veroeffentlichen;         // --publish URL (mqtt://host:1883, mqtts://host:8883)
    std::string Arbeitsplatz;             // --bench NAME
    std::string VeroeffentlichenPasswort; // --publish-password-file DATEI
    std::string VeroeffentlichenCa;       // --publish-ca DATEI
    // Sample, operator and electrode the logger starts with (empty: not given).
    std::string Probe;     // --sample TEXT
    std::string Bediener;  // --operator TEXT
    std::string Elektrode; // --electrode TEXT
};

// Reads the arguments after the program's name. An option with a value takes it as the next
// argument or after "=" ("--port GERÄT", "--port=GERÄT"); a value never starts with "--", so a
// forgotten value is not taken from the next option. Fehler names the first mistake: an unknown
// or repeated argument, a missing or wrong value, or options that do not go together.
TBefehlszeile BefehlszeileLesen(const std::vector<std::string>& argumente);

// The exit codes of the program, as --help and the manual list them.
inline constexpr int ExitOk = 0;
inline constexpr int ExitFehler = 1;        // the run could not start or ended with an error
inline constexpr int ExitAufruf = 2;        // a wrong command line, or no display for the window
inline constexpr int ExitUebersprungen = 3; // the replay skipped damaged records
inline constexpr int ExitVeraendert = 4;    // --verify: the data file was changed

// The usage text for --help (UTF-8).
std::string HilfeText();
