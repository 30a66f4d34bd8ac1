// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "shell/Befehlszeile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TFall {
    std::vector<std::string> Argumente;
    std::string Port;
    bool Hilfe;
    bool Fehler;
};

class BefehlszeileTest : public testing::TestWithParam<TFall> {};

TEST_P(BefehlszeileTest, LiestPortUndHilfe) {
    const TFall& fall = GetParam();
    const TBefehlszeile ergebnis = BefehlszeileLesen(fall.Argumente);
    EXPECT_EQ(ergebnis.Port, fall.Port);
    EXPECT_EQ(ergebnis.Hilfe, fall.Hilfe);
    EXPECT_EQ(!ergebnis.Fehler.empty(), fall.Fehler) << ergebnis.Fehler;
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, BefehlszeileTest,
    testing::Values(TFall{{}, "", false, false},
                    TFall{{"--port", "/dev/pts/3"}, "/dev/pts/3", false, false},
                    TFall{{"--port=ttyUSB0"}, "ttyUSB0", false, false},
                    TFall{{"--help"}, "", true, false}, TFall{{"-h"}, "", true, false},
                    // The device must follow the switch; a missing one is no empty device.
                    TFall{{"--port"}, "", false, true}, TFall{{"--port="}, "", false, true},
                    TFall{{"--port", ""}, "", false, true}, TFall{{"/dev/ttyS0"}, "", false, true},
                    TFall{{"--bogus"}, "", false, true}));

TEST(HilfeText, NenntAufrufUndSchalter) {
    const std::string text = HilfeText();
    EXPECT_EQ(text.rfind("Aufruf: quorlits [--port GERÄT]", 0), 0U);
    EXPECT_NE(text.find("--help"), std::string::npos);
}

} // namespace
