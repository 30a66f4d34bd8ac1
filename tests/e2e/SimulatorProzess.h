// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

// A running tools/meter-sim process. Its stdout comes through a pipe: the first line is the
// pseudo-terminal's device, later lines are the record log of --print-records. Its stderr is
// the caller's. Ended with SIGTERM when the object goes, if not before.
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

private:
    // Moves what the pipe holds into `gelesen_`; false at the end of the stream.
    bool AusgabeLesen();

    pid_t pid_ = -1;
    int ausgabe_ = -1;
    std::string gelesen_;
    bool beendet_ = false;
};
