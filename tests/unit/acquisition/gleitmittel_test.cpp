// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "acquisition/GleitMittel.h"

#include "acquisition/Zahlformat.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The table texts of the value averages after each reading, from a fresh start.
std::vector<std::string> Mittelwerte(std::int64_t fenster, const std::vector<double>& werte) {
    TGleitMittel gleitMittel;
    GleitMittelZuruecksetzen(gleitMittel);
    std::vector<std::string> texte;
    for (const double wert : werte) {
        GleitMittelAktualisieren(gleitMittel, fenster, wert, wert);
        EXPECT_DOUBLE_EQ(gleitMittel.GleitMittelTemp, gleitMittel.GleitMittelWert);
        texte.push_back(TabellenZahl(gleitMittel.GleitMittelWert));
    }
    return texte;
}

TEST(GleitMittel, MissingReadingsCountAsZero) {
    struct TFall {
        std::int64_t Fenster;
        std::vector<double> Werte;
        std::vector<std::string> Erwartet;
    };
    const std::vector<TFall> faelle = {
        {10, {7.00, 7.50}, {"  0.70", "  1.45"}},
        {10,
         std::vector<double>(10, 7.0),
         {"  0.70", "  1.40", "  2.10", "  2.80", "  3.50", "  4.20", "  4.90", "  5.60", "  6.30",
          "  7.00"}},
        {3, {1, 2, 3, 4}, {"  0.33", "  1.00", "  2.00", "  3.00"}},
        {1, {7.25, -1.5, 3}, {"  7.25", " -1.50", "  3.00"}},
        {100, {7.00}, {"  0.07"}},
        {300, {300.0}, {"  1.00"}},
    };
    for (const TFall& fall : faelle) {
        EXPECT_EQ(Mittelwerte(fall.Fenster, fall.Werte), fall.Erwartet) << fall.Fenster;
    }
}

TEST(GleitMittel, WindowIsClampedToTheHistory) {
    EXPECT_EQ(GleitFenster(0), 1U);
    EXPECT_EQ(GleitFenster(-5), 1U);
    EXPECT_EQ(GleitFenster(1), 1U);
    EXPECT_EQ(GleitFenster(300), 300U);
    EXPECT_EQ(GleitFenster(301), 300U);
    EXPECT_EQ(GleitFenster(65535), 300U);
    // A window of 0 averages the latest reading alone; one of 65535 averages over 300.
    EXPECT_EQ(Mittelwerte(0, {4, 6}), (std::vector<std::string>{"  4.00", "  6.00"}));
    EXPECT_EQ(Mittelwerte(65535, {600}), (std::vector<std::string>{"  2.00"}));
}

TEST(GleitMittel, ChangedWindowKeepsTheEntries) {
    TGleitMittel gleitMittel;
    GleitMittelAktualisieren(gleitMittel, 2, 2.0, 20.0);
    GleitMittelAktualisieren(gleitMittel, 2, 4.0, 40.0);
    // Entries 1 and 2 hold 2 and 4. Growing to 4 takes in entries 3 and 4 (still 0): after the
    // shift they read 4, 0, 0, 8.
    GleitMittelAktualisieren(gleitMittel, 4, 8.0, 80.0);
    EXPECT_DOUBLE_EQ(gleitMittel.GleitMittelWert, (4.0 + 0.0 + 0.0 + 8.0) / 4.0);
    EXPECT_DOUBLE_EQ(gleitMittel.GleitMittelTemp, (40.0 + 80.0) / 4.0);
    // Shrinking to 2 averages entries 1 and 2 as they stand after the shift.
    GleitMittelAktualisieren(gleitMittel, 2, 6.0, 60.0);
    EXPECT_DOUBLE_EQ(gleitMittel.GleitMittelWert, (0.0 + 6.0) / 2.0);
}

TEST(GleitPuffernSchieben, MovesEntriesTwoToNForwardAndLeavesTheRest) {
    TGleitPuffer puffer{};
    for (std::size_t i = 0; i < puffer.size(); ++i) {
        puffer[i] = static_cast<double>(i + 1);
    }
    GleitPuffernSchieben(puffer, 4, 99.0);
    EXPECT_DOUBLE_EQ(puffer[0], 2.0);
    EXPECT_DOUBLE_EQ(puffer[1], 3.0);
    EXPECT_DOUBLE_EQ(puffer[2], 4.0);
    EXPECT_DOUBLE_EQ(puffer[3], 99.0);
    EXPECT_DOUBLE_EQ(puffer[4], 5.0);
    EXPECT_DOUBLE_EQ(puffer[299], 300.0);
    GleitPuffernSchieben(puffer, 65535, -1.0);
    EXPECT_DOUBLE_EQ(puffer[0], 3.0);
    EXPECT_DOUBLE_EQ(puffer[298], 300.0);
    EXPECT_DOUBLE_EQ(puffer[299], -1.0);
}

TEST(GleitPufferLoeschen, ClearsAllEntries) {
    TGleitPuffer puffer{};
    puffer.fill(3.5);
    GleitPufferLoeschen(puffer);
    for (const double eintrag : puffer) {
        EXPECT_EQ(eintrag, 0.0);
    }
}

TEST(GleitMittel, ResetStartsTheAveragingAfresh) {
    TGleitMittel gleitMittel;
    for (int i = 0; i < 300; ++i) {
        GleitMittelAktualisieren(gleitMittel, 300, 5.0, 25.0);
    }
    EXPECT_DOUBLE_EQ(gleitMittel.GleitMittelWert, 5.0);
    GleitMittelZuruecksetzen(gleitMittel);
    EXPECT_EQ(gleitMittel.GleitMittelWert, 0.0);
    EXPECT_EQ(gleitMittel.GleitMittelTemp, 0.0);
    GleitMittelAktualisieren(gleitMittel, 300, 3.0, 30.0);
    EXPECT_DOUBLE_EQ(gleitMittel.GleitMittelWert, 0.01);
    EXPECT_DOUBLE_EQ(gleitMittel.GleitMittelTemp, 0.1);
}

} // namespace
