// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "storage/Zeitpunkt.h"

// Conversions between time stamps and the pickers' TDateTime values.
//
// Reading a TDateTime: the time of day is rounded to whole milliseconds and then cut to whole
// seconds, so 14:30:00 stored as 0.6041666... gives 14:30:00 and not 14:29:59; a fraction that
// rounds up to the next midnight stays at 23:59:59, so the time never shows second 60 nor
// disagrees with the date. A value that is not a number counts as 0 (30.12.1899 00:00:00);
// values are clamped to the years 1 to 9999.

// All six fields from the value.
void ZeitpunktSetzen(TZeitpunkt& zeitpunkt, TDateTime wert);

// Tag, Monat and Jahr from the value's whole days; the time fields stay.
void DatumUebernehmen(TZeitpunkt& zeitpunkt, TDateTime wert);

// Stunde, Minute and Sekunde from the value's fraction; the date fields stay.
void ZeitUebernehmen(TZeitpunkt& zeitpunkt, TDateTime wert);

// The value of a time stamp, its year completed by JahrErgaenzen first. Days beyond the month's
// end and times beyond the day's end carry over; a month outside 1 to 12 gives the date part
// 30.12.1899.
TDateTime ZeitpunktAlsDatumZeit(const TZeitpunkt& zeitpunkt);
