// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/AutoSpeichern.h"
#include "storage/EInOutError.h"
#include "storage/ZeitpunktLesen.h"
#include "storage/Zeitrechnung.h"

#include "TestOrdner.h"
#include "TestZeitpunkt.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using TFelder = std::vector<std::string>;

std::vector<TFelder> ZeilenInFeldern(const std::string& inhalt) {
    std::vector<TFelder> zeilen;
    std::size_t anfang = 0;
    for (std::size_t ende = inhalt.find("\r\n"); ende != std::string::npos;
         anfang = ende + 2, ende = inhalt.find("\r\n", anfang)) {
        TFelder felder;
        std::stringstream zeile(inhalt.substr(anfang, ende - anfang));
        for (std::string feld; std::getline(zeile, feld, '\t');) {
            felder.push_back(feld);
        }
        zeilen.push_back(felder);
    }
    EXPECT_EQ(anfang, inhalt.size()) << "last line without CR LF";
    return zeilen;
}

// "HH:MM:SS" of a second of the day.
std::string Uhrzeit(int sekundeDesTages) {
    TZeitpunkt z{
        1, 1, 2001, sekundeDesTages / 3600, sekundeDesTages / 60 % 60, sekundeDesTages % 60};
    return ZeitText(z);
}

int Sek(int stunde, int minute, int sekunde) {
    return stunde * 3600 + minute * 60 + sekunde;
}

class AutoSpeichernTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(speicher.Datendatei.Oeffnen(pfad, TOeffnungsArt::Neuschreiben));
        zustand.Speicherbeginn = TZeitpunkt{6, 12, 2001, 0, 0, 0};
        zustand.Speicherende = TZeitpunkt{7, 12, 2001, 23, 59, 59};
        konf.AutoDateiname = false;
    }

    // A single-line reading at `zeit` on `datum` with the given value; the temperature is
    // 20 plus the value.
    TAutoSpeicherStatus Lesen(const std::string& zeit, double wert,
                              const std::string& datum = "06.12.2001") {
        TMesswert m;
        m.PCDatum = datum;
        m.PCZeit = zeit;
        m.Wert = wert;
        m.Temp = 20.0 + wert;
        m.Einheit = "pH";
        return AutoSpeichereWert(speicher, zustand, konf, m, 100.0 + wert, 200.0 + wert);
    }

    std::vector<TFelder> Zeilen() const { return ZeilenInFeldern(DateiLesen(pfad)); }

    // PC times of the record lines (the header line left out).
    std::vector<std::string> Zeiten() const {
        std::vector<std::string> zeiten;
        const auto zeilen = Zeilen();
        for (std::size_t i = 1; i < zeilen.size(); ++i) {
            zeiten.push_back(zeilen[i].at(1));
        }
        return zeiten;
    }

    TTestOrdner verzeichnis;
    std::string pfad = verzeichnis.Datei("auto.txt");
    TSpeicherZustand speicher;
    TAutoSpeicherZustand zustand;
    TKonfiguration konf;
};

TEST_F(AutoSpeichernTest, IntervallmittelAlle20Sekunden) {
    konf.Speicherintervall = 60;
    konf.MittelwertIntervall = true;
    for (int i = 0; i <= 6; ++i) {
        Lesen(Uhrzeit(Sek(10, 0, 5) + 20 * i), i);
    }
    const auto zeilen = Zeilen();
    ASSERT_EQ(zeilen.size(), 4U);
    EXPECT_EQ(zeilen[0],
              (TFelder{"PC-Datum", "PC-Zeit", "M-Wert", "Einheit", "M-Temp.", "Einheit"}));
    EXPECT_EQ(zeilen[1], (TFelder{"06.12.2001", "10:00:05", "  0.00", "pH", " 20.00",
                                  "\xB0"
                                  "C"}));
    EXPECT_EQ(zeilen[2][1], "10:01:05");
    EXPECT_EQ(zeilen[2][2], "  2.00"); // readings 1, 2 and 3
    EXPECT_EQ(zeilen[2][4], " 22.00");
    EXPECT_EQ(zeilen[3][1], "10:02:05");
    EXPECT_EQ(zeilen[3][2], "  5.00"); // readings 4, 5 and 6
    EXPECT_EQ(speicher.AnzahlGespeichert, 3);
    EXPECT_EQ(zustand.IntervallAnzahl, 0);
}

TEST_F(AutoSpeichernTest, IntervallZaehltVomLetztenGeschriebenenWert) {
    konf.Speicherintervall = 60;
    konf.MittelwertIntervall = true;
    for (int i = 0; i <= 6; ++i) {
        Lesen(Uhrzeit(Sek(10, 0, 0) + 25 * i), i);
    }
    EXPECT_EQ(Zeiten(), (std::vector<std::string>{"10:00:00", "10:01:15", "10:02:30"}));
    const auto zeilen = Zeilen();
    EXPECT_EQ(zeilen[2][2], "  2.00"); // 1, 2, 3
    EXPECT_EQ(zeilen[3][2], "  5.00"); // 4, 5, 6
}

TEST_F(AutoSpeichernTest, Rastern10SekundenMisstAbDerGerastertenZeit) {
    konf.Speicherintervall = 10;
    konf.ZeitRaster = true;
    Lesen("10:00:04", 1);
    Lesen("10:00:15", 2);
    Lesen("10:00:29", 3);
    const auto status = Lesen("10:00:30", 4);
    EXPECT_EQ(Zeiten(), (std::vector<std::string>{"10:00:00", "10:00:20", "10:00:30"}));
    // Without interval means the written values are the readings' own.
    EXPECT_EQ(Zeilen()[0][2], "Wert");
    EXPECT_EQ(Zeilen()[3][2], "  4.00");
    EXPECT_EQ(status.Zeile1, "läuft");
}

TEST_F(AutoSpeichernTest, RasternUeberMitternachtBehaeltDasDatum) {
    konf.Speicherintervall = 30;
    konf.ZeitRaster = true;
    const auto status = Lesen("23:59:50", 1);
    const auto zeilen = Zeilen();
    ASSERT_EQ(zeilen.size(), 2U);
    EXPECT_EQ(zeilen[1][0], "06.12.2001");
    EXPECT_EQ(zeilen[1][1], "00:00:00");
    ASSERT_TRUE(zustand.LetzteSpeicherung.has_value());
    EXPECT_EQ(*zustand.LetzteSpeicherung, (TZeitpunkt{7, 12, 2001, 0, 0, 0}));
    // The countdown runs from the aligned time: 7.12. 00:00:00 to 7.12. 23:59:59.
    EXPECT_EQ(status.Zeile2, "(86399s)");
}

TEST_F(AutoSpeichernTest, LangeIntervalleNurAufDieVolleMinute) {
    konf.Speicherintervall = 300;
    konf.ZeitRaster = true;
    Lesen("10:03:47", 1);
    EXPECT_EQ(Zeiten(), (std::vector<std::string>{"10:03:00"}));
}

TEST_F(AutoSpeichernTest, IntervallMitGleitendemMittel) {
    konf.Speicherintervall = 60;
    konf.GleitendesMittel = true;
    Lesen("10:00:00", 1);
    const auto zeilen = Zeilen();
    ASSERT_EQ(zeilen.size(), 2U);
    EXPECT_EQ(zeilen[0][2], "G-Wert");
    EXPECT_EQ(zeilen[0][4], "G-Temp.");
    EXPECT_EQ(zeilen[1][2], "101.00");
    EXPECT_EQ(zeilen[1][4], "201.00");
}

TEST_F(AutoSpeichernTest, AllesMitIntervallmittelSchreibtJedenWertWieEmpfangen) {
    konf.Speicherintervall = 0;
    konf.MittelwertIntervall = true;
    konf.ZeitRaster = true;
    Lesen("10:00:04", 1);
    Lesen("10:00:05", 2);
    const auto zeilen = Zeilen();
    ASSERT_EQ(zeilen.size(), 3U);
    EXPECT_EQ(zeilen[0][2], "Wert");
    EXPECT_EQ(zeilen[1][1], "10:00:04");
    EXPECT_EQ(zeilen[2][2], "  2.00");
    EXPECT_EQ(zustand.IntervallAnzahl, 0);
    EXPECT_FALSE(zustand.LetzteSpeicherung.has_value());
}

TEST_F(AutoSpeichernTest, AllesMitGleitendemMittel) {
    konf.GleitendesMittel = true;
    Lesen("10:00:04", 1);
    Lesen("10:00:05", 2);
    const auto zeilen = Zeilen();
    ASSERT_EQ(zeilen.size(), 3U);
    EXPECT_EQ(zeilen[0][2], "G-Wert");
    EXPECT_EQ(zeilen[1][2], "101.00");
    EXPECT_EQ(zeilen[2][4], "202.00");
}

TEST_F(AutoSpeichernTest, SpeicherendeEingeschlossenDanachEnde) {
    zustand.Speicherende = TZeitpunkt{6, 12, 2001, 10, 0, 0};
    auto status = Lesen("10:00:00", 1);
    EXPECT_EQ(status.Zeile1, "läuft");
    EXPECT_EQ(status.Zeile2, "(0s)");
    EXPECT_EQ(speicher.AnzahlGespeichert, 1);
    status = Lesen("10:00:01", 2);
    EXPECT_EQ(status.Zeile1, "ENDE");
    EXPECT_EQ(status.Zeile2, "ENDE");
    EXPECT_EQ(speicher.AnzahlGespeichert, 1);
    EXPECT_EQ(Zeilen().size(), 2U);
}

TEST_F(AutoSpeichernTest, VorDemBeginnCountdownUndNichtsGeschrieben) {
    zustand.Speicherbeginn = TZeitpunkt{6, 12, 2001, 10, 0, 0};
    konf.Speicherintervall = 60;
    const auto status = Lesen("09:58:00", 1);
    EXPECT_EQ(status.Zeile1, "(120s)");
    EXPECT_EQ(status.Zeile2, "...");
    EXPECT_EQ(DateiLesen(pfad), "");
    EXPECT_EQ(zustand.IntervallAnzahl, 0);
}

TEST_F(AutoSpeichernTest, StatusZeigtSekundenBisZumEnde) {
    zustand.Speicherende = TZeitpunkt{6, 12, 2001, 11, 0, 0};
    EXPECT_EQ(Lesen("10:00:05", 1).Zeile2, "(3595s)");
}

TEST_F(AutoSpeichernTest, AusUndWiederEinBehaeltDieSummenDesOffenenIntervalls) {
    konf.Speicherintervall = 60;
    konf.MittelwertIntervall = true;
    Lesen("10:00:00", 0);
    Lesen("10:00:20", 2);
    Lesen("10:00:40", 4);
    // Automatic saving is switched off and on again: the file is closed and reopened.
    speicher.Datendatei.Schliessen();
    ASSERT_TRUE(speicher.Datendatei.Oeffnen(pfad, TOeffnungsArt::Anhaengen));
    Lesen("10:01:00", 6);
    const auto zeilen = Zeilen();
    ASSERT_EQ(zeilen.size(), 3U);
    EXPECT_EQ(zeilen[2][2], "  4.00");
}

TEST_F(AutoSpeichernTest, EndeVorDemBeginnSchreibtNie) {
    zustand.Speicherbeginn = TZeitpunkt{6, 12, 2001, 10, 0, 0};
    zustand.Speicherende = TZeitpunkt{6, 12, 2001, 9, 0, 0};
    auto status = Lesen("09:30:00", 1);
    EXPECT_EQ(status.Zeile1, "(1800s)");
    EXPECT_EQ(status.Zeile2, "...");
    EXPECT_EQ(Lesen("10:00:00", 1).Zeile1, "(0s)"); // the start itself is not later than it
    for (const char* zeit : {"10:00:01", "10:30:00"}) {
        status = Lesen(zeit, 1);
        EXPECT_EQ(status.Zeile1, "ENDE") << zeit;
        EXPECT_EQ(status.Zeile2, "ENDE") << zeit;
    }
    EXPECT_EQ(DateiLesen(pfad), "");
}

TEST_F(AutoSpeichernTest, IntervalleFunktionierenAuchNach2016) {
    zustand.Speicherbeginn = TZeitpunkt{6, 12, 2026, 0, 0, 0};
    zustand.Speicherende = TZeitpunkt{6, 12, 2026, 11, 0, 0};
    konf.Speicherintervall = 60;
    konf.MittelwertIntervall = true;
    TAutoSpeicherStatus status;
    for (int i = 0; i <= 6; ++i) {
        status = Lesen(Uhrzeit(Sek(10, 0, 5) + 20 * i), i, "06.12.2026");
    }
    EXPECT_EQ(Zeiten(), (std::vector<std::string>{"10:00:05", "10:01:05", "10:02:05"}));
    EXPECT_EQ(status.Zeile2, "(3475s)"); // from 10:02:05 to 11:00:00
    zustand.Speicherbeginn = TZeitpunkt{1, 1, 2030, 0, 0, 0};
    EXPECT_EQ(Lesen("23:59:59", 0, "31.12.2029").Zeile1, "(1s)");
}

TEST_F(AutoSpeichernTest, UnlesbaresDatumLiegtVorJedemFenster) {
    konf.Speicherintervall = 0;
    const auto status = Lesen("10:00:00", 1, "2001-12-06");
    EXPECT_EQ(status.Zeile1, "(" + std::to_string(Sekundenzahl(zustand.Speicherbeginn)) + "s)");
    EXPECT_EQ(status.Zeile2, "...");
    EXPECT_EQ(DateiLesen(pfad), "");
}

TEST_F(AutoSpeichernTest, UnlesbareZeitZaehltNurNachDemDatum) {
    zustand.Speicherbeginn = TZeitpunkt{6, 12, 2001, 0, 0, 0};
    EXPECT_EQ(Lesen("zehn Uhr", 1).Zeile2, "...");
    EXPECT_EQ(Lesen("zehn Uhr", 1, "07.12.2001").Zeile1, "läuft");
}

TEST_F(AutoSpeichernTest, VolleIntervallanzahlTeiltNieDurchNull) {
    konf.Speicherintervall = 60;
    konf.MittelwertIntervall = true;
    zustand.IntervallAnzahl = 65535;
    zustand.IntervallSummeWert = 65535 * 2.0;
    zustand.IntervallSummeTemp = 65535 * 3.0;
    Lesen("10:00:00", 1000);
    const auto zeilen = Zeilen();
    ASSERT_EQ(zeilen.size(), 2U);
    EXPECT_EQ(zeilen[1][2], "  2.00");
    EXPECT_EQ(zeilen[1][4], "  3.00");
    EXPECT_EQ(zustand.IntervallAnzahl, 0);
}

TEST_F(AutoSpeichernTest, SchreibfehlerLaesstSummenUndLetzteSpeicherungStehen) {
    ASSERT_TRUE(speicher.Datendatei.Oeffnen("/dev/full", TOeffnungsArt::Anhaengen));
    konf.Speicherintervall = 60;
    konf.MittelwertIntervall = true;
    EXPECT_THROW(Lesen("10:00:00", 5), EInOutError);
    EXPECT_EQ(speicher.AnzahlGespeichert, 1);
    EXPECT_EQ(zustand.IntervallAnzahl, 1);
    EXPECT_DOUBLE_EQ(zustand.IntervallSummeWert, 5.0);
    EXPECT_FALSE(zustand.LetzteSpeicherung.has_value());
}

} // namespace
