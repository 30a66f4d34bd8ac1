// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "framework/IsoZeit.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

struct TIsoFall {
    const char* Name;
    std::int64_t UtcMs;
    std::int32_t Versatz;
    const char* Text;
    const char* MitMs;
};

class IsoZeitTest : public ::testing::TestWithParam<TIsoFall> {};

// Qt writes UTC as "Z" and knows no zone beyond ±14 h; the payload and the audit trail write
// every offset alike, so a reader splits each text the same way.
TEST_P(IsoZeitTest, SchreibtJedenVersatz) {
    const TIsoFall& fall = GetParam();
    EXPECT_EQ(IsoZeitText(fall.UtcMs, fall.Versatz, false), fall.Text);
    EXPECT_EQ(IsoZeitText(fall.UtcMs, fall.Versatz, true), fall.MitMs);
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, IsoZeitTest,
    ::testing::Values(TIsoFall{"Winterzeit", 1796572414120, 3600, "2026-12-06T16:53:34+01:00",
                               "2026-12-06T16:53:34.120+01:00"},
                      TIsoFall{"Utc", 1796572414120, 0, "2026-12-06T15:53:34+00:00",
                               "2026-12-06T15:53:34.120+00:00"},
                      TIsoFall{"VorNeunzehnhundertSiebzig", -1, -34200, "1969-12-31T14:29:59-09:30",
                               "1969-12-31T14:29:59.999-09:30"},
                      TIsoFall{"Sekundenversatz", 0, 3601, "1970-01-01T01:00:01+01:00",
                               "1970-01-01T01:00:01.000+01:00"},
                      TIsoFall{"JenseitsJederZone", 0, -72000, "1969-12-31T04:00:00-20:00",
                               "1969-12-31T04:00:00.000-20:00"}),
    [](const auto& fall) { return std::string(fall.param.Name); });

TEST(IsoZeit, JahrZehntausendIstKeineIsoZeit) {
    EXPECT_THROW(IsoZeitText(253402300800000, 0, true), std::out_of_range);
}

} // namespace
