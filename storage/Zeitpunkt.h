// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <cstdint>

// A local date and time of day (wall-clock time, no time zone). A field whose text could not be
// read holds -1.
struct TZeitpunkt {
    std::int32_t Tag = 0;
    std::int32_t Monat = 0;
    std::int32_t Jahr = 0;
    std::int32_t Stunde = 0;
    std::int32_t Minute = 0;
    std::int32_t Sekunde = 0;

    friend bool operator==(const TZeitpunkt&, const TZeitpunkt&) = default;
};

// The date and time value of the date and time pickers: days since 30 December 1899, the time
// of day as the fraction. Before that day the fraction still counts forward from midnight
// (-1.25 is 29 December 1899, 06:00).
using TDateTime = double;
