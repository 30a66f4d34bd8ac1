// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "storage/Zeitpunkt.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A whole decimal number: an optional "+" or "-", then one or more digits 0-9, and nothing else
// (no blanks, no hexadecimal). A text that is empty, holds anything else or does not fit into
// a signed 32-bit number is not a number.
std::optional<std::int32_t> GanzzahlLesen(std::string_view text);

// Reads Tag, Monat and Jahr from a text "day.month.year". When a part is missing or not a number,
// all three become -1. Blanks are not removed, so " 6.12.2001" is not a date. The time fields
// are not touched.
void DatumLesen(std::string_view text, TZeitpunkt& zeitpunkt);

// Reads Stunde, Minute and Sekunde from "hours:minutes:seconds" or "hours:minutes" (Sekunde 0).
// Blanks (" ") inside each part are removed first. When there is no ":" or a part is not a
// number, all three become -1. The date fields are not touched.
void ZeitLesen(std::string_view text, TZeitpunkt& zeitpunkt);

// The time of day as "hh:mm:ss", each field padded with "0" to at least two digits.
std::string ZeitText(const TZeitpunkt& zeitpunkt);

// A number padded on the left with "0" to at least `stellen` digits (the sign stands first).
std::string MitNullen(std::int64_t zahl, int stellen);
