// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The ticks of a time axis, from seconds to days, labelled in German formats in local time.

struct TZeitStrich {
    std::int64_t UtcMs = 0;
    std::string Text; // "14:05:30", "14:05", "07.12.", "07.12.2026"; UTF-8
};

// Ticks for the range [vonMs, bisMs] with about `hoechstens` ticks at most: a step of 1, 2, 5,
// 10, 15 or 30 seconds or minutes, 1, 2, 3, 6 or 12 hours, 1, 2 or 7 days, placed on whole
// steps of the local time (TZ). The labels show seconds only where the step needs them, and
// the date where the step is a day or more; ticks at local midnight show the date as well.
std::vector<TZeitStrich> ZeitStriche(double vonMs, double bisMs, int hoechstens);

// A value axis: ticks on 1, 2 or 5 times a power of ten, with a decimal comma.
struct TWertStrich {
    double Wert = 0.0;
    std::string Text;
};
std::vector<TWertStrich> WertStriche(double von, double bis, int hoechstens);
