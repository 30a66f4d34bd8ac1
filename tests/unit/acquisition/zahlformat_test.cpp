// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "acquisition/Zahlformat.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(TabellenZahl, TwoDecimalsPointWidthSix) {
    struct TFall {
        double Wert;
        std::string Text;
    };
    const std::vector<TFall> faelle = {
        {7.012, "  7.01"},     {-1.5, " -1.50"},   {0.0, "  0.00"},
        {1234.567, "1234.57"}, {99.999, "100.00"}, {-123.456, "-123.46"},
    };
    for (const TFall& fall : faelle) {
        EXPECT_EQ(TabellenZahl(fall.Wert), fall.Text) << fall.Wert;
    }
}

TEST(Festkomma, WidthDecimalsAndSeparator) {
    struct TFall {
        double Wert;
        int Breite;
        int Nachkommastellen;
        char Trenner;
        std::string Text;
    };
    const std::vector<TFall> faelle = {
        {1.98, 6, 3, ',', " 1,980"}, {-123.456, 7, 2, ',', "-123,46"},   {0.0, 5, 2, ',', " 0,00"},
        {25.0, 4, 1, '.', "25.0"},   {12345.678, 3, 2, ',', "12345,68"}, {7.6, 0, 0, ',', "8"},
        {0.475, 1, 3, ',', "0,475"},
    };
    for (const TFall& fall : faelle) {
        EXPECT_EQ(Festkomma(fall.Wert, fall.Breite, fall.Nachkommastellen, fall.Trenner), fall.Text)
            << fall.Wert;
    }
}

} // namespace
