// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "storage/Zeitpunkt.h"

#include <cstdint>

// Comparing, counting and shifting time stamps. None of these raises an error, and every field
// value, however absurd, gives a defined result.

// Month 1 to 12, day 1 to 31 and a year not negative; the month's length is not checked.
bool DatumGueltig(const TZeitpunkt& zeitpunkt);

// A valid time stamp with a year below 100 gets its century: up to 20 becomes 2000 + year,
// 21 to 99 becomes 1900 + year. Anything else stays as it is.
void JahrErgaenzen(TZeitpunkt& zeitpunkt);

// True when `a` is not later than `b`: both completed by JahrErgaenzen, then compared by year,
// month, day, hour, minute and second as signed numbers (-1 fields compare as -1).
bool ZeitpunktNichtSpaeter(const TZeitpunkt& a, const TZeitpunkt& b);

// Seconds since 1 January 1948, 00:00:00, in the Gregorian calendar of every year; negative
// before 1948. A year below 100 is completed as 2000 + year below 17 and 1900 + year from 17 on.
// A month outside 1 to 12 counts 0. Day, hour, minute and second count linearly, so a day 32
// counts as the first of the next month.
std::int64_t Sekundenzahl(const TZeitpunkt& zeitpunkt);

// The seconds between `a` and `b`, never negative.
std::int64_t SekundenAbstand(const TZeitpunkt& a, const TZeitpunkt& b);

// Fits Sekunde into the raster of `intervall` seconds (meant for 1 to 30): the nearest multiple,
// a tie going to the even multiple; a result of 60 or more moves on to the next minute's :00.
// An interval below 1 changes nothing.
void SekundenRastern(TZeitpunkt& zeitpunkt, std::int32_t intervall);

// Adds `minuten` (not negative; a negative number changes nothing) with carries into hour, day,
// month and year; February has 29 days in the Gregorian leap years. A month outside 1 to 12
// gets no carry into the following months.
void MinutenAddieren(std::int32_t minuten, TZeitpunkt& zeitpunkt);
