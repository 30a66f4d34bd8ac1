// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "chart/Verlauf.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// What a chart draws of a series in a time range, one entry per pixel column. No reading is
// hidden by thinning: a column shows the least and the greatest of its readings, so a single
// outlier stays visible at any zoom.

// Which line of a series.
enum class TLinie { Wert, Temp, Mittel };

// The readings of one pixel column.
struct TSpalte {
    bool Belegt = false;      // the column has readings (of this line)
    bool LueckeDavor = false; // the line breaks between the previous readings and these
    float Min = 0.0F;
    float Max = 0.0F;
    float Erster = 0.0F; // the first and last reading, where the line comes in and goes on
    float Letzter = 0.0F;
};

// The columns of `spalten` pixel columns that cover [vonMs, bisMs): column k holds the readings
// with vonMs + k * w <= time < vonMs + (k + 1) * w, w = (bisMs - vonMs) / spalten. The
// temperature line skips readings without a temperature. A gap flagged on a reading, or one
// before the range's first reading, marks the column where the line breaks.
std::vector<TSpalte> Ausduennen(const TPunktFolge& punkte, TLinie linie, double vonMs, double bisMs,
                                int spalten);

// The indices [erster, hinter) of the readings with time in [vonMs, bisMs).
std::pair<std::size_t, std::size_t> PunkteIm(const TPunktFolge& punkte, double vonMs, double bisMs);

// The value of `linie` of `punkt`; false when the reading has none (a temperature missing).
bool LinienWert(const TVerlaufPunkt& punkt, TLinie linie, float& wert);
