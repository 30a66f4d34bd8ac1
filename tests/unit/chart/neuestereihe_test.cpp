// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "chart/NeuesteReihe.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr std::int64_t Anfang = 1796634000000; // 07.12.2026 10:00:00 CET
constexpr std::int64_t OhneUhr = std::numeric_limits<std::int64_t>::min();

// One step: a reading of `Einheit` at `Ms` (none when empty), the clock at `UhrMs` (none when
// OhneUhr), and the series "Neueste Messgröße" must show afterwards.
struct TSchritt {
    std::int64_t Ms;
    std::string Einheit;
    std::int64_t UhrMs;
    int Erwartet;
};

// An oxygen meter alternating mg/l (series 0) and % (series 1), then staying with %, then
// giving a single mg/l reading that only the clock's passing time brings into view.
TEST(NeuesteReihe, FollowsAQuantityOnlyAfterItWasTheNewestForFiveSeconds) {
    const std::vector<TSchritt> schritte{
        {0, "mg/l", OhneUhr, 0}, // the first series is shown at once
        {1000, "%", OhneUhr, 0},
        {2000, "mg/l", OhneUhr, 0},
        {3000, "%", OhneUhr, 0}, // % is the newest from here on
        {4000, "%", OhneUhr, 0},
        {7000, "%", OhneUhr, 0},
        {7999, "%", OhneUhr, 0},
        {8000, "%", OhneUhr, 1}, // 5 s by the readings' stamps
        {9000, "mg/l", OhneUhr, 1},
        {9000, "", 13999, 1},
        {9000, "", 14000, 0}, // 5 s by the clock, no further reading
        {15000, "%", OhneUhr, 0},
        {16000, "%", 10000, 0}, // a clock behind the readings does not hold them back
        {20000, "%", 10000, 1},
    };
    TVerlauf verlauf;
    int gezeigt = -1;
    EXPECT_EQ(NeuesteReiheWaehlen(gezeigt, verlauf, OhneUhr), -1);
    for (const TSchritt& s : schritte) {
        if (!s.Einheit.empty()) {
            verlauf.Hinzufuegen({Anfang + s.Ms, "O2", s.Einheit, 8.0, true, 25.0, 8.0});
        }
        gezeigt =
            NeuesteReiheWaehlen(gezeigt, verlauf, s.UhrMs == OhneUhr ? OhneUhr : Anfang + s.UhrMs);
        EXPECT_EQ(gezeigt, s.Erwartet) << s.Ms << " " << s.UhrMs;
    }
    // A choice that names no series of the new measurement gives way to the newest at once.
    verlauf.Leeren();
    verlauf.Hinzufuegen({Anfang + 30000, "pH", "pH", 7.0, true, 25.0, 7.0});
    verlauf.Hinzufuegen({Anfang + 31000, "mV", "mV", 7.0, true, 25.0, 7.0});
    EXPECT_EQ(NeuesteReiheWaehlen(5, verlauf), 1);
}

} // namespace
