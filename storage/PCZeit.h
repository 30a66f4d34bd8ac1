// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "storage/Zeitpunkt.h"

#include <ctime>
#include <string>

// The PC's date and time as the program shows and saves them, in the formats of a German
// system: short date dd.MM.yyyy (06.12.2026) and long time HH:mm:ss (16:53:34), made from the
// numbers, independent of the C library's locale. Every PC date and time text of the program
// comes from here.

struct TPCZeitstempel {
    std::string Datum; // "06.12.2026"
    std::string Zeit;  // "16:53:34"
};

// The local wall-clock time of `zeit` (localtime_r).
TZeitpunkt LokaleZeit(std::time_t zeit);

// Date and time texts of one time stamp.
std::string PCDatumText(const TZeitpunkt& zeitpunkt);
std::string PCZeitText(const TZeitpunkt& zeitpunkt);
TPCZeitstempel PCZeitstempel(const TZeitpunkt& zeitpunkt);

// "06.12.2026, 16:53:34": the form of the measurement and window labels.
std::string PCDatumZeitText(const TZeitpunkt& zeitpunkt);

// The date as day.month.year: day and month with at least two digits, the year in decimal.
// The base of generated file names.
std::string DatumText(const TZeitpunkt& zeitpunkt);
