// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

// One stretch of meter-sim's line from plugging in to unplugging (--unplug): the device and the
// record log lines of the records sent on it, in order.
struct TVerbindung {
    std::string Geraet;
    std::vector<std::string> Datensaetze;
    bool Getrennt = false; // false for the stretch that lasted to the end of the log read so far
};

// A running tools/meter-sim process. Its stdout comes through a pipe: the first line is the
// pseudo-terminal's device, later lines are the record log of --print-records, with --unplug
// split by the lines "GETRENNT" and "VERBUNDEN <device>". Its stderr is the caller's. Ended
// with SIGTERM when the object goes, if not before.
class TSimulatorProzess {
public:
    // Starts `programm` with `argumente`; throws std::runtime_error when it cannot be started.
    TSimulatorProzess(const std::string& programm, const std::vector<std::string>& argumente);
    ~TSimulatorProzess();
    TSimulatorProzess(const TSimulatorProzess&) = delete;
    TSimulatorProzess& operator=(const TSimulatorProzess&) = delete;

    // The device path (the first line of stdout); empty when none came within `frist`.
    std::string Geraet(std::chrono::milliseconds frist = std::chrono::seconds(20));

    // Sends SIGTERM, waits for the end (at most `frist`, then SIGKILL) and reads the rest of
    // stdout. Returns whether it ended in time with exit code 0 (meter-sim's answer to SIGTERM).
    bool Beenden(std::chrono::milliseconds frist = std::chrono::seconds(20));

    // The lines of stdout after the device line, complete lines only, as read so far.
    std::vector<std::string> Protokoll();

    // The record lines of the log read so far, without the lines about unplugging: every
    // record sent, and sent while the line was plugged in.
    std::vector<std::string> Datensaetze();

    // The log read so far, one stretch per plugging in: the first on Geraet(), each further
    // one on the device of its "VERBUNDEN" line.
    std::vector<TVerbindung> Verbindungen();

    // Whether meter-sim has closed its stdout, which it does when it ends (by itself after
    // --count records): the log is complete then.
    bool AusgabeZuEnde();

private:
    // Moves what the pipe holds into `gelesen_`; false at the end of the stream.
    bool AusgabeLesen();

    pid_t pid_ = -1;
    int ausgabe_ = -1;
    std::string gelesen_;
    bool beendet_ = false;
    bool ausgabeZuEnde_ = false;
};
