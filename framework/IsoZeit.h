// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <cstdint>
#include <string>

// The moment `utcMs` (milliseconds since 1970, UTC) as the local time at `utcVersatz` seconds
// east of UTC, in ISO 8601 with its offset in hours and minutes: "2026-12-06T16:53:34+01:00",
// with milliseconds "2026-12-06T16:53:34.120+01:00". UTC itself is written "+00:00", as every
// other offset. Raises std::out_of_range (German) for a moment outside the years 0 to 9999.
std::string IsoZeitText(std::int64_t utcMs, std::int32_t utcVersatz, bool mitMillisekunden);
