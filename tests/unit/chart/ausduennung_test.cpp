// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "chart/Ausduennung.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

// What a column must show, found by looking at every reading on its own.
std::vector<TSpalte> Abgetastet(const TPunktFolge& punkte, TLinie linie, double von, double bis,
                                int spalten) {
    std::vector<TSpalte> ergebnis(static_cast<std::size_t>(spalten));
    const double breite = (bis - von) / spalten;
    bool luecke = false;
    for (std::size_t i = 0; i < punkte.size(); ++i) {
        const double t = static_cast<double>(punkte[i].UtcMs);
        if (t < von || t >= bis) {
            continue;
        }
        luecke = luecke || punkte.LueckeVor(i);
        float w = 0.0F;
        if (!LinienWert(punkte[i], linie, w)) {
            continue;
        }
        auto& s = ergebnis[std::min<std::size_t>(static_cast<std::size_t>((t - von) / breite),
                                                 ergebnis.size() - 1)];
        if (!s.Belegt) {
            s = {true, luecke, w, w, w, w};
        } else {
            s = {true, s.LueckeDavor || luecke, std::min(s.Min, w), std::max(s.Max, w), s.Erster,
                 w};
        }
        luecke = false;
    }
    return ergebnis;
}

void Gleich(const std::vector<TSpalte>& a, const std::vector<TSpalte>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t k = 0; k < a.size(); ++k) {
        EXPECT_EQ(a[k].Belegt, b[k].Belegt) << k;
        if (a[k].Belegt && b[k].Belegt) {
            EXPECT_EQ(a[k].LueckeDavor, b[k].LueckeDavor) << k;
            EXPECT_EQ(a[k].Min, b[k].Min) << k;
            EXPECT_EQ(a[k].Max, b[k].Max) << k;
            EXPECT_EQ(a[k].Erster, b[k].Erster) << k;
            EXPECT_EQ(a[k].Letzter, b[k].Letzter) << k;
        }
    }
}

// Random series (uneven spacing, gaps, missing temperatures) against the plain scan, over
// ranges that cut into them, at widths from fewer columns than readings to far more.
TEST(Ausduennung, EqualsAPlainScanOfTheReadings) {
    std::mt19937 zufall(20261207);
    for (int runde = 0; runde < 20; ++runde) {
        TPunktFolge punkte;
        std::int64_t t = 1000;
        const int anzahl = std::uniform_int_distribution<int>(0, 5000)(zufall);
        for (int i = 0; i < anzahl; ++i) {
            t += std::uniform_int_distribution<int>(1, 3000)(zufall);
            TVerlaufPunkt p;
            p.UtcMs = t;
            p.Wert = std::normal_distribution<float>(7.0F, 1.0F)(zufall);
            p.Temp = std::normal_distribution<float>(25.0F, 3.0F)(zufall);
            p.Mittel = p.Wert / 2;
            if (zufall() % 4 == 0) {
                p.Temp = std::nanf("");
            }
            punkte.push_back(p, zufall() % 50 == 0);
        }
        const double von =
            std::uniform_real_distribution<double>(0, static_cast<double>(t) / 2)(zufall);
        const double bis =
            von + std::uniform_real_distribution<double>(1, static_cast<double>(t))(zufall);
        const int spalten = std::uniform_int_distribution<int>(1, 3000)(zufall);
        for (const TLinie linie : {TLinie::Wert, TLinie::Temp, TLinie::Mittel}) {
            SCOPED_TRACE(runde);
            Gleich(Ausduennen(punkte, linie, von, bis, spalten),
                   Abgetastet(punkte, linie, von, bis, spalten));
        }
    }
}

TEST(Ausduennung, ASingleOutlierSurvivesAnyWidth) {
    TPunktFolge punkte;
    for (std::int64_t i = 0; i < 100000; ++i) {
        punkte.push_back({i * 1000, i == 54321 ? 12.0F : 7.0F, 0.0F, 7.0F});
    }
    for (const int spalten : {1, 7, 1200, 100000}) {
        const auto s = Ausduennen(punkte, TLinie::Wert, 0, 1e8, spalten);
        EXPECT_EQ(
            std::count_if(s.begin(), s.end(), [](const TSpalte& x) { return x.Max == 12.0F; }), 1)
            << spalten;
    }
    EXPECT_TRUE(Ausduennen(punkte, TLinie::Wert, 5, 5, 10)[0].Belegt == false);
}

} // namespace
