// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mqtt/Wiederholung.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

std::vector<long> Wartezeiten(TWiederholung& w, int anzahl) {
    std::vector<long> ms;
    for (int i = 0; i < anzahl; ++i) {
        ms.push_back(static_cast<long>(w.Naechste().count()));
    }
    return ms;
}

// The smallest and the largest draw give the bounds: half and all of the doubling wait, which
// stops at 30 s; a draw out of range stays within them.
TEST(Wiederholung, VerdoppeltMitZufallZwischenHalbUndGanz) {
    struct TFall {
        double Zufall;
        std::vector<long> Erwartet;
    };
    for (const TFall& fall : {TFall{0.0, {500, 1000, 2000, 4000, 8000, 15000, 15000}},
                              TFall{0.999999, {999, 1999, 3999, 7999, 15999, 29999, 29999}},
                              TFall{-3.0, {500, 1000, 2000, 4000, 8000, 15000, 15000}},
                              TFall{7.0, {1000, 2000, 4000, 8000, 16000, 30000, 30000}}}) {
        TWiederholung w([&fall] { return fall.Zufall; });
        EXPECT_EQ(Wartezeiten(w, 7), fall.Erwartet) << fall.Zufall;
    }
}

TEST(Wiederholung, ErfolgUndSofort) {
    TWiederholung w([] { return 0.0; });
    Wartezeiten(w, 5);
    w.Erfolg();
    EXPECT_EQ(Wartezeiten(w, 2), (std::vector<long>{500, 1000}));
    w.Sofort();
    EXPECT_EQ(Wartezeiten(w, 2), (std::vector<long>{0, 500}));
}

// Without a source of its own, the waits of many connections spread over the interval.
TEST(Wiederholung, EigenerZufallStreut) {
    std::vector<long> erste;
    for (int i = 0; i < 200; ++i) {
        TWiederholung w;
        erste.push_back(static_cast<long>(w.Naechste().count()));
    }
    const auto [kleinste, groesste] = std::minmax_element(erste.begin(), erste.end());
    EXPECT_GE(*kleinste, 500);
    EXPECT_LE(*groesste, 1000);
    EXPECT_GT(*groesste - *kleinste, 250);
}

} // namespace
