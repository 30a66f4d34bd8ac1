// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The memory figures of the about box: reading /proc/meminfo and the two display texts.
#include "app/Speicherinfo.h"

#include "tests/unit/common/TestOrdner.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace {

struct TTextFall {
    std::uint64_t bytes;
    const char* erwartet;
};

void PrintTo(const TTextFall& fall, std::ostream* os) {
    *os << fall.bytes << " bytes";
}

class PhysMemFormat : public testing::TestWithParam<TTextFall> {};

TEST_P(PhysMemFormat, GruppiertUndGerundet) {
    EXPECT_EQ(PhysMemText(GetParam().bytes), GetParam().erwartet);
}

constexpr std::uint64_t KiB = 1024;

INSTANTIATE_TEST_SUITE_P(
    Faelle, PhysMemFormat,
    testing::Values(TTextFall{536870912, "524.288 KB"},      // 512 MiB
                    TTextFall{0, " KB"},                     // the pattern forces no digit
                    TTextFall{511, " KB"},                   // under half a kilobyte
                    TTextFall{512, "1 KB"},                  // a half rounds up
                    TTextFall{999 * KiB, "999 KB"},          // three digits, no separator
                    TTextFall{999 * KiB + 511, "999 KB"},    //
                    TTextFall{999 * KiB + 512, "1.000 KB"},  // rounding reaches the fourth digit
                    TTextFall{12345 * KiB, "12.345 KB"},     //
                    TTextFall{123456 * KiB, "123.456 KB"},   //
                    TTextFall{17179869184, "16.777.216 KB"}, // 16 GiB
                    TTextFall{1099511627776, "1.073.741.824 KB"}, // 1 TiB
                    TTextFall{
                        std::numeric_limits<std::uint64_t>::max(), // rounding does not overflow
                        "18.014.398.509.481.984 KB"}));

TEST(FreeResFormat, ZahlBlankProzent) {
    for (const auto& [prozent, erwartet] : {std::pair{0U, "0 %"}, std::pair{7U, "7 %"},
                                            std::pair{37U, "37 %"}, std::pair{100U, "100 %"}}) {
        EXPECT_EQ(FreeResText(prozent), erwartet);
    }
}

// What a 4.19 kernel writes, shortened.
const char* const Beispiel = "MemTotal:        8029768 kB\n"
                             "MemFree:          402196 kB\n"
                             "MemAvailable:    5206392 kB\n"
                             "Buffers:          312760 kB\n"
                             "Cached:          4590004 kB\n"
                             "SwapCached:         1224 kB\n"
                             "HugePages_Total:       0\n"
                             "Hugepagesize:       2048 kB\n";

TEST(Meminfo, BeispielDesKernels) {
    const auto stand = MeminfoAuswerten(Beispiel);
    ASSERT_TRUE(stand.has_value());
    EXPECT_EQ(stand->GesamtBytes, 8029768ULL * 1024);
    // (8029768 - 5206392) / 8029768 = 35.16 %
    EXPECT_EQ(stand->LastProzent, 35U);
}

struct TLastFall {
    const char* name;
    const char* text;
    unsigned erwartet;
};

void PrintTo(const TLastFall& fall, std::ostream* os) {
    *os << fall.name;
}

class MeminfoLast : public testing::TestWithParam<TLastFall> {};

TEST_P(MeminfoLast, Prozent) {
    const auto stand = MeminfoAuswerten(GetParam().text);
    ASSERT_TRUE(stand.has_value());
    EXPECT_EQ(stand->LastProzent, GetParam().erwartet);
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, MeminfoLast,
    testing::Values(
        TLastFall{"HalbRundetAuf", "MemTotal: 1000 kB\nMemAvailable: 505 kB\n", 50},
        TLastFall{"UnterHalbRundetAb", "MemTotal: 1000 kB\nMemAvailable: 506 kB\n", 49},
        TLastFall{"NichtsFrei", "MemTotal: 1000 kB\nMemAvailable: 0 kB\n", 100},
        TLastFall{"AllesFrei", "MemTotal: 1000 kB\nMemAvailable: 1000 kB\n", 0},
        TLastFall{"MehrFreiAlsDa", "MemTotal: 1000 kB\nMemAvailable: 1500 kB\n", 0},
        // Kernels before 3.14: free memory plus what the page cache could give back.
        TLastFall{"AlterKernel",
                  "MemTotal: 1000 kB\nMemFree: 100 kB\nBuffers: 50 kB\nCached: 250 kB\n", 60},
        TLastFall{"AlterKernelNurFrei", "MemTotal: 1000 kB\nMemFree: 250 kB\n", 75},
        TLastFall{"AvailableVorFree", "MemTotal: 1000 kB\nMemFree: 100 kB\nMemAvailable: 800 kB\n",
                  20},
        TLastFall{"ReihenfolgeEgal", "MemAvailable: 250 kB\nMemTotal: 1000 kB\n", 75},
        TLastFall{"ZeilenendeCRLF", "MemTotal: 1000 kB\r\nMemAvailable: 250 kB\r\n", 75},
        TLastFall{"OhneLetztesZeilenende", "MemTotal: 1000 kB\nMemAvailable: 250 kB", 75},
        TLastFall{"GrosserSpeicher", "MemTotal: 1099511627776 kB\nMemAvailable: 1 kB\n", 100}));

class MeminfoUnbrauchbar : public testing::TestWithParam<TLastFall> {};

TEST_P(MeminfoUnbrauchbar, Leer) {
    EXPECT_FALSE(MeminfoAuswerten(GetParam().text).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, MeminfoUnbrauchbar,
    testing::Values(
        TLastFall{"LeererText", "", 0},
        TLastFall{"OhneGesamt", "MemFree: 100 kB\nMemAvailable: 100 kB\n", 0},
        TLastFall{"GesamtNull", "MemTotal: 0 kB\nMemAvailable: 0 kB\n", 0},
        TLastFall{"OhneFrei", "MemTotal: 1000 kB\nBuffers: 10 kB\n", 0},
        TLastFall{"KeineZahl", "MemTotal: viel kB\nMemAvailable: 10 kB\n", 0},
        TLastFall{"Negativ", "MemTotal: -1000 kB\nMemAvailable: 10 kB\n", 0},
        TLastFall{"FremdeEinheit", "MemTotal: 1000 MB\nMemAvailable: 10 kB\n", 0},
        TLastFall{"Ueberlauf", "MemTotal: 99999999999999999999999 kB\nMemAvailable: 1 kB\n", 0},
        TLastFall{"JenseitsEinesPetabytes", "MemTotal: 1099511627777 kB\nMemAvailable: 1 kB\n", 0},
        TLastFall{"OhneDoppelpunkt", "MemTotal 1000 kB\nMemAvailable 10 kB\n", 0}));

TEST(SpeicherStand, AusDatei) {
    TTestOrdner ordner;
    DateiSchreiben(ordner / "meminfo", Beispiel);
    const TSpeicherStand stand = SpeicherStandLesen(ordner / "meminfo");
    EXPECT_EQ(stand.GesamtBytes, 8029768ULL * 1024);
    EXPECT_EQ(stand.LastProzent, 35U);
}

// Without a readable or understandable file the kernel's sysinfo call still gives the figures.
TEST(SpeicherStand, OhneDateiAusDemKernel) {
    TTestOrdner ordner;
    DateiSchreiben(ordner / "kaputt", "MemTotal: viel\n");
    for (const auto& pfad : {ordner / "fehlt", ordner / "kaputt"}) {
        const TSpeicherStand stand = SpeicherStandLesen(pfad);
        EXPECT_GT(stand.GesamtBytes, 0U);
        EXPECT_LE(stand.LastProzent, 100U);
    }
}

} // namespace
