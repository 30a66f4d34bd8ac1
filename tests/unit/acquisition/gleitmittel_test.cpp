// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "acquisition/GleitMittel.h"

#include "acquisition/Zahlformat.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

// A reading of `wert` in `einheit` (a line's pH unless said otherwise).
TMesswert Messwert(double wert, double temp, const std::string& messgroesse = "pH",
                   const std::string& einheit = "pH") {
    TMesswert m;
    m.Wert = wert;
    m.Temp = temp;
    m.Messgroesse = messgroesse;
    m.Einheit = einheit;
    return m;
}

void Aktualisieren(TGleitMittel& gleitMittel, std::int64_t fenster, double wert, double temp) {
    GleitMittelAktualisieren(gleitMittel, fenster, Messwert(wert, temp));
}

// The table texts of the value averages after each reading, from a fresh start.
std::vector<std::string> Mittelwerte(std::int64_t fenster, const std::vector<double>& werte) {
    TGleitMittel gleitMittel;
    GleitMittelZuruecksetzen(gleitMittel);
    std::vector<std::string> texte;
    for (const double wert : werte) {
        Aktualisieren(gleitMittel, fenster, wert, wert);
        EXPECT_DOUBLE_EQ(gleitMittel.GleitMittelTemp, gleitMittel.GleitMittelWert);
        texte.push_back(TabellenZahl(gleitMittel.GleitMittelWert));
    }
    return texte;
}

TEST(GleitMittel, FirstReadingsAreAveragedAmongThemselves) {
    struct TFall {
        std::int64_t Fenster;
        std::vector<double> Werte;
        std::vector<std::string> Erwartet;
    };
    const std::vector<TFall> faelle = {
        {10, {7.00, 7.50}, {"  7.00", "  7.25"}},
        {10,
         std::vector<double>(10, 7.0),
         {"  7.00", "  7.00", "  7.00", "  7.00", "  7.00", "  7.00", "  7.00", "  7.00", "  7.00",
          "  7.00"}},
        {3, {1, 2, 3, 4}, {"  1.00", "  1.50", "  2.00", "  3.00"}},
        {1, {7.25, -1.5, 3}, {"  7.25", " -1.50", "  3.00"}},
        {100, {7.00}, {"  7.00"}},
        {300, {300.0}, {"300.00"}},
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
    EXPECT_EQ(Mittelwerte(65535, {600, 300}), (std::vector<std::string>{"600.00", "450.00"}));
    // 301 readings with a window of 65535: the oldest has left the history.
    std::vector<double> werte(301, 1.0);
    werte.front() = 301.0;
    EXPECT_EQ(Mittelwerte(65535, werte).back(), "  1.00");
}

TEST(GleitMittel, ChangedWindowAveragesTheLatestReadings) {
    TGleitMittel gleitMittel;
    Aktualisieren(gleitMittel, 2, 2.0, 20.0);
    Aktualisieren(gleitMittel, 2, 4.0, 40.0);
    // Growing to 4 takes in every reading received so far, the one before the window included.
    Aktualisieren(gleitMittel, 4, 8.0, 80.0);
    EXPECT_DOUBLE_EQ(gleitMittel.GleitMittelWert, (2.0 + 4.0 + 8.0) / 3.0);
    EXPECT_DOUBLE_EQ(gleitMittel.GleitMittelTemp, (20.0 + 40.0 + 80.0) / 3.0);
    // Shrinking to 2 averages the last two.
    Aktualisieren(gleitMittel, 2, 6.0, 60.0);
    EXPECT_DOUBLE_EQ(gleitMittel.GleitMittelWert, (8.0 + 6.0) / 2.0);
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
        Aktualisieren(gleitMittel, 300, 5.0, 25.0);
    }
    EXPECT_DOUBLE_EQ(gleitMittel.GleitMittelWert, 5.0);
    GleitMittelZuruecksetzen(gleitMittel);
    EXPECT_EQ(gleitMittel.GleitMittelWert, 0.0);
    EXPECT_EQ(gleitMittel.GleitMittelTemp, 0.0);
    Aktualisieren(gleitMittel, 300, 3.0, 30.0);
    EXPECT_DOUBLE_EQ(gleitMittel.GleitMittelWert, 3.0);
    EXPECT_DOUBLE_EQ(gleitMittel.GleitMittelTemp, 30.0);
}

// A sequence of readings of changing kinds, and the averages after the last one.
struct TArtwechsel {
    const char* Name;
    std::int64_t Fenster;
    std::vector<TMesswert> Messwerte;
    double Wert; // in the unit of the last reading
    double Temp;
};

void PrintTo(const TArtwechsel& fall, std::ostream* aus) {
    *aus << fall.Name;
}

class GleitMittelArtwechsel : public ::testing::TestWithParam<TArtwechsel> {};

TEST_P(GleitMittelArtwechsel, ConvertsOrStartsAfresh) {
    TGleitMittel gleitMittel;
    for (const TMesswert& messwert : GetParam().Messwerte) {
        GleitMittelAktualisieren(gleitMittel, GetParam().Fenster, messwert);
    }
    EXPECT_DOUBLE_EQ(gleitMittel.GleitMittelWert, GetParam().Wert);
    EXPECT_DOUBLE_EQ(gleitMittel.GleitMittelTemp, GetParam().Temp);
}

const std::string Mikro = "\xE6S/cm"; // as the meter sends it, code page 850

INSTANTIATE_TEST_SUITE_P(
    Faelle, GleitMittelArtwechsel,
    ::testing::Values(
        TArtwechsel{"MikroNachMilli",
                    10,
                    {Messwert(1442, 20, "Lf", Mikro), Messwert(1.5, 22, "Lf", "mS/cm")},
                    (1.442 + 1.5) / 2,
                    21},
        TArtwechsel{"MilliNachMikroZurueck",
                    10,
                    {Messwert(1.5, 20, "Lf", "mS/cm"), Messwert(1442, 20, "Lf", Mikro),
                     Messwert(1.6, 20, "Lf", "mS/cm"), Messwert(1300, 26, "Lf", Mikro)},
                    (1500.0 + 1442 + 1600 + 1300) / 4,
                    21.5},
        // The window still counts readings, whatever their unit.
        TArtwechsel{"FensterUeberDenWechsel",
                    2,
                    {Messwert(1000, 20, "Lf", Mikro), Messwert(2000, 20, "Lf", Mikro),
                     Messwert(3, 24, "Lf", "mS/cm")},
                    2.5,
                    22},
        TArtwechsel{"LatinEinsUndUGeltenAlsMikro",
                    10,
                    {Messwert(1000, 20, "Lf", "\xB5S/cm"), Messwert(2000, 20, "Lf", "uS/cm"),
                     Messwert(3, 20, "Lf", "mS/cm")},
                    2,
                    20},
        TArtwechsel{"PhNachMv",
                    10,
                    {Messwert(7.0, 20), Messwert(7.2, 20), Messwert(205, 30, "mV", "mV")},
                    205,
                    30},
        TArtwechsel{"MglNachProzent",
                    10,
                    {Messwert(8.25, 19, "O2", "mg/l"), Messwert(95, 21, "O2", "%")},
                    95,
                    21},
        TArtwechsel{
            "AusdruckNachZeile", 10, {Messwert(7.0, 20, "?", "pH"), Messwert(7.2, 22)}, 7.2, 22},
        TArtwechsel{"AusdruckeGleicherEinheit",
                    10,
                    {Messwert(7.0, 20, "?", "pH"), Messwert(7.2, 22, "?", "pH")},
                    7.1,
                    21}),
    [](const auto& fall) { return std::string(fall.param.Name); });

} // namespace
