// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mqtt/Themen.h"

#include <gtest/gtest.h>

namespace {

struct TEbenenFall {
    std::string Text;
    std::string Ebene;
};

class ThemenEbeneTest : public ::testing::TestWithParam<TEbenenFall> {};

// Each escape keeps a separator, a wildcard, a byte MQTT forbids or a name the file system
// treats specially out of one level, and reading it back gives the text again.
TEST_P(ThemenEbeneTest, MaskiertUndLiestZurueck) {
    const TEbenenFall& fall = GetParam();
    EXPECT_EQ(ThemenEbene(fall.Text), fall.Ebene);
    EXPECT_EQ(ThemenEbeneLesen(fall.Ebene), fall.Text);
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, ThemenEbeneTest,
    ::testing::Values(TEbenenFall{"labor-3", "labor-3"},
                      TEbenenFall{"/dev/ttyUSB0", "%2Fdev%2FttyUSB0"},
                      TEbenenFall{"a+b#c", "a%2Bb%23c"}, TEbenenFall{"$SYS", "%24SYS"},
                      TEbenenFall{"50%", "50%25"}, TEbenenFall{"%2F", "%252F"},
                      TEbenenFall{std::string("a\0b", 3), "a%00b"},
                      TEbenenFall{"Zeile\nTab\t\x7f", "Zeile%0ATab%09%7F"},
                      TEbenenFall{"Prüfstand Ω", "Prüfstand Ω"},
                      TEbenenFall{"\xFC\xC3", "%FC%C3"},        // Windows-1252, no UTF-8
                      TEbenenFall{"\xED\xA0\x80", "%ED%A0%80"}, // a surrogate
                      TEbenenFall{"", "%"}, TEbenenFall{".", "%2E"}, TEbenenFall{"..", "%2E%2E"},
                      TEbenenFall{"...", "..."}),
    [](const auto& fall) { return "Fall" + std::to_string(fall.index); });

TEST(Thema, SetztZusammenUndZerlegt) {
    EXPECT_EQ(Thema("labor/3", "FTDI FT232R A50285BI", TThemenArt::Messwert),
              "quorlits/v1/labor%2F3/FTDI FT232R A50285BI/reading");
    EXPECT_EQ(AlleThemen(TThemenArt::Ereignis), "quorlits/v1/+/+/event");
    for (const TThemenArt art :
         {TThemenArt::Messwert, TThemenArt::Ereignis, TThemenArt::Zustand, TThemenArt::Quittung}) {
        TThemenTeile teile;
        ASSERT_TRUE(ThemaZerlegen(Thema("b+1", "/dev/pts/3", art), teile));
        EXPECT_EQ(teile.Bench, "b+1");
        EXPECT_EQ(teile.Meter, "/dev/pts/3");
        EXPECT_EQ(teile.Art, art);
    }
    TThemenTeile teile;
    for (const char* fremd : {"quorlits/v2/a/b/reading", "quorlits/v1/a/reading",
                              "quorlits/v1/a/b/c/reading", "quorlits/v1/a/b/readings", ""}) {
        EXPECT_FALSE(ThemaZerlegen(fremd, teile)) << fremd;
    }
}

} // namespace
