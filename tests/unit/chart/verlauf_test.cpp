// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "chart/Verlauf.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr std::int64_t Anfang = 1796634000000; // 07.12.2026 10:00:00 CET

TVerlaufEingang Eingang(std::int64_t ms, double wert, const std::string& groesse = "pH",
                        const std::string& einheit = "pH") {
    return {Anfang + ms, groesse, einheit, wert, true, 25.0, wert};
}

bool Luecke(const TVerlauf& verlauf, std::size_t reihe, std::size_t i) {
    return verlauf.Reihen()[reihe].Punkte.LueckeVor(i);
}

TEST(PunktFolge, KeepsOrderAcrossBlocksAndDropsFromTheFront) {
    TPunktFolge folge;
    const std::size_t n = 3 * TPunktFolge::BlockGroesse + 7;
    const std::size_t spaet = TPunktFolge::BlockGroesse + 10;
    for (std::size_t i = 0; i < n; ++i) {
        folge.push_back({static_cast<std::int64_t>(i) * 10, static_cast<float>(i)},
                        i == 5 || i == spaet);
    }
    for (std::size_t i = 0; i < TPunktFolge::BlockGroesse + 3; ++i) {
        folge.pop_front();
    }
    ASSERT_EQ(folge.size(), n - TPunktFolge::BlockGroesse - 3);
    // The breaks stay with their readings; the one of a dropped reading goes with it.
    EXPECT_EQ(folge.Luecken().size(), 1U);
    EXPECT_TRUE(folge.LueckeVor(spaet - TPunktFolge::BlockGroesse - 3));
    EXPECT_FALSE(folge.LueckeVor(0));
    EXPECT_EQ(folge[0].Wert, static_cast<float>(TPunktFolge::BlockGroesse + 3));
    EXPECT_EQ(folge.back().Wert, static_cast<float>(n - 1));
    // The first reading at or after a time, by halving.
    EXPECT_EQ(folge.ErsterAb(0), 0U);
    EXPECT_EQ(std::int64_t{folge[folge.ErsterAb(50001)].UtcMs}, 50010);
    EXPECT_EQ(folge.ErsterAb(1'000'000'000), folge.size());
    // Memory: 20 bytes a reading and the blocks still in use, nothing more that counts.
    EXPECT_LE(folge.Speicher(), 3 * TPunktFolge::BlockGroesse * 20 + 256);
    folge.clear();
    EXPECT_TRUE(folge.empty());
}

// Each quantity has its series; conductivity is one quantity in the unit of its first reading.
TEST(Verlauf, SeriesByQuantityWithConductivityInOneUnit) {
    TVerlauf verlauf;
    verlauf.Hinzufuegen(Eingang(0, 7.0));
    verlauf.Hinzufuegen(Eingang(1000, 1.5, "Lf", "mS/cm"));
    verlauf.Hinzufuegen(Eingang(2000, 980.0, "Lf", "\xE6S/cm"));
    verlauf.Hinzufuegen(Eingang(3000, 120.0, "mV", "mV"));
    verlauf.Hinzufuegen(Eingang(4000, 8.1, "O2", "mg/l"));
    verlauf.Hinzufuegen(Eingang(5000, 95.0, "O2", "%"));
    verlauf.Hinzufuegen(Eingang(6000, 7.1));
    ASSERT_EQ(verlauf.Reihen().size(), 5U);
    const TVerlaufReihe& lf = verlauf.Reihen()[1];
    EXPECT_EQ(lf.Einheit, "mS/cm");
    ASSERT_EQ(lf.Punkte.size(), 2U);
    EXPECT_FLOAT_EQ(lf.Punkte[1].Wert, 0.98F);
    EXPECT_FLOAT_EQ(lf.Punkte[1].Mittel, 0.98F);
    // In mS/cm a µS/cm reading keeps its two decimals: 0,01410.
    EXPECT_EQ(Nachkommastellen(lf), 5);
    EXPECT_EQ(Nachkommastellen(verlauf.Reihen()[0]), 2);
    EXPECT_EQ(verlauf.Reihen()[4].Einheit, "%");
    EXPECT_EQ(verlauf.Reihen()[0].Punkte.size(), 2U);
    EXPECT_EQ(verlauf.LetzteReihe(), 0);
    EXPECT_EQ(verlauf.Anzahl(), 7U);
    const std::uint64_t stand = verlauf.Stand();
    verlauf.Leeren();
    EXPECT_TRUE(verlauf.Reihen().empty());
    EXPECT_EQ(verlauf.LetzteReihe(), -1);
    EXPECT_NE(verlauf.Stand(), stand);
}

// A sample change is a mark the view redraws for; the newest marks are kept, and a new
// measurement starts without them.
TEST(Verlauf, ProbenwechselSindMarkenBisZurNaechstenMessung) {
    TVerlauf verlauf;
    verlauf.Hinzufuegen(Eingang(0, 7.0));
    const std::uint64_t stand = verlauf.Stand();
    verlauf.ProbeMarkieren(Anfang + 500, "P-17");
    EXPECT_NE(verlauf.Stand(), stand);
    for (std::size_t i = 1; i <= TVerlauf::HoechstMarken; ++i) {
        verlauf.ProbeMarkieren(Anfang + 1000 + static_cast<std::int64_t>(i),
                               "P-" + std::to_string(i));
    }
    ASSERT_EQ(verlauf.ProbenMarken().size(), TVerlauf::HoechstMarken);
    EXPECT_EQ(verlauf.ProbenMarken().front().Text, "P-1");
    EXPECT_EQ(verlauf.ProbenMarken().back().Text, "P-" + std::to_string(TVerlauf::HoechstMarken));
    verlauf.Leeren();
    EXPECT_TRUE(verlauf.ProbenMarken().empty());
}

// The meter names no quantity for a printout ("?"): its readings go to the series of their
// unit, one with a line's readings of the same quantity and unit.
TEST(Verlauf, APrintoutsSeriesIsNamedByItsUnit) {
    TVerlauf verlauf;
    verlauf.Hinzufuegen(Eingang(0, 7.0));
    verlauf.Hinzufuegen(Eingang(1000, 7.1, "?", "pH"));
    verlauf.Hinzufuegen(Eingang(2000, 95.0, "?", "%"));
    verlauf.Hinzufuegen(Eingang(3000, 8.1, "?", "mg/l"));
    verlauf.Hinzufuegen(Eingang(4000, 8.2, "O2", "mg/l"));
    verlauf.Hinzufuegen(Eingang(5000, 1.0, "", ""));
    std::vector<std::string> namen;
    for (const TVerlaufReihe& reihe : verlauf.Reihen()) {
        namen.push_back(reihe.Messgroesse + "|" + reihe.Einheit);
    }
    EXPECT_EQ(namen, (std::vector<std::string>{"pH|pH", "%|%", "mg/l|mg/l", "O2|mg/l", "|"}));
    EXPECT_EQ(verlauf.Reihen()[0].Punkte.size(), 2U);
}

TEST(Verlauf, ARecordWithoutTemperatureIsFlagged) {
    TVerlauf verlauf;
    TVerlaufEingang ohne = Eingang(0, 7.0);
    ohne.MitTemperatur = false;
    verlauf.Hinzufuegen(ohne);
    verlauf.Hinzufuegen(Eingang(1000, 7.0));
    EXPECT_FALSE(verlauf.Reihen()[0].Punkte[0].MitTemperatur());
    EXPECT_TRUE(verlauf.Reihen()[0].Punkte[1].MitTemperatur());
}

// A pause breaks the line when it is longer than three median spacings and at least 10 s; an
// interruption of the line always does.
TEST(Verlauf, GapsBreakTheLine) {
    TVerlauf verlauf;
    std::int64_t t = 0;
    for (int i = 0; i < 10; ++i, t += 2000) {
        verlauf.Hinzufuegen(Eingang(t, 7.0));
    }
    t += 4000;                                     // 6 s since the last: 3 spacings, under 10 s
    verlauf.Hinzufuegen(Eingang(t, 7.0));          // 10
    verlauf.Hinzufuegen(Eingang(t += 10000, 7.0)); // 11: 10 s is over 3 x 2 s and not under 10 s
    verlauf.Hinzufuegen(Eingang(t += 2000, 7.0));  // 12
    verlauf.Unterbrechung();
    verlauf.Hinzufuegen(Eingang(t += 1000, 7.0)); // 13: after an interruption
    verlauf.Hinzufuegen(Eingang(t += 1000, 7.0)); // 14
    for (std::size_t i = 0; i < 15; ++i) {
        EXPECT_EQ(Luecke(verlauf, 0, i), i == 11 || i == 13) << i;
    }
    // A slow meter (one reading a minute) has no gaps at its own pace.
    TVerlauf langsam;
    for (std::int64_t m = 0; m < 12; ++m) {
        langsam.Hinzufuegen(Eingang(m * 60000, 7.0));
    }
    const std::int64_t spaet = 11 * 60000 + 170000; // just under three spacings later
    langsam.Hinzufuegen(Eingang(spaet, 7.0));
    for (std::size_t i = 0; i < 13; ++i) {
        EXPECT_FALSE(Luecke(langsam, 0, i)) << i;
    }
    langsam.Hinzufuegen(Eingang(spaet + 181000, 7.0)); // just over
    EXPECT_TRUE(Luecke(langsam, 0, 13));
}

TEST(Verlauf, OldestReadingsOfAllSeriesLeaveBeyondTheLimit) {
    TVerlauf verlauf(5);
    for (int i = 0; i < 8; ++i) {
        verlauf.Hinzufuegen(
            Eingang(i * 1000, i, i % 2 == 0 ? "pH" : "mV", i % 2 == 0 ? "pH" : "mV"));
    }
    EXPECT_EQ(verlauf.Anzahl(), 5U);
    EXPECT_EQ(verlauf.Verworfen(), 3U);
    EXPECT_EQ(std::int64_t{verlauf.Reihen()[0].Punkte[0].UtcMs}, Anfang + 4000);
    EXPECT_EQ(std::int64_t{verlauf.Reihen()[1].Punkte[0].UtcMs}, Anfang + 3000);
}

} // namespace
