// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "acquisition/Messart.h"
#include "acquisition/Messwert.h"
#include "settings/Konfiguration.h"
#include "storage/Speichern.h"
#include "storage/Zeitpunkt.h"

#include <cstdint>
#include <optional>
#include <string>

// State of automatic saving, held for the whole run.
struct TAutoSpeicherZustand {
    TZeitpunkt Speicherbeginn; // the window, both bounds included
    TZeitpunkt Speicherende;
    // The (aligned) time stamp of the last interval write; unset until the first one.
    std::optional<TZeitpunkt> LetzteSpeicherung;
    // Readings summed since the last interval write. It stops at its largest value: later
    // readings of that interval are then left out of count and sums alike, so the mean stays
    // the mean of the readings counted.
    std::uint16_t IntervallAnzahl = 0;
    double IntervallSummeWert = 0.0; // in the unit of IntervallMessart
    double IntervallSummeTemp = 0.0;
    // The kind of the readings summed, that of the latest one. A reading of another kind
    // starts the sums afresh: the interval's mean covers the readings since the change.
    TMessart IntervallMessart;
};

// The two status lines beside the window's start and end (UTF-8).
struct TAutoSpeicherStatus {
    std::string Zeile1; // "läuft", "(120s)" or "ENDE"
    std::string Zeile2; // "(3600s)", "..." or "ENDE"
};

// The autosave step for one reading: places the reading's PC date and time in the window,
// sums it into the current interval (converted to its unit, or starting the sums afresh when
// its kind differs from the readings summed), writes the reading, the interval mean or the moving
// average (`gleitMittelWert`, `gleitMittelTemp`, already updated with this reading) when the
// interval has elapsed (or always when Speicherintervall is 0), and returns the status lines.
// A write error raises EInOutError; then the sums are kept and no status is returned.
TAutoSpeicherStatus AutoSpeichereWert(TSpeicherZustand& speicher, TAutoSpeicherZustand& autoZustand,
                                      const TKonfiguration& konfiguration,
                                      const TMesswert& messwert, double gleitMittelWert,
                                      double gleitMittelTemp);
