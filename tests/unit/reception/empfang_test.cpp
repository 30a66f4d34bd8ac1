// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "reception/Empfang.h"

#include "acquisition/Zahlformat.h"
#include "storage/EInOutError.h"
#include "tests/unit/reception/EmpfangTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace {

using EmpfangAnzeige = EmpfangTest;
using EmpfangMessung = EmpfangTest;
using EmpfangSpeichern = EmpfangTest;

std::vector<QString> Zeile(const TTabelle& tabelle, int zeile) {
    std::vector<QString> texte;
    for (int spalte = 0; spalte < tabelle.ColCount(); ++spalte) {
        texte.push_back(tabelle.Cell(spalte, zeile));
    }
    return texte;
}

std::vector<QString> Texte(const std::vector<std::string>& texte) {
    std::vector<QString> ergebnis;
    for (const std::string& text : texte) {
        ergebnis.push_back(QString::fromStdString(text));
    }
    return ergebnis;
}

// A plain pH line of the meter's fixed width with the given value and 25.0 °C.
std::string PhZeileMit(double wert) {
    char zeile[32];
    std::snprintf(zeile, sizeof zeile, "%5.2f pH   25.0 ", wert);
    return zeile + std::string("°C{CR}{LF}");
}

TEST_F(EmpfangAnzeige, TheDisplayTextIsDecodedAndCountedInTheMemo) {
    zustand.Messung.LeseModus = lmRS232;
    DesignStandardGrid(zustand);
    Empfangen("ab");
    const TChunkErgebnis ergebnis = ChunkVerarbeiten(zustand, "\x31\x20\x0D\x0A", UhrLesen(uhr));
    EXPECT_EQ(ergebnis.Anzeige, "1_<CR><LF>\r\n");
    EXPECT_EQ(MemoLaenge(zustand.Memo), 2 + 12);
    EXPECT_EQ(zustand.Memo.MemoZeilen, 1);
    EXPECT_EQ(Empfangen("25.0 °C").Anzeige, QString::fromUtf8("25.0_°C"));
}

TEST_F(EmpfangAnzeige, MemoZeilenCountsChunksWithALineFeedNotLineFeeds) {
    zustand.Messung.LeseModus = lmWTW;
    Empfangen("a{LF}b{LF}c{LF}");
    EXPECT_EQ(zustand.Memo.MemoZeilen, 1);
    Empfangen("{CR}");
    EXPECT_EQ(zustand.Memo.MemoZeilen, 1);
    for (int i = 2; i <= 9; ++i) {
        ASSERT_FALSE(Empfangen("x{LF}").MemoGeleert);
    }
    EXPECT_EQ(zustand.Memo.MemoZeilen, 9);
    const int laenge = MemoLaenge(zustand.Memo);
    EXPECT_FALSE(Empfangen(std::string(30, 'y')).MemoGeleert);
    EXPECT_EQ(MemoLaenge(zustand.Memo), laenge + 30);
    EXPECT_TRUE(Empfangen("z{LF}").MemoGeleert);
    EXPECT_EQ(MemoLaenge(zustand.Memo), 0);
    EXPECT_EQ(zustand.Memo.MemoZeilen, 0);
}

TEST_F(EmpfangAnzeige, UnformattedReadingFillsOneCellPerChunkAndAssemblesNoRecord) {
    zustand.Messung.LeseModus = lmRS232;
    DesignStandardGrid(zustand);
    Empfangen("1");
    const TChunkErgebnis ergebnis = Empfangen(PhZeile);
    Empfangen("2");
    EXPECT_EQ(ergebnis.Datensaetze, 0);
    EXPECT_TRUE(zustand.Messung.Rahmen.EmpfangsPuffer.empty());
    EXPECT_EQ(zustand.Tabelle.Cell(0, 1), "1");
    EXPECT_EQ(zustand.Tabelle.Cell(1, 1), ergebnis.Anzeige);
    EXPECT_EQ(zustand.Tabelle.Cell(0, 2), "2");
}

TEST_F(EmpfangAnzeige, MeterReadingLeavesTheUnformattedCellsAlone) {
    WTWMessungBeginnen(zustand);
    Empfangen("1");
    EXPECT_EQ(Zeile(zustand.Tabelle, 1), Texte({"", "", "", "", ""}));
}

TEST_F(EmpfangAnzeige, ClearingEmptiesMemoAndDataRowsButKeepsHeaderAndCurrentCell) {
    zustand.Messung.LeseModus = lmRS232;
    DesignStandardGrid(zustand);
    for (int i = 0; i < 25; ++i) {
        Empfangen("a{LF}");
    }
    const TAktZelle akt = zustand.Messung.Akt;
    const auto leerungen = zustand.Memo.Leerungen;
    AnzeigeLeeren(zustand);
    EXPECT_EQ(MemoLaenge(zustand.Memo), 0);
    EXPECT_EQ(zustand.Memo.MemoZeilen, 0);
    EXPECT_EQ(zustand.Memo.Leerungen, leerungen + 1);
    for (int zeile = 1; zeile < TTabelle::Zeilen; ++zeile) {
        EXPECT_TRUE(zustand.Tabelle.Cell(0, zeile).isEmpty());
    }
    EXPECT_EQ(zustand.Tabelle.Cell(19, 0), "20");
    EXPECT_EQ(zustand.Messung.Akt.AktZeile, akt.AktZeile);
    EXPECT_EQ(zustand.Messung.Akt.AktSpalte, akt.AktSpalte);
}

TEST_F(EmpfangAnzeige, LayoutsUseTheSettingsAndTheWindowState) {
    zustand.Konfiguration.Spaltenzahl = 8;
    zustand.Konfiguration.Spaltenbreite = 30;
    zustand.Messung.Akt = {5, 6};
    DesignStandardGrid(zustand);
    EXPECT_EQ(Zeile(zustand.Tabelle, 0), Texte({"1", "2", "3", "4", "5", "6", "7", "8"}));
    EXPECT_EQ(zustand.Tabelle.DefaultColWidth(), 30);
    EXPECT_EQ(zustand.Messung.Akt.AktSpalte, 0);
    EXPECT_EQ(zustand.Messung.Akt.AktZeile, 1);
    zustand.Messung.Messgroesse = "Lf";
    zustand.GleitAnzeigen = true;
    DesignWTWGrid(zustand);
    EXPECT_EQ(Zeile(zustand.Tabelle, 0),
              Texte({"Datum", "Zeit", "Lf (gleit)", "Einheit", "T [°C] (gleit)"}));
}

TEST_F(EmpfangMessung, EachRecordBecomesATableLineAndTheHeaderFollowsItsQuantity) {
    struct TFall {
        std::string Chunk;
        std::string Messgroesse;
        std::vector<std::string> Zeile;
    };
    const std::vector<TFall> faelle = {
        {PhZeile, "pH", {"06.12.2001", "14:30:05", "  7.01", "pH", " 24.80"}},
        {" 1.413 mS/cm 25.0 °C{CR}{LF}",
         "Lf",
         {"06.12.2001", "14:30:05", "  1.41", "mS/cm", " 25.00"}},
        {" 8.25 mg/l 19.5 °C{CR}{LF}",
         "O2",
         {"06.12.2001", "14:30:05", "  8.25", "mg/l", " 19.50"}},
        {LfAusdruck, "Lf", {"06.12.2001", "14:30:05", "  1.41", "mS/cm", " 25.00"}},
        {"{DC3}06.12.96 12:34  12.5 \xE6S/cm 20.1 °C{DC1}",
         "Lf",
         {"06.12.2001", "14:30:05", " 12.50", "µS/cm", " 20.10"}},
    };
    WTWMessungBeginnen(zustand);
    for (std::size_t i = 0; i < faelle.size(); ++i) {
        const TFall& fall = faelle[i];
        SCOPED_TRACE(fall.Chunk);
        EXPECT_EQ(Empfangen(fall.Chunk).Datensaetze, 1);
        EXPECT_EQ(zustand.Messung.Messgroesse, fall.Messgroesse);
        EXPECT_EQ(Zeile(zustand.Tabelle, static_cast<int>(i) + 1), Texte(fall.Zeile));
        EXPECT_EQ(zustand.Tabelle.Cell(2, 0), QString::fromStdString(fall.Messgroesse));
    }
}

TEST_F(EmpfangMessung, RecordsAreStampedListedAndSavedInOrderWithTheChunksClockReading) {
    SofortSpeichern();
    WTWMessungBeginnen(zustand);
    // Every record of a chunk carries the one clock reading of the chunk.
    const TChunkErgebnis ergebnis = Empfangen(PhZeile + LfAusdruck);
    EXPECT_EQ(ergebnis.Datensaetze, 2);
    const std::string erste = KopfKurz + Referenz("datenzeile_kurz.txt");
    const std::string datei = DateiLesen(ordner / "Daten.txt");
    EXPECT_EQ(datei.substr(0, erste.size()), erste);
    EXPECT_EQ(datei.substr(erste.size(), 20), "06.12.2001\t14:30:05\t") << datei;
    EXPECT_EQ(std::count(datei.begin(), datei.end(), '\n'), 3);
    EXPECT_EQ(zustand.Memo.Text, ergebnis.Anzeige);
    EXPECT_EQ(zustand.Speicher.AnzahlGespeichert, 2);
    EXPECT_EQ(zustand.Tabelle.Cell(3, 2), "mS/cm");
}

TEST_F(EmpfangMessung, AnEmptyChunkCompletesNothing) {
    WTWMessungBeginnen(zustand);
    Empfangen(" 1.413 mS/cm 25.0 °C");
    const TChunkErgebnis ergebnis = ChunkVerarbeiten(zustand, "", UhrLesen(uhr));
    EXPECT_EQ(ergebnis.Datensaetze, 0);
    EXPECT_TRUE(ergebnis.Anzeige.isEmpty());
    EXPECT_EQ(Empfangen("{LF}").Datensaetze, 1);
}

TEST_F(EmpfangMessung, MovingAveragesFillTheTableWhenShown) {
    struct TFall {
        std::uint16_t Anzahl;
        std::vector<double> Werte;
        std::vector<std::string> Erwartet;
    };
    const std::vector<TFall> faelle = {
        {10, {7.00, 7.50}, {"  7.00", "  7.25"}},
        {1, {7.00, 7.50, 3.25}, {"  7.00", "  7.50", "  3.25"}},
        {3, {1, 2, 3, 4}, {"  1.00", "  1.50", "  2.00", "  3.00"}},
    };
    for (const TFall& fall : faelle) {
        SCOPED_TRACE(fall.Anzahl);
        zustand.Konfiguration.AnzahlGleitMittel = fall.Anzahl;
        zustand.GleitAnzeigen = true;
        WTWMessungBeginnen(zustand);
        for (const double wert : fall.Werte) {
            ASSERT_EQ(Empfangen(PhZeileMit(wert)).Datensaetze, 1);
        }
        for (std::size_t i = 0; i < fall.Erwartet.size(); ++i) {
            EXPECT_EQ(zustand.Tabelle.Cell(2, static_cast<int>(i) + 1),
                      QString::fromStdString(fall.Erwartet[i]));
        }
        EXPECT_EQ(zustand.Tabelle.Cell(4, 1), " 25.00");
        EXPECT_EQ(zustand.Tabelle.Cell(4, static_cast<int>(fall.Werte.size())), " 25.00");
        EXPECT_EQ(Zeile(zustand.Tabelle, 0),
                  Texte({"Datum", "Zeit", "pH (gleit)", "Einheit", "T [°C] (gleit)"}));
    }
}

TEST_F(EmpfangMessung, ASecondMeterMeasurementStartsClean) {
    SofortSpeichern();
    zustand.GleitAnzeigen = true;
    WTWMessungBeginnen(zustand);
    Empfangen(PhZeileMit(7.0) + PhZeileMit(7.0));
    Empfangen(" 1.413 mS/cm{DC3}halb");
    zustand.AutoSpeicher.IntervallAnzahl = 4;
    zustand.AutoSpeicher.IntervallSummeWert = 28.0;
    zustand.AutoSpeicher.IntervallSummeTemp = 100.0;
    ASSERT_TRUE(zustand.Messung.Rahmen.InRahmen);

    WTWMessungBeginnen(zustand);
    EXPECT_EQ(zustand.Messung.LeseModus, lmWTW);
    EXPECT_TRUE(zustand.Messung.Rahmen.EmpfangsPuffer.empty());
    EXPECT_FALSE(zustand.Messung.Rahmen.InRahmen);
    EXPECT_EQ(zustand.Speicher.AnzahlGespeichert, 0);
    EXPECT_EQ(zustand.AutoSpeicher.IntervallAnzahl, 0);
    EXPECT_EQ(zustand.AutoSpeicher.IntervallSummeWert, 0.0);
    EXPECT_EQ(zustand.AutoSpeicher.IntervallSummeTemp, 0.0);
    EXPECT_EQ(zustand.Gleit.GleitMittelWert, 0.0);
    EXPECT_EQ(zustand.Messung.Akt.AktZeile, 1);

    // The rest of the old printout is no record; the first reading averages with itself only.
    EXPECT_EQ(Empfangen("rest{DC1}" + PhZeileMit(7.0)).Datensaetze, 1);
    EXPECT_EQ(zustand.Tabelle.Cell(2, 1), "  7.00");
    EXPECT_EQ(zustand.Gleit.Anzahl, 1U);
    EXPECT_EQ(zustand.Speicher.AnzahlGespeichert, 1);
}

TEST_F(EmpfangSpeichern, ImmediateSavingWritesAHeaderAgainAfterANewMeasurement) {
    SofortSpeichern();
    WTWMessungBeginnen(zustand);
    Empfangen(PhZeile);
    Empfangen(LfAusdruck);
    WTWMessungBeginnen(zustand);
    Empfangen(PhZeile);
    const std::string kurz = Referenz("datenzeile_kurz.txt");
    EXPECT_EQ(Datei(), KopfKurz + kurz + Referenz("datenzeile_lang.txt") + KopfKurz + kurz);
}

// A data file that cannot be written: closed behind the saving state's back, or a full disk.
struct TSchreibfehler {
    const char* Name;
    const char* Pfad; // nullptr: the file is not open
    int Code;
};

void PrintTo(const TSchreibfehler& fall, std::ostream* aus) {
    *aus << fall.Name;
}

class EmpfangSchreibfehler : public EmpfangTest,
                             public ::testing::WithParamInterface<TSchreibfehler> {};

TEST_P(EmpfangSchreibfehler, AFailedSaveStillListsEveryRecordAndReportsTheError) {
    if (GetParam().Pfad != nullptr) {
        zustand.Konfiguration.AutoDateiname = false;
        zustand.Konfiguration.Ausgabedatei = GetParam().Pfad;
        ASSERT_TRUE(SpeichernStarten(zustand.Speicher, zustand.Konfiguration, Nikolaus2001));
    }
    zustand.Speicher.SofortSpeichernAktiv = true;
    WTWMessungBeginnen(zustand);
    for (const int zeile : {1, 3}) {
        const TChunkErgebnis ergebnis =
            Empfangen(zeile == 1 ? PhZeile + LfAusdruck : std::string(PhZeile));
        EXPECT_EQ(ergebnis.Datensaetze, zeile == 1 ? 2 : 1);
        ASSERT_TRUE(ergebnis.Fehler);
        try {
            std::rethrow_exception(ergebnis.Fehler);
        } catch (const EInOutError& fehler) {
            EXPECT_EQ(fehler.ErrorCode(), GetParam().Code);
        }
        EXPECT_TRUE(zustand.Memo.Text.endsWith(ergebnis.Anzeige));
        EXPECT_EQ(zustand.Tabelle.Cell(1, zeile), "14:30:05");
    }
    EXPECT_EQ(zustand.Tabelle.Cell(3, 2), "mS/cm");
    EXPECT_EQ(zustand.Speicher.AnzahlGespeichert, 3);
    EXPECT_TRUE(zustand.Speicher.SofortSpeichernAktiv);
}

INSTANTIATE_TEST_SUITE_P(Dateien, EmpfangSchreibfehler,
                         ::testing::Values(TSchreibfehler{"NichtOffen", nullptr, 103},
                                           TSchreibfehler{"VollePlatte", "/dev/full", 101}),
                         [](const auto& fall) { return std::string(fall.param.Name); });

TEST_F(EmpfangSpeichern, AutosaveWritesTheUpdatedAveragesAndReportsItsStatus) {
    SofortSpeichern();
    zustand.Speicher.SofortSpeichernAktiv = false;
    zustand.Speicher.AutoSpeichernAktiv = true;
    zustand.Konfiguration.GleitendesMittel = true;
    zustand.AutoSpeicher.Speicherbeginn = {6, 12, 2001, 14, 0, 0};
    zustand.AutoSpeicher.Speicherende = {6, 12, 2001, 15, 0, 0};
    WTWMessungBeginnen(zustand);
    EXPECT_FALSE(Empfangen(" 7.01 pH").AutoStatus);
    const TChunkErgebnis ergebnis = Empfangen("   24.8 °C{CR}{LF}");
    ASSERT_TRUE(ergebnis.AutoStatus);
    EXPECT_EQ(ergebnis.AutoStatus->Zeile1, "läuft");
    EXPECT_EQ(ergebnis.AutoStatus->Zeile2, "(1795s)");
    EXPECT_FALSE(ergebnis.Fehler);

    zustand.AutoSpeicher.Speicherbeginn = {6, 12, 2001, 14, 32, 5};
    const TChunkErgebnis vorher = Empfangen(PhZeile);
    ASSERT_TRUE(vorher.AutoStatus);
    EXPECT_EQ(vorher.AutoStatus->Zeile1, "(120s)");
    EXPECT_EQ(vorher.AutoStatus->Zeile2, "...");
    EXPECT_EQ(Datei(), "PC-Datum\tPC-Zeit\tG-Wert\tEinheit\tG-Temp.\tEinheit\r\n"
                       "06.12.2001\t14:30:05\t  7,01\tpH\t 24,80\t\xB0"
                       "C\r\n");
}

TEST_F(EmpfangSpeichern, AFailedAutosaveKeepsTheReadingListedAndGivesNoStatus) {
    zustand.Speicher.AutoSpeichernAktiv = true;
    zustand.AutoSpeicher.Speicherbeginn = {6, 12, 2001, 14, 0, 0};
    zustand.AutoSpeicher.Speicherende = {6, 12, 2001, 15, 0, 0};
    WTWMessungBeginnen(zustand);
    const TChunkErgebnis ergebnis = Empfangen(PhZeile);
    EXPECT_TRUE(ergebnis.Fehler);
    EXPECT_FALSE(ergebnis.AutoStatus);
    EXPECT_EQ(zustand.Tabelle.Cell(2, 1), "  7.01");
}

TEST_F(EmpfangSpeichern, WithoutSavingNothingIsWritten) {
    SofortSpeichern();
    zustand.Speicher.SofortSpeichernAktiv = false;
    WTWMessungBeginnen(zustand);
    const TChunkErgebnis ergebnis = Empfangen(PhZeile);
    EXPECT_EQ(ergebnis.Datensaetze, 1);
    EXPECT_FALSE(ergebnis.AutoStatus);
    EXPECT_EQ(zustand.Speicher.AnzahlGespeichert, 0);
    EXPECT_EQ(Datei(), "");
}

} // namespace
