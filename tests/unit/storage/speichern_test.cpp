// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/Dateinamen.h"
#include "storage/EInOutError.h"
#include "storage/Speichern.h"

#include "TestOrdner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <string>

namespace {

const TZeitpunkt Nikolaus2001{6, 12, 2001, 14, 30, 5};

constexpr const char* KopfKurz = "PC-Datum\tPC-Zeit\tWert\tEinheit\tTemp.\tEinheit\r\n";
constexpr const char* KopfLang =
    "PC-Datum\tPC-Zeit\tDatum\tZeit\tWert\tEinheit\tTemp.\tEinheit\tTref\tTCKoeff\r\n";

TMesswert Messwert(double wert, bool gerahmt = false) {
    TMesswert m;
    m.PCDatum = "06.12.2001";
    m.PCZeit = "14:30:05";
    m.Datum = "06.12.01";
    m.Zeit = "14:30";
    m.Wert = wert;
    m.Einheit = "pH";
    m.Temp = 24.8;
    m.Tref = 25;
    m.TCKoeff = 0.475;
    m.Gerahmt = gerahmt;
    return m;
}

std::string::difference_type Anzahl(const std::string& text, const std::string& teil) {
    std::string::difference_type n = 0;
    for (std::size_t stelle = text.find(teil); stelle != std::string::npos;
         stelle = text.find(teil, stelle + teil.size())) {
        ++n;
    }
    return n;
}

// Runs with the comma as the decimal separator, as the program does after its first activation.
class SpeichernTest : public ::testing::Test {
protected:
    void SetUp() override {
        trennerVorher = DezimalTrennzeichen();
        DezimalTrennzeichenSetzen(',');
    }
    void TearDown() override { DezimalTrennzeichenSetzen(trennerVorher); }
    TKonfiguration FesterName(bool ueberschreiben) {
        TKonfiguration k;
        k.AutoDateiname = false;
        k.Ueberschreiben = ueberschreiben;
        k.Ausgabedatei = verzeichnis.Datei("Daten.txt");
        return k;
    }
    void Speichern(int anzahl) {
        for (int i = 0; i < anzahl; ++i) {
            SpeichereWert(zustand, Messwert(7.0 + i));
        }
    }

    char trennerVorher = '.';
    TTestOrdner verzeichnis;
    TSpeicherZustand zustand;
};

TEST_F(SpeichernTest, ErsterWertNachRuecksetzenBekommtKopfzeile) {
    TKonfiguration k = FesterName(true);
    ASSERT_TRUE(SpeichernStarten(zustand, k, Nikolaus2001));
    SpeichereWert(zustand, Messwert(7.012));
    EXPECT_EQ(zustand.AnzahlGespeichert, 1);
    SpeichereWert(zustand, Messwert(7.5));
    EXPECT_EQ(zustand.AnzahlGespeichert, 2);
    zustand.Datendatei.Schliessen();
    EXPECT_EQ(DateiLesen(k.Ausgabedatei), std::string(KopfKurz) +
                                              "06.12.2001\t14:30:05\t  7,01\tpH\t 24,80\t\xB0"
                                              "C\r\n06.12.2001\t14:30:05\t  7,50\tpH\t 24,80\t\xB0"
                                              "C\r\n");
}

TEST_F(SpeichernTest, GemischteAnordnungenTeilenSichDieKopfzeileDesErstenWerts) {
    TKonfiguration k = FesterName(true);
    ASSERT_TRUE(SpeichernStarten(zustand, k, Nikolaus2001));
    SpeichereWert(zustand, Messwert(1.0, true));
    SpeichereWert(zustand, Messwert(2.0, false));
    zustand.Datendatei.Schliessen();
    const std::string inhalt = DateiLesen(k.Ausgabedatei);
    EXPECT_EQ(inhalt.substr(0, std::string(KopfLang).size()), KopfLang);
    EXPECT_EQ(Anzahl(inhalt, "PC-Datum"), 1);
    EXPECT_EQ(Anzahl(inhalt, "\r\n"), 3);
    EXPECT_EQ(Anzahl(inhalt, "\t"), 9 + 9 + 5);
}

TEST_F(SpeichernTest, UeberschreibenLeertDieDateiSchonBeimStart) {
    TKonfiguration k = FesterName(true);
    DateiSchreiben(k.Ausgabedatei, "alte Messung\r\n");
    zustand.AnzahlGespeichert = 12;
    ASSERT_TRUE(SpeichernStarten(zustand, k, Nikolaus2001));
    EXPECT_EQ(zustand.AnzahlGespeichert, 0);
    EXPECT_EQ(DateiLesen(k.Ausgabedatei), "");
    EXPECT_EQ(k.Ausgabedatei, verzeichnis.Datei("Daten.txt"));
}

TEST_F(SpeichernTest, AnhaengenAusUndWiederEinInEinerMessungOhneZweiteKopfzeile) {
    TKonfiguration k = FesterName(false);
    DateiSchreiben(k.Ausgabedatei, "alt\r\n");
    zustand.AnzahlGespeichert = 0; // the start of the measurement
    ASSERT_TRUE(SpeichernStarten(zustand, k, Nikolaus2001));
    Speichern(3);
    zustand.Datendatei.Schliessen();
    ASSERT_TRUE(SpeichernStarten(zustand, k, Nikolaus2001));
    EXPECT_EQ(zustand.AnzahlGespeichert, 3);
    Speichern(2);
    zustand.Datendatei.Schliessen();
    const std::string inhalt = DateiLesen(k.Ausgabedatei);
    EXPECT_EQ(inhalt.substr(0, 5), "alt\r\n");
    EXPECT_EQ(Anzahl(inhalt, "PC-Datum"), 1);
    EXPECT_EQ(Anzahl(inhalt, "\xB0"
                             "C\r\n"),
              5);
    EXPECT_EQ(zustand.AnzahlGespeichert, 5);
}

TEST_F(SpeichernTest, NeueMessungBeiLaufendemSpeichernSchreibtZweiteKopfzeile) {
    TKonfiguration k = FesterName(false);
    ASSERT_TRUE(SpeichernStarten(zustand, k, Nikolaus2001));
    Speichern(2);
    zustand.AnzahlGespeichert = 0; // a new meter measurement starts
    Speichern(1);
    zustand.Datendatei.Schliessen();
    const std::string inhalt = DateiLesen(k.Ausgabedatei);
    EXPECT_EQ(Anzahl(inhalt, KopfKurz), 2);
    EXPECT_EQ(Anzahl(inhalt, "\r\n"), 5);
}

TEST_F(SpeichernTest, AutomatischeNamenJeStartEineNeueDateiMitKopfzeile) {
    TKonfiguration k;
    k.Ausgabedatei = verzeichnis.Datei("Daten.txt");
    for (int start = 0; start < 3; ++start) {
        ASSERT_TRUE(SpeichernStarten(zustand, k, Nikolaus2001));
        EXPECT_EQ(k.Ausgabedatei, verzeichnis.Datei("06122001.00" + std::to_string(start)));
        EXPECT_EQ(DateinamenTeil(k.Ausgabedatei), "06122001.00" + std::to_string(start));
        Speichern(2);
        zustand.Datendatei.Schliessen();
    }
    for (int start = 0; start < 3; ++start) {
        const std::string inhalt =
            DateiLesen(verzeichnis.Datei("06122001.00" + std::to_string(start)));
        EXPECT_EQ(Anzahl(inhalt, KopfKurz), 1) << start;
        EXPECT_EQ(Anzahl(inhalt, "\r\n"), 3) << start;
    }
}

TEST_F(SpeichernTest, AutomatischerNameOhneVerzeichnisLandetImAktuellenVerzeichnis) {
    const auto vorher = std::filesystem::current_path();
    std::filesystem::current_path(verzeichnis.Verzeichnis());
    TKonfiguration k; // "Daten.txt"
    const bool gestartet = SpeichernStarten(zustand, k, Nikolaus2001);
    zustand.Datendatei.Schliessen();
    std::filesystem::current_path(vorher);
    EXPECT_TRUE(gestartet);
    EXPECT_EQ(k.Ausgabedatei, "06122001.000");
    EXPECT_TRUE(std::filesystem::exists(verzeichnis.Datei("06122001.000")));
}

TEST_F(SpeichernTest, FehlendesVerzeichnisScheitertOhneEtwasAnzulegen) {
    TKonfiguration fest = FesterName(false);
    fest.Ausgabedatei = verzeichnis.Datei("fehlt/Daten.txt");
    EXPECT_FALSE(SpeichernStarten(zustand, fest, Nikolaus2001));
    EXPECT_FALSE(zustand.Datendatei.IstOffen());

    TKonfiguration automatisch;
    automatisch.Ausgabedatei = verzeichnis.Datei("fehlt/Daten.txt");
    EXPECT_FALSE(SpeichernStarten(zustand, automatisch, Nikolaus2001));
    EXPECT_EQ(automatisch.Ausgabedatei, verzeichnis.Datei("fehlt/06122001.000"));
    EXPECT_FALSE(std::filesystem::exists(verzeichnis.Datei("fehlt")));
}

TEST_F(SpeichernTest, AlleTausendNamenBelegtScheitertOhneEineDateiZuBeruehren) {
    for (int n = 0; n < 1000; ++n) {
        std::string nummer = std::to_string(n);
        nummer.insert(0, 3 - nummer.size(), '0');
        DateiSchreiben(verzeichnis.Datei("06122001." + nummer), "Datei " + nummer);
    }
    for (const bool ueberschreiben : {false, true}) {
        TKonfiguration k;
        k.Ueberschreiben = ueberschreiben;
        k.Ausgabedatei = verzeichnis.Datei("Daten.txt");
        EXPECT_FALSE(SpeichernStarten(zustand, k, Nikolaus2001));
        EXPECT_FALSE(zustand.Datendatei.IstOffen());
        EXPECT_EQ(k.Ausgabedatei, verzeichnis.Datei("Daten.txt"));
    }
    EXPECT_EQ(DateiLesen(verzeichnis.Datei("06122001.000")), "Datei 000");
    EXPECT_EQ(DateiLesen(verzeichnis.Datei("06122001.999")), "Datei 999");
    EXPECT_FALSE(std::filesystem::exists(verzeichnis.Datei("Daten.txt")));
}

TEST_F(SpeichernTest, SchreibfehlerErhoehtDenZaehlerUndLaesstDieDateiOffen) {
    TKonfiguration k = FesterName(false);
    k.Ausgabedatei = "/dev/full";
    ASSERT_TRUE(SpeichernStarten(zustand, k, Nikolaus2001));
    EXPECT_THROW(SpeichereWert(zustand, Messwert(7.0)), EInOutError);
    EXPECT_EQ(zustand.AnzahlGespeichert, 1);
    EXPECT_TRUE(zustand.Datendatei.IstOffen());
}

TEST_F(SpeichernTest, ZaehlerBleibtAmGroesstenWertStehen) {
    TKonfiguration k = FesterName(false);
    ASSERT_TRUE(SpeichernStarten(zustand, k, Nikolaus2001));
    zustand.AnzahlGespeichert = std::numeric_limits<std::int32_t>::max();
    Speichern(2);
    zustand.Datendatei.Schliessen();
    EXPECT_EQ(zustand.AnzahlGespeichert, std::numeric_limits<std::int32_t>::max());
    const std::string inhalt = DateiLesen(k.Ausgabedatei);
    EXPECT_EQ(Anzahl(inhalt, "PC-Datum"), 0);
    EXPECT_EQ(Anzahl(inhalt, "\r\n"), 2);
}

} // namespace
