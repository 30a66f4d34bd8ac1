// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "storage/RohdatenFormat.h"
#include "storage/RohdatenSchreiber.h"
#include "storage/Uhr.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

// The capture of a running measurement. A capture must never cost a reading: a write error
// stops the capture and is handed to the caller once, to be reported; the reception and the
// saving go on as if no capture had been asked for.
class TRohAufzeichnung {
public:
    // Nanoseconds of a monotonic clock; CLOCK_MONOTONIC when empty.
    using TMonoUhr = std::function<std::int64_t()>;

    explicit TRohAufzeichnung(TMonoUhr monoUhr = {});
    ~TRohAufzeichnung();
    TRohAufzeichnung(const TRohAufzeichnung&) = delete;
    TRohAufzeichnung& operator=(const TRohAufzeichnung&) = delete;

    bool Aktiv() const noexcept { return schreiber_ != nullptr; }
    // The file being written, or the last one written.
    const std::string& Pfad() const noexcept { return pfad_; }

    // Creates `pfad` (emptied when it exists) and writes `kopf`. Raises EInOutError when the
    // system refuses, ERohdatenFehler on a header that cannot be written; then no capture runs.
    void Beginnen(const std::string& pfad, const TRohKopf& kopf);

    // One record stamped with `zeit` and the monotonic clock now; nothing while no capture
    // runs. Returns the error that stopped the capture, once; afterwards nothing is written.
    [[nodiscard]] std::exception_ptr Eintragen(TRohArt art, std::string_view daten,
                                               const TUhrzeit& zeit);

    // Closes the file; returns a closing error, like Eintragen.
    [[nodiscard]] std::exception_ptr Beenden();

private:
    std::exception_ptr Abbrechen();

    TMonoUhr monoUhr_;
    std::unique_ptr<TRohSchreiber> schreiber_;
    std::string pfad_;
    TRohEintrag eintrag_; // reused, so a chunk's record costs no allocation once warm
};

// The capture's file name for the data file `datendatei`: the same name with ".roh" added, in
// the same folder. An existing capture is never overwritten: then "-2.roh", "-3.roh" and so on.
std::string RohdateiName(const std::string& datendatei);
