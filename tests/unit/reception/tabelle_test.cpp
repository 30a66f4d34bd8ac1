// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "reception/Tabelle.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

// All texts of one row, for comparing rows at once.
std::vector<QString> Zeile(const TTabelle& tabelle, int zeile) {
    std::vector<QString> texte;
    for (int spalte = 0; spalte < tabelle.ColCount(); ++spalte) {
        texte.push_back(tabelle.Cell(spalte, zeile));
    }
    return texte;
}

std::vector<QString> Texte(std::initializer_list<const char*> texte) {
    std::vector<QString> ergebnis;
    for (const char* text : texte) {
        ergebnis.push_back(QString::fromUtf8(text));
    }
    return ergebnis;
}

// One chunk per cell, each named by its number.
void Eintragen(TTabelle& tabelle, TAktZelle& akt, int anzahl, bool zeilenvorschub) {
    for (int i = 0; i < anzahl; ++i) {
        UnformatiertEintragen(tabelle, akt, QString::number(i), zeilenvorschub);
    }
}

TMesswert Messwert(const char* zeit, double wert, double temp, const char* einheit) {
    TMesswert m;
    m.PCDatum = "06.12.2001";
    m.PCZeit = zeit;
    m.Wert = wert;
    m.Temp = temp;
    m.Einheit = einheit;
    return m;
}

TEST(TTabelle, CellsOutsideTheTableReadEmptyAndIgnoreWrites) {
    TTabelle tabelle;
    tabelle.SetColCount(3);
    for (const auto& [spalte, zeile] :
         std::vector<std::pair<int, int>>{{-1, 1}, {3, 1}, {0, -1}, {0, 8}, {100, 100}}) {
        tabelle.SetCell(spalte, zeile, "x");
        EXPECT_TRUE(tabelle.Cell(spalte, zeile).isEmpty()) << spalte << "," << zeile;
    }
    tabelle.SetCell(2, 7, "Ecke");
    EXPECT_EQ(tabelle.Cell(2, 7), "Ecke");
    EXPECT_EQ(tabelle.RowCount(), 8);
}

TEST(TTabelle, ChangingTheColumnCountKeepsRemainingCellsAndRaisesTheLayoutNumber) {
    TTabelle tabelle;
    tabelle.SetColCount(4);
    tabelle.SetCell(1, 3, "bleibt");
    tabelle.SetCell(3, 3, "geht");
    const auto vorher = tabelle.LayoutNummer();
    tabelle.SetColCount(2);
    tabelle.SetColCount(4);
    EXPECT_EQ(tabelle.Cell(1, 3), "bleibt");
    EXPECT_TRUE(tabelle.Cell(3, 3).isEmpty());
    tabelle.SetDefaultColWidth(33);
    EXPECT_EQ(tabelle.DefaultColWidth(), 33);
    EXPECT_EQ(tabelle.LayoutNummer(), vorher + 3);
}

struct TLayout {
    int Spalten;
    int Breite;
};

void PrintTo(const TLayout& layout, std::ostream* aus) {
    *aus << layout.Spalten << " x " << layout.Breite;
}

class StandardLayout : public ::testing::TestWithParam<TLayout> {};

TEST_P(StandardLayout, NumbersTheColumnsAndStartsAtTheFirstDataCell) {
    TTabelle tabelle;
    TAktZelle akt;
    DesignStandardGrid(tabelle, 20, 21, akt);
    Eintragen(tabelle, akt, 25, false);
    DesignStandardGrid(tabelle, GetParam().Spalten, GetParam().Breite, akt);
    EXPECT_EQ(tabelle.ColCount(), GetParam().Spalten);
    EXPECT_EQ(tabelle.DefaultColWidth(), GetParam().Breite);
    for (int spalte = 0; spalte < tabelle.ColCount(); ++spalte) {
        EXPECT_EQ(tabelle.Cell(spalte, 0), QString::number(spalte + 1));
    }
    EXPECT_EQ(akt.AktSpalte, 0);
    EXPECT_EQ(akt.AktZeile, 1);
    // The data cells keep their text until new entries overwrite them.
    EXPECT_EQ(tabelle.Cell(4, 1), "4");
    UnformatiertEintragen(tabelle, akt, "neu", false);
    EXPECT_EQ(tabelle.Cell(0, 1), "neu");
}

INSTANTIATE_TEST_SUITE_P(Spaltenzahlen, StandardLayout,
                         ::testing::Values(TLayout{20, 21}, TLayout{8, 30}, TLayout{5, 5},
                                           TLayout{50, 300}));

TEST(UnformatiertEintragen, TheTwentyFirstChunkStartsTheSecondRow) {
    TTabelle tabelle;
    TAktZelle akt;
    DesignStandardGrid(tabelle, 20, 21, akt);
    Eintragen(tabelle, akt, 21, false);
    for (int spalte = 0; spalte < 20; ++spalte) {
        EXPECT_EQ(tabelle.Cell(spalte, 1), QString::number(spalte));
    }
    EXPECT_EQ(tabelle.Cell(0, 2), "20");
    EXPECT_EQ(akt.AktSpalte, 1);
    EXPECT_EQ(akt.AktZeile, 2);
}

TEST(UnformatiertEintragen, AChunkWithALineFeedEndsTheLineAfterItsCell) {
    TTabelle tabelle;
    TAktZelle akt;
    DesignStandardGrid(tabelle, 20, 21, akt);
    UnformatiertEintragen(tabelle, akt, "a", false);
    UnformatiertEintragen(tabelle, akt, "b<LF>\r\n", true);
    UnformatiertEintragen(tabelle, akt, "c", false);
    EXPECT_EQ(tabelle.Cell(1, 1), "b<LF>\r\n");
    EXPECT_TRUE(tabelle.Cell(2, 1).isEmpty());
    EXPECT_EQ(tabelle.Cell(0, 2), "c");
}

TEST(UnformatiertEintragen, TheEighthLineScrollsTheDataRows) {
    TTabelle tabelle;
    TAktZelle akt;
    DesignStandardGrid(tabelle, 20, 21, akt);
    for (int zeile = 1; zeile <= 7; ++zeile) {
        UnformatiertEintragen(tabelle, akt, QString("Z%1").arg(zeile), false);
        UnformatiertEintragen(tabelle, akt, QString("E%1").arg(zeile), true);
    }
    EXPECT_EQ(akt.AktZeile, 8);
    UnformatiertEintragen(tabelle, akt, "Z8", false);
    for (int zeile = 1; zeile <= 6; ++zeile) {
        EXPECT_EQ(tabelle.Cell(0, zeile), QString("Z%1").arg(zeile + 1));
        EXPECT_EQ(tabelle.Cell(1, zeile), QString("E%1").arg(zeile + 1));
    }
    EXPECT_EQ(tabelle.Cell(0, 7), "Z8");
    EXPECT_TRUE(tabelle.Cell(1, 7).isEmpty());
    EXPECT_EQ(tabelle.Cell(0, 0), "1");
    EXPECT_EQ(tabelle.Cell(19, 0), "20");
    EXPECT_EQ(akt.AktZeile, 7);
}

TEST(UnformatiertEintragen, EightColumnsWrapAfterTheEighthCell) {
    TTabelle tabelle;
    TAktZelle akt;
    DesignStandardGrid(tabelle, 20, 21, akt);
    DesignStandardGrid(tabelle, 8, 21, akt);
    EXPECT_EQ(Zeile(tabelle, 0), Texte({"1", "2", "3", "4", "5", "6", "7", "8"}));
    Eintragen(tabelle, akt, 9, false);
    EXPECT_EQ(tabelle.Cell(7, 1), "7");
    EXPECT_EQ(tabelle.Cell(0, 2), "8");
}

TEST(TabelleLeeren, EmptiesTheDataRowsAndKeepsTheHeader) {
    TTabelle tabelle;
    TAktZelle akt;
    DesignStandardGrid(tabelle, 5, 21, akt);
    Eintragen(tabelle, akt, 35, false);
    TabelleLeeren(tabelle);
    for (int zeile = 1; zeile < tabelle.RowCount(); ++zeile) {
        EXPECT_EQ(Zeile(tabelle, zeile), Texte({"", "", "", "", ""}));
    }
    EXPECT_EQ(Zeile(tabelle, 0), Texte({"1", "2", "3", "4", "5"}));
}

TEST(WertKopf, IsTheDecodedQuantityWithTheMovingAverageMark) {
    EXPECT_EQ(WertKopf("pH", false), "pH");
    EXPECT_EQ(WertKopf("Lf", true), "Lf (gleit)");
    EXPECT_EQ(WertKopf("\xE6S", false), QString::fromUtf8("µS"));
    EXPECT_EQ(WertKopf("", true), " (gleit)");
}

TEST(DesignWTWGrid, LaysOutFiveColumnsWithTheHeadersOfTheChosenView) {
    for (const bool gleit : {false, true}) {
        TTabelle tabelle;
        TAktZelle akt{3, 5};
        DesignStandardGrid(tabelle, 20, 21, akt);
        Eintragen(tabelle, akt, 3, false);
        DesignWTWGrid(tabelle, "O2", gleit, akt);
        EXPECT_EQ(tabelle.ColCount(), 5);
        EXPECT_EQ(tabelle.DefaultColWidth(), 80);
        EXPECT_EQ(Zeile(tabelle, 0),
                  gleit ? Texte({"Datum", "Zeit", "O2 (gleit)", "Einheit", "T [°C] (gleit)"})
                        : Texte({"Datum", "Zeit", "O2", "Einheit", "T [°C]"}));
        EXPECT_EQ(akt.AktSpalte, 0);
        EXPECT_EQ(akt.AktZeile, 1);
        EXPECT_EQ(tabelle.Cell(2, 1), "2");
    }
}

TEST(WTWZeileEintragen, WritesTheReadingOrItsAveragesWithTheTableNumberFormat) {
    const TMesswert messwert = Messwert("14:30:05", 7.012, -1.5, "\xE6S/cm");
    for (const bool gleit : {false, true}) {
        TTabelle tabelle;
        TAktZelle akt;
        DesignWTWGrid(tabelle, "pH", gleit, akt);
        WTWZeileEintragen(tabelle, akt, messwert, "Lf", gleit, 1234.567, 0.0);
        EXPECT_EQ(Zeile(tabelle, 1),
                  gleit ? Texte({"06.12.2001", "14:30:05", "1234.57", "µS/cm", "  0.00"})
                        : Texte({"06.12.2001", "14:30:05", "  7.01", "µS/cm", " -1.50"}));
        // The headers follow the quantity of the reading.
        EXPECT_EQ(tabelle.Cell(2, 0), gleit ? "Lf (gleit)" : "Lf");
        EXPECT_EQ(tabelle.Cell(4, 0),
                  gleit ? QString::fromUtf8("T [°C] (gleit)") : QString::fromUtf8("T [°C]"));
        EXPECT_EQ(akt.AktSpalte, 0);
        EXPECT_EQ(akt.AktZeile, 2);
    }
}

TEST(WTWZeileEintragen, TheEighthReadingScrollsTheDataRows) {
    TTabelle tabelle;
    TAktZelle akt;
    DesignWTWGrid(tabelle, "pH", false, akt);
    const std::vector<std::string> zeiten = {"10:00:01", "10:00:02", "10:00:03", "10:00:04",
                                             "10:00:05", "10:00:06", "10:00:07", "10:00:08"};
    for (std::size_t i = 0; i < zeiten.size(); ++i) {
        WTWZeileEintragen(tabelle, akt,
                          Messwert(zeiten[i].c_str(), static_cast<double>(i), 25.0, "pH"), "pH",
                          false, 0.0, 0.0);
    }
    for (int zeile = 1; zeile <= 7; ++zeile) {
        EXPECT_EQ(tabelle.Cell(1, zeile),
                  QString::fromStdString(zeiten[static_cast<std::size_t>(zeile)]));
    }
    EXPECT_EQ(tabelle.Cell(2, 7), "  7.00");
    EXPECT_EQ(Zeile(tabelle, 0), Texte({"Datum", "Zeit", "pH", "Einheit", "T [°C]"}));
    EXPECT_EQ(akt.AktZeile, 8);
}

} // namespace
