// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <cstdint>

// Calendar arithmetic of the Gregorian calendar, extended to every year (also before 1582 and
// before year 1), in 64-bit numbers so that no field value can overflow it.

struct TKalenderDatum {
    std::int64_t Jahr;
    std::int32_t Monat; // 1 to 12
    std::int32_t Tag;   // 1 to 31
};

bool IstSchaltjahr(std::int64_t jahr);

// Days of `monat` (1 to 12) in `jahr`; 0 for a month outside 1 to 12.
std::int32_t MonatsLaenge(std::int32_t monat, std::int64_t jahr);

// Days from 1 January 1970 to the first of `monat` (1 to 12) in `jahr`.
std::int64_t TageBisMonatsanfang(std::int64_t jahr, std::int32_t monat);

// The date `tage` days after 1 January 1970 (negative: before it).
TKalenderDatum DatumAusTagen(std::int64_t tage);
