// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/ZeitpunktLesen.h"

#include "TestZeitpunkt.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

constexpr std::int32_t Unberuehrt = 77;

TZeitpunkt Vorbelegt() {
    return TZeitpunkt{Unberuehrt, Unberuehrt, Unberuehrt, Unberuehrt, Unberuehrt, Unberuehrt};
}

struct TZahlFall {
    const char* Text;
    std::optional<std::int32_t> Erwartet;
};

TEST(GanzzahlLesen, LiestGanzeDezimalzahlenUndSonstNichts) {
    const TZahlFall faelle[] = {
        {"0", 0},
        {"06", 6},
        {"2001", 2001},
        {"-1", -1},
        {"+7", 7},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"", std::nullopt},
        {"+", std::nullopt},
        {"-", std::nullopt},
        {"+-5", std::nullopt},
        {"--5", std::nullopt},
        {" 5", std::nullopt},
        {"5 ", std::nullopt},
        {"12a", std::nullopt},
        {"0x1F", std::nullopt},
        {"$1F", std::nullopt},
        {"1.5", std::nullopt},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999999999999999", std::nullopt},
    };
    for (const auto& fall : faelle) {
        EXPECT_EQ(GanzzahlLesen(fall.Text), fall.Erwartet) << '"' << fall.Text << '"';
    }
}

struct TDatumFall {
    const char* Text;
    std::int32_t Tag, Monat, Jahr;
};

TEST(DatumLesen, LiestTagMonatJahrOderSetztAlleAufMinusEins) {
    const TDatumFall faelle[] = {
        {"06.12.2001", 6, 12, 2001},
        {"6.1.96", 6, 1, 96},
        {"31.02.2020", 31, 2, 2020}, // the month's length is not checked here
        {"0.0.0", 0, 0, 0},
        {"06.12.2001.", -1, -1, -1},
        {"06/12/2001", -1, -1, -1},
        {"06.12", -1, -1, -1},
        {"06.12.", -1, -1, -1},
        {".12.2001", -1, -1, -1},
        {"06..2001", -1, -1, -1},
        {" 6.12.2001", -1, -1, -1},
        {"06.12.2001 ", -1, -1, -1},
        {"2001-12-06", -1, -1, -1},
        {"06.12.99999999999", -1, -1, -1},
        {"", -1, -1, -1},
    };
    for (const auto& fall : faelle) {
        TZeitpunkt z = Vorbelegt();
        DatumLesen(fall.Text, z);
        EXPECT_EQ(z,
                  (TZeitpunkt{fall.Tag, fall.Monat, fall.Jahr, Unberuehrt, Unberuehrt, Unberuehrt}))
            << '"' << fall.Text << '"';
    }
}

struct TZeitFall {
    const char* Text;
    std::int32_t Stunde, Minute, Sekunde;
};

TEST(ZeitLesen, LiestStundeMinuteSekundeOderSetztAlleAufMinusEins) {
    const TZeitFall faelle[] = {
        {"14:30:05", 14, 30, 5},
        {"12:34", 12, 34, 0},
        {" 9: 05: 07", 9, 5, 7},
        {"1 2:3 4:5 6", 12, 34, 56},
        {"23:59:59", 23, 59, 59},
        {"25:61:99", 25, 61, 99}, // plausibility is not checked
        {"14:30:05:01", -1, -1, -1},
        {"14", -1, -1, -1},
        {"", -1, -1, -1},
        {":30:05", -1, -1, -1},
        {"14::05", -1, -1, -1},
        {"14:30:", -1, -1, -1},
        {"14.30.05", -1, -1, -1},
        {"14:30:05 Uhr", -1, -1, -1},
        {"14:3O:05", -1, -1, -1},
        {"99999999999:00:00", -1, -1, -1},
    };
    for (const auto& fall : faelle) {
        TZeitpunkt z = Vorbelegt();
        ZeitLesen(fall.Text, z);
        EXPECT_EQ(z, (TZeitpunkt{Unberuehrt, Unberuehrt, Unberuehrt, fall.Stunde, fall.Minute,
                                 fall.Sekunde}))
            << '"' << fall.Text << '"';
    }
}

TEST(ZeitText, FuelltJedesFeldAufZweiStellen) {
    EXPECT_EQ(ZeitText(TZeitpunkt{1, 1, 2001, 0, 0, 0}), "00:00:00");
    EXPECT_EQ(ZeitText(TZeitpunkt{1, 1, 2001, 9, 5, 7}), "09:05:07");
    EXPECT_EQ(ZeitText(TZeitpunkt{1, 1, 2001, 23, 59, 59}), "23:59:59");
    EXPECT_EQ(ZeitText(TZeitpunkt{1, 1, 2001, 100, 0, 0}), "100:00:00");
    EXPECT_EQ(ZeitText(TZeitpunkt{1, 1, 2001, -1, -1, -1}), "-01:-01:-01");
}

TEST(MitNullen, FuelltLinksAufUndStelltDasVorzeichenVoran) {
    EXPECT_EQ(MitNullen(7, 3), "007");
    EXPECT_EQ(MitNullen(999, 3), "999");
    EXPECT_EQ(MitNullen(1000, 3), "1000");
    EXPECT_EQ(MitNullen(-7, 3), "-007");
    EXPECT_EQ(MitNullen(0, 0), "0");
    EXPECT_EQ(MitNullen(std::numeric_limits<std::int64_t>::min(), 2), "-9223372036854775808");
}

} // namespace
