// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/Datendatei.h"
#include "storage/EInOutError.h"
#include "storage/Speichern.h"

#include "DateiGroessenGrenze.h"
#include "TestAufrufe.h"
#include "TestOrdner.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace {

// A write that fails part-way must never leave part of a line for the next one to be glued to.
class GanzeZeilenTest : public ::testing::Test {
protected:
    TTestOrdner v;
    const std::string pfad = v.Datei("Daten.txt");
    TTestAufrufe aufrufe; // outlives the file that uses it
    TDatendatei datei;

    void Oeffnen(TOeffnungsArt art = TOeffnungsArt::Anhaengen) {
        ASSERT_TRUE(datei.Oeffnen(pfad, art));
    }

    // Cutting back a broken write is refused (a pipe, a file system that cannot).
    void KuerzenVerweigern() {
        aufrufe.KuerzenVerweigern = true;
        datei.UmgebungSetzen(aufrufe.UmgebungMit());
    }
};

TEST_F(GanzeZeilenTest, TeilweiserSchreibfehlerSchneidetDieDateiZurueck) {
    Oeffnen();
    datei.Schreiben("eins\r\n");
    {
        TDateiGroessenGrenze grenze(9); // "zweite Zeile" gets three bytes through
        EXPECT_THROW(datei.Schreiben("zweite Zeile\r\n"), EInOutError);
        EXPECT_EQ(DateiLesen(pfad), "eins\r\n");
        EXPECT_THROW(datei.Schreiben("noch eine\r\n"), EInOutError);
        EXPECT_EQ(DateiLesen(pfad), "eins\r\n");
    }
    datei.Schreiben("drei\r\n");
    EXPECT_EQ(DateiLesen(pfad), "eins\r\ndrei\r\n");
}

TEST_F(GanzeZeilenTest, OhneZurueckschneidenBeginntDieNaechsteZeileNeu) {
    Oeffnen();
    KuerzenVerweigern();
    datei.Schreiben("eins\r\n");
    {
        TDateiGroessenGrenze grenze(9);
        EXPECT_THROW(datei.Schreiben("zweite Zeile\r\n"), EInOutError);
        // Still full: the line ending is still owed, and nothing more went out.
        EXPECT_THROW(datei.Schreiben("drei\r\n"), EInOutError);
    }
    EXPECT_EQ(DateiLesen(pfad), "eins\r\nzwe");
    datei.Schreiben("vier\r\n");
    datei.Schreiben("fuenf\r\n");
    EXPECT_EQ(DateiLesen(pfad), "eins\r\nzwe\r\nvier\r\nfuenf\r\n");
}

TEST_F(GanzeZeilenTest, NichtsGeschriebenHeisstNichtsNachzuholen) {
    Oeffnen();
    KuerzenVerweigern();
    datei.Schreiben("eins\r\n");
    {
        TDateiGroessenGrenze grenze(6); // not one byte more
        EXPECT_THROW(datei.Schreiben("zwei\r\n"), EInOutError);
    }
    datei.Schreiben("drei\r\n");
    EXPECT_EQ(DateiLesen(pfad), "eins\r\ndrei\r\n");
}

TEST_F(GanzeZeilenTest, DerZeilenanfangGehoertZurDateiMitDerAbgebrochenenZeile) {
    Oeffnen();
    KuerzenVerweigern();
    {
        TDateiGroessenGrenze grenze(2);
        EXPECT_THROW(datei.Schreiben("eins\r\n"), EInOutError);
    }
    // Reopened for appending (saving switched off and on again): the line is still to be ended.
    Oeffnen();
    datei.Schreiben("b\r\n");
    EXPECT_EQ(DateiLesen(pfad), "ei\r\nb\r\n");
    {
        TDateiGroessenGrenze grenze(9);
        EXPECT_THROW(datei.Schreiben("cc\r\n"), EInOutError);
    }
    // Another file has no broken line of its own.
    const std::string andere = v.Datei("Andere.txt");
    ASSERT_TRUE(datei.Oeffnen(andere, TOeffnungsArt::Anhaengen));
    datei.Schreiben("a\r\n");
    EXPECT_EQ(DateiLesen(andere), "a\r\n");
    // Rewriting empties a file, so nothing is owed there either.
    Oeffnen();
    {
        TDateiGroessenGrenze grenze(10); // "ei\r\nb\r\ncc" and one byte more
        EXPECT_THROW(datei.Schreiben("dd\r\n"), EInOutError);
    }
    Oeffnen(TOeffnungsArt::Neuschreiben);
    datei.Schreiben("d\r\n");
    EXPECT_EQ(DateiLesen(pfad), "d\r\n");
}

struct TBeobachtung {
    const char* Name;
    const char* Vorher; // the file before it is opened
    std::function<void(TDatendatei&, TTestAufrufe&)> Tun;
    const char* Gemeldet; // what the observer heard since the file was last opened
    int Oeffnungen;
};

class Beobachtet : public GanzeZeilenTest, public ::testing::WithParamInterface<TBeobachtung> {};

// The audit trail hashes what the observer hears: exactly the bytes that reached the file since
// it was opened, in the file's order, late lines and broken pieces included.
TEST_P(Beobachtet, HoertGenauWasInDieDateiKam) {
    DateiSchreiben(pfad, GetParam().Vorher);
    std::string gemeldet;
    int oeffnungen = 0;
    datei.Beobachten([&](std::string_view text) { gemeldet += text; },
                     [&] {
                         gemeldet.clear();
                         ++oeffnungen;
                     });
    datei.UmgebungSetzen(aufrufe.UmgebungMit());
    Oeffnen();
    GetParam().Tun(datei, aufrufe);
    EXPECT_EQ(gemeldet, GetParam().Gemeldet);
    EXPECT_EQ(oeffnungen, GetParam().Oeffnungen);
    const std::string inhalt = DateiLesen(pfad);
    EXPECT_TRUE(inhalt.ends_with(gemeldet)) << inhalt;
}

constexpr std::int64_t EineSekunde = 1'000'000'000;

INSTANTIATE_TEST_SUITE_P(
    Faelle, Beobachtet,
    ::testing::Values(TBeobachtung{"Zeilen", "alt\r\n",
                                   [](TDatendatei& d, TTestAufrufe&) {
                                       d.Schreiben("eins\r\n");
                                       d.Schreiben("zwei\r\ndrei\r\n");
                                   },
                                   "eins\r\nzwei\r\ndrei\r\n", 1},
                      TBeobachtung{"AbgeschnitteneLetzteZeile", "  7,0",
                                   [](TDatendatei& d, TTestAufrufe&) { d.Schreiben("neu\r\n"); },
                                   "\r\nneu\r\n", 1},
                      TBeobachtung{"ZurueckgeschnittenerTeil", "",
                                   [](TDatendatei& d, TTestAufrufe&) {
                                       d.Schreiben("eins\r\n");
                                       TDateiGroessenGrenze grenze(9);
                                       EXPECT_THROW(d.Schreiben("zweite Zeile\r\n"), EInOutError);
                                   },
                                   "eins\r\n", 1},
                      TBeobachtung{"TeilOhneZurueckschneiden", "",
                                   [](TDatendatei& d, TTestAufrufe& a) {
                                       a.KuerzenVerweigern = true;
                                       d.Schreiben("eins\r\n");
                                       {
                                           TDateiGroessenGrenze grenze(9);
                                           EXPECT_THROW(d.Schreiben("zweite Zeile\r\n"),
                                                        EInOutError);
                                       }
                                       d.Schreiben("vier\r\n");
                                   },
                                   "eins\r\nzwe\r\nvier\r\n", 1},
                      TBeobachtung{"VollePlatteSpaeterInDerFolge", "",
                                   [](TDatendatei& d, TTestAufrufe& a) {
                                       d.ZeilenAufbewahren(true);
                                       d.Schreiben("eins\r\n");
                                       a.Platz = 0;
                                       d.Schreiben("zwei\r\n");
                                       d.Schreiben("drei\r\n");
                                       a.Platz = -1;
                                       a.Jetzt += EineSekunde;
                                       EXPECT_EQ(d.Synchronisieren(), 2U);
                                       d.Schreiben("vier\r\n");
                                   },
                                   "eins\r\nzwei\r\ndrei\r\nvier\r\n", 1},
                      TBeobachtung{"GeloeschtUndNeuAngelegt", "",
                                   [](TDatendatei& d, TTestAufrufe& a) {
                                       d.Schreiben("eins\r\n");
                                       std::filesystem::remove(d.Pfad());
                                       a.Jetzt += EineSekunde;
                                       EXPECT_TRUE(d.PfadPruefen());
                                       d.Schreiben("zwei\r\n");
                                   },
                                   "zwei\r\n", 2}),
    [](const auto& fall) { return std::string(fall.param.Name); });

// The records of the saving step: the header goes with the first record that reaches the file.
class SpeichernGanzeZeilenTest : public ::testing::Test {
protected:
    TTestOrdner v;
    TSpeicherZustand zustand;
    TKonfiguration k;

    void SetUp() override {
        k.AutoDateiname = false;
        k.Ueberschreiben = true;
        k.Ausgabedatei = v.Datei("Daten.txt");
        ASSERT_TRUE(SpeichernStarten(zustand, k, TZeitpunkt{6, 12, 2001, 14, 30, 5}));
    }
    static TMesswert Messwert(double wert) {
        TMesswert m;
        m.PCDatum = "06.12.2001";
        m.PCZeit = "14:30:05";
        m.Wert = wert;
        m.Einheit = "pH";
        m.Temp = 25;
        return m;
    }
    static std::string Zeile(double wert) {
        return DatenZeile(Messwert(wert), "14:30:05", wert, 25);
    }
    std::string Inhalt() const { return DateiLesen(k.Ausgabedatei); }
};

TEST_F(SpeichernGanzeZeilenTest, VerloreneKopfzeileKommtMitDemNaechstenWert) {
    {
        TDateiGroessenGrenze grenze(10); // part of the header gets through
        EXPECT_THROW(SpeichereWert(zustand, Messwert(7.0)), EInOutError);
        EXPECT_EQ(Inhalt(), "");
        EXPECT_THROW(SpeichereWert(zustand, Messwert(7.1)), EInOutError);
    }
    EXPECT_EQ(zustand.AnzahlGespeichert, 2); // the count goes on as the window shows it
    SpeichereWert(zustand, Messwert(7.2));
    SpeichereWert(zustand, Messwert(7.3));
    EXPECT_EQ(Inhalt(), KopfZeile(TWertArt::Messwert, false) + Zeile(7.2) + Zeile(7.3));
    EXPECT_EQ(zustand.AnzahlGespeichert, 4);
}

TEST_F(SpeichernGanzeZeilenTest, VerlorenerWertHinterlaesstKeinenZeilenrest) {
    SpeichereWert(zustand, Messwert(7.0));
    const std::string vorher = Inhalt();
    {
        TDateiGroessenGrenze grenze(vorher.size() + 5);
        EXPECT_THROW(SpeichereWert(zustand, Messwert(7.1)), EInOutError);
        EXPECT_EQ(Inhalt(), vorher);
    }
    SpeichereWert(zustand, Messwert(7.2));
    EXPECT_EQ(Inhalt(), vorher + Zeile(7.2));
}

} // namespace
