// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "acquisition/Zahlwandlung.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>
#include <vector>

namespace {

struct TFall {
    std::string Text;
    double Wert;
    std::size_t Stopp;
};

const std::vector<TFall> Faelle = {
    {"", 0, 0},
    {"   ", 0, 0},
    {"7.01", 7.01, 0},
    {"  -3.5", -3.5, 0},
    {"+2", 2, 0},
    {"12.", 12, 0},
    {".5", 0.5, 0},
    {"-.5", -0.5, 0},
    {"007", 7, 0},
    // No digit: nothing is taken.
    {"-", 0, 1},
    {".", 0, 1},
    {"+-5", 0, 1},
    {"abc", 0, 1},
    {"  x", 0, 3},
    // The convertible start keeps its value; the stop is the first character not taken.
    {"12.3.4", 12.3, 5},
    {"1-2", 1, 2},
    {"7 ", 7, 2},
    {"1,5", 1, 2},
    {"12.5x", 12.5, 5},
    // Exponents: only complete ones are taken.
    {"1E3", 1000, 0},
    {"2.5e-1", 0.25, 0},
    {"1e+2", 100, 0},
    {"1E", 1, 2},
    {"1E+", 1, 2},
    {"1Ex", 1, 2},
    // Out of range: an overflowing exponent is not taken, an underflowing one gives 0.
    {"1E999", 1, 2},
    {"-1E999", -1, 3},
    {"1E99999999999999999999", 1, 2},
    {"1E-999", 0, 0},
    {"0E99999", 0, 0},
    {"0.0001E310", 1e306, 0},
    {std::string(400, '9'), 0, 1},
    {std::string(400, '9') + "E-300", 1e100, 0},
    {std::string(400, '9') + "E-50", 0, 1},
    {"0." + std::string(400, '0') + "1", 0, 0},
};

TEST(ZahlWandeln, ValueAndStopPosition) {
    for (const TFall& fall : Faelle) {
        SCOPED_TRACE(fall.Text);
        const TZahlErgebnis ergebnis = ZahlWandeln(fall.Text);
        EXPECT_DOUBLE_EQ(ergebnis.Wert, fall.Wert);
        EXPECT_EQ(ergebnis.Stopp, fall.Stopp);
        EXPECT_TRUE(std::isfinite(ergebnis.Wert));
    }
}

TEST(ZahlWandeln, NegativeZeroIsZero) {
    for (const char* text : {"-0", "-0.0", "-0E5", "-1E-999"}) {
        EXPECT_FALSE(std::signbit(ZahlWandeln(text).Wert)) << text;
    }
}

// The C library's numeric locale (which Qt sets from the environment) must not change how a
// point is read.
TEST(ZahlWandeln, IgnoresTheNumericLocale) {
    const std::string vorher = std::setlocale(LC_NUMERIC, nullptr);
    for (const char* name : {"de_DE.UTF-8", "de_DE", "fr_FR.UTF-8"}) {
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            break;
        }
    }
    const TZahlErgebnis punkt = ZahlWandeln("7.01");
    const TZahlErgebnis komma = ZahlWandeln("7,01");
    std::setlocale(LC_NUMERIC, vorher.c_str());
    EXPECT_DOUBLE_EQ(punkt.Wert, 7.01);
    EXPECT_EQ(punkt.Stopp, 0U);
    EXPECT_DOUBLE_EQ(komma.Wert, 7);
    EXPECT_EQ(komma.Stopp, 2U);
}

TEST(LeerzeichenEntfernen, RemovesOnlyBlanks) {
    EXPECT_EQ(LeerzeichenEntfernen(" a b\tc\r\n "), "ab\tc\r\n");
    EXPECT_EQ(LeerzeichenEntfernen("\xF8 C\xFF"), "\xF8"
                                                  "C\xFF");
    EXPECT_EQ(LeerzeichenEntfernen("   "), "");
    EXPECT_EQ(LeerzeichenEntfernen(""), "");
}

TEST(LeerzeichenEntfernen, LongTextIsKeptWhole) {
    std::string text;
    for (int i = 0; i < 300; ++i) {
        text += "x ";
    }
    EXPECT_EQ(LeerzeichenEntfernen(text), std::string(300, 'x'));
}

} // namespace
