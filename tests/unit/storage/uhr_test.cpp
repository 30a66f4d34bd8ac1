// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/Uhr.h"

#include "storage/PCZeit.h"

#include "TestZeitpunkt.h"
#include "TestZeitzone.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>

namespace {

constexpr const char* Mitteleuropa = "CET-1CEST,M3.5.0,M10.5.0/3";

TEST_F(ZeitzonenTest, UtcWirdLokaleZeitMitDemGeltendenVersatz) {
    Zeitzone(Mitteleuropa);
    const TUhrzeit winter = UhrzeitAusUtc(std::int64_t{1796634000} * 1000 + 250);
    EXPECT_EQ(winter.Lokal, (TZeitpunkt{7, 12, 2026, 10, 0, 0}));
    EXPECT_EQ(winter.UtcVersatz, 3600);
    EXPECT_EQ(winter.UtcMs, std::int64_t{1796634000250});
    const TUhrzeit sommer = UhrzeitAusUtc(std::int64_t{1782900000} * 1000);
    EXPECT_EQ(sommer.Lokal, (TZeitpunkt{1, 7, 2026, 12, 0, 0}));
    EXPECT_EQ(sommer.UtcVersatz, 7200);
}

TEST_F(ZeitzonenTest, DieWiederholteHerbststundeBleibtUnterscheidbar) {
    Zeitzone(Mitteleuropa);
    const TUhrzeit erste = UhrzeitAusUtc(std::int64_t{1792888200} * 1000);
    const TUhrzeit zweite = UhrzeitAusUtc(std::int64_t{1792891800} * 1000);
    EXPECT_EQ(erste.Lokal, (TZeitpunkt{25, 10, 2026, 2, 30, 0}));
    EXPECT_EQ(zweite.Lokal, erste.Lokal);
    EXPECT_EQ(erste.UtcVersatz, 7200);
    EXPECT_EQ(zweite.UtcVersatz, 3600);
    EXPECT_EQ(zweite.UtcMs - erste.UtcMs, 3600 * 1000);
    // The local time and the offset give back the UTC time of each.
    EXPECT_EQ(UhrzeitAusLokal(erste.Lokal, erste.UtcVersatz), erste);
    EXPECT_EQ(UhrzeitAusLokal(zweite.Lokal, zweite.UtcVersatz), zweite);
}

TEST_F(ZeitzonenTest, EinAufgezeichneterVersatzGiltInJederZeitzone) {
    // Recorded in Berlin, read back far away: the offset of the recording decides.
    Zeitzone(Mitteleuropa);
    const TUhrzeit erste = UhrzeitAusUtc(std::int64_t{1792888200} * 1000 + 999);
    const TUhrzeit zweite = UhrzeitAusUtc(std::int64_t{1792891800} * 1000);
    Zeitzone("XYZ-14");
    EXPECT_EQ(UhrzeitAusVersatz(erste.UtcMs, erste.UtcVersatz), erste);
    EXPECT_EQ(UhrzeitAusVersatz(zweite.UtcMs, zweite.UtcVersatz), zweite);
    EXPECT_EQ(UhrzeitAusVersatz(-1, 0).Lokal, (TZeitpunkt{31, 12, 1969, 23, 59, 59}));
    EXPECT_EQ(UhrzeitAusVersatz(0, -3600).Lokal, (TZeitpunkt{31, 12, 1969, 23, 0, 0}));
    // A damaged value far in the future neither overflows nor wraps into the past.
    EXPECT_GT(UhrzeitAusVersatz(INT64_MAX, 50400).Lokal.Jahr, 292'000'000);
}

TEST_F(ZeitzonenTest, MillisekundenVor1970GehoerenZurVorigenSekunde) {
    Zeitzone("UTC0");
    const TUhrzeit kurzDavor = UhrzeitAusUtc(-1);
    EXPECT_EQ(kurzDavor.Lokal, (TZeitpunkt{31, 12, 1969, 23, 59, 59}));
    EXPECT_EQ(kurzDavor.UtcVersatz, 0);
    EXPECT_EQ(UhrzeitAusLokal(TZeitpunkt{1, 1, 1970, 0, 0, 0}, 0).UtcMs, 0);
}

TEST(FesteUhr, LiefertImmerDieselbeAblesung) {
    const TUhr uhr = FesteUhr(TZeitpunkt{7, 12, 2026, 10, 0, 0}, 3600);
    const TUhrzeit a = UhrLesen(uhr);
    EXPECT_EQ(a.Lokal, (TZeitpunkt{7, 12, 2026, 10, 0, 0}));
    EXPECT_EQ(a.UtcMs, std::int64_t{1796634000} * 1000);
    EXPECT_EQ(a.UtcVersatz, 3600);
    EXPECT_EQ(UhrLesen(uhr), a);
    // East of Greenwich by 14 hours, the same local time is an earlier moment.
    EXPECT_EQ(UhrzeitAusLokal(a.Lokal, 14 * 3600).UtcMs, a.UtcMs - 13 * 3600 * 1000);
}

TEST_F(ZeitzonenTest, DieSystemuhrIstDieUhrDesRechners) {
    Zeitzone(Mitteleuropa);
    // Bounds from the same clock: a shifted clock (faketime) may tell time() and
    // clock_gettime() a millisecond apart.
    const auto millisekunden = [] {
        timespec t{};
        ::clock_gettime(CLOCK_REALTIME, &t);
        return std::int64_t{t.tv_sec} * 1000 + t.tv_nsec / 1'000'000;
    };
    const std::int64_t vorher = millisekunden();
    const TUhrzeit jetzt = SystemUhrLesen();
    const TUhrzeit ohneUhr = UhrLesen(TUhr{});
    const std::int64_t nachher = millisekunden();
    for (const TUhrzeit& z : {jetzt, ohneUhr}) {
        EXPECT_GE(z.UtcMs, vorher);
        EXPECT_LE(z.UtcMs, nachher);
        EXPECT_EQ(z.Lokal, LokaleZeit(static_cast<std::time_t>(z.UtcMs / 1000)));
        EXPECT_TRUE(z.UtcVersatz == 3600 || z.UtcVersatz == 7200) << z.UtcVersatz;
        EXPECT_EQ(UhrzeitAusLokal(z.Lokal, z.UtcVersatz).UtcMs, z.UtcMs / 1000 * 1000);
    }
}

} // namespace
