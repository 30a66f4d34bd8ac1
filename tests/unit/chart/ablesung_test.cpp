// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "chart/Ablesung.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

namespace {

struct TFall {
    double ZeitMs;
    TLinie Linie;
    double VonMs;
    double BisMs;
    std::optional<std::size_t> Erwartet;
};

// Readings at 0, 1000, 2000 (without temperature), 3000 and 6000 ms.
TEST(Ablesung, TheNearestReadingInViewWithAValueForTheLine) {
    TPunktFolge punkte;
    for (const std::int64_t ms : {0, 1000, 2000, 3000, 6000}) {
        punkte.push_back({ms, 7.0F, ms == 2000 ? std::nanf("") : 25.0F, 7.0F});
    }
    const std::vector<TFall> faelle{
        {1400, TLinie::Wert, 0, 10000, 1},
        {1600, TLinie::Wert, 0, 10000, 2},
        {1500, TLinie::Wert, 0, 10000, 1}, // equally near: the earlier
        {4600, TLinie::Mittel, 0, 10000, 4},
        {-5000, TLinie::Wert, 0, 10000, 0},
        {9000, TLinie::Wert, 0, 10000, 4},
        {2100, TLinie::Temp, 0, 10000, 3}, // 2000 has no temperature
        {1900, TLinie::Temp, 0, 10000, 1},
        {5900, TLinie::Wert, 0, 6000, 3},   // 6000 lies outside [0, 6000)
        {100, TLinie::Wert, 500, 10000, 1}, // 0 lies outside
        {2000, TLinie::Temp, 1500, 2500, std::nullopt},
        {500, TLinie::Wert, 4000, 5000, std::nullopt},
    };
    for (const TFall& f : faelle) {
        EXPECT_EQ(NaechsterPunkt(punkte, f.Linie, f.ZeitMs, f.VonMs, f.BisMs), f.Erwartet)
            << f.ZeitMs << " in [" << f.VonMs << ", " << f.BisMs << ")";
    }
}

} // namespace
