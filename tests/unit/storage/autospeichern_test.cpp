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

    // Seven readings 0..6, `schritt` seconds apart from `start`; returns the last status.
    TAutoSpeicherStatus Reihe(int start, int schritt, const std::string& datum = "06.12.2001") {
        TAutoSpeicherStatus status;
        for (int i = 0; i <= 6; ++i) {
            status = Lesen(Uhrzeit(start + schritt * i), i, datum);
        }
        return status;
    }

    void Intervallmittel(std::uint16_t sekunden) {
        konf.Speicherintervall = sekunden;
        konf.MittelwertIntervall = true;
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
    Intervallmittel(60);
    Reihe(Sek(10, 0, 5), 20);
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
    Intervallmittel(60);
    Reihe(Sek(10, 0, 0), 25);
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

TEST_F(AutoSpeichernTest, AusUndWiederEinBehaeltDieSummenDesOffenenIntervalls) {
    Intervallmittel(60);
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

TEST_F(AutoSpeichernTest, IntervalleFunktionierenAuchNach2016) {
    zustand.Speicherbeginn = TZeitpunkt{6, 12, 2026, 0, 0, 0};
    zustand.Speicherende = TZeitpunkt{6, 12, 2026, 11, 0, 0};
    Intervallmittel(60);
    const TAutoSpeicherStatus status = Reihe(Sek(10, 0, 5), 20, "06.12.2026");
    EXPECT_EQ(Zeiten(), (std::vector<std::string>{"10:00:05", "10:01:05", "10:02:05"}));
    EXPECT_EQ(status.Zeile2, "(3475s)"); // from 10:02:05 to 11:00:00
}

// The status lines of a single reading against the window (nullopt: not looked at); a
// reading outside the window is neither written nor summed.
TEST_F(AutoSpeichernTest, StatusZeilenJeLageImFenster) {
    Intervallmittel(60);
    using O = std::optional<std::string>;
    const TZeitpunkt zehn{6, 12, 2001, 10, 0, 0};
    const TZeitpunkt neun{6, 12, 2001, 9, 0, 0};
    const TZeitpunkt tagesbeginn{6, 12, 2001, 0, 0, 0};
    const TZeitpunkt elf{6, 12, 2001, 11, 0, 0};
    const TZeitpunkt ende{7, 12, 2001, 23, 59, 59};
    const TZeitpunkt ende2026{6, 12, 2026, 11, 0, 0};
    const TZeitpunkt beginn2030{1, 1, 2030, 0, 0, 0};
    const std::string bisBeginn = "(" + std::to_string(Sekundenzahl(tagesbeginn)) + "s)";
    const struct {
        const char* Name;
        TZeitpunkt Beginn, Ende;
        const char *Datum, *Zeit;
        O Zeile1, Zeile2;
        bool Schreibt;
    } faelle[] = {
        {"vor dem Beginn", zehn, ende, "06.12.2001", "09:58:00", "(120s)", "...", false},
        {"Sekunden bis zum Ende", tagesbeginn, elf, "06.12.2001", "10:00:05", "läuft", "(3595s)",
         true},
        {"Ende vor Beginn, davor", zehn, neun, "06.12.2001", "09:30:00", "(1800s)", "...", false},
        {"Ende vor Beginn, Beginn selbst", zehn, neun, "06.12.2001", "10:00:00", "(0s)", "...",
         false},
        {"Ende vor Beginn, danach", zehn, neun, "06.12.2001", "10:00:01", "ENDE", "ENDE", false},
        {"Ende vor Beginn, spaeter", zehn, neun, "06.12.2001", "10:30:00", "ENDE", "ENDE", false},
        {"unlesbares Datum liegt vor jedem Fenster", tagesbeginn, ende, "2001-12-06", "10:00:00",
         bisBeginn, "...", false},
        {"unlesbare Zeit am Beginntag", tagesbeginn, ende, "06.12.2001", "zehn Uhr", std::nullopt,
         "...", false},
        {"unlesbare Zeit am Tag danach", tagesbeginn, ende, "07.12.2001", "zehn Uhr", "läuft",
         std::nullopt, true},
        {"Beginn nach 2016", beginn2030, ende2026, "31.12.2029", "23:59:59", "(1s)", "...", false},
    };
    for (const auto& fall : faelle) {
        SCOPED_TRACE(fall.Name);
        ASSERT_TRUE(speicher.Datendatei.Oeffnen(pfad, TOeffnungsArt::Neuschreiben));
        zustand = TAutoSpeicherZustand{};
        zustand.Speicherbeginn = fall.Beginn;
        zustand.Speicherende = fall.Ende;
        const TAutoSpeicherStatus status = Lesen(fall.Zeit, 1, fall.Datum);
        if (fall.Zeile1) {
            EXPECT_EQ(status.Zeile1, *fall.Zeile1);
        }
        if (fall.Zeile2) {
            EXPECT_EQ(status.Zeile2, *fall.Zeile2);
        }
        EXPECT_EQ(DateiLesen(pfad).empty(), !fall.Schreibt);
        EXPECT_EQ(zustand.IntervallAnzahl, 0);
    }
}

// Interval means of 60 s: the reading of 10:00:00 is written alone, the next three close the
// interval at 10:01:00. A change of unit within one quantity is converted to the unit of the
// closing reading; a change of quantity splits the interval, and the mean covers the readings
// since the change.
TEST_F(AutoSpeichernTest, IntervallmittelUeberEinenWechselDerMessart) {
    struct TLesung {
        const char* Messgroesse;
        const char* Einheit;
        double Wert;
        double Temp;
    };
    const struct {
        const char* Name;
        std::vector<TLesung> Lesungen; // at 10:00:00, 10:00:20, 10:00:40, 10:01:00
        TFelder Erwartet;              // value, unit, temperature of the line of 10:01:00
    } faelle[] = {
        {"Milli nach Mikro",
         {{"Lf", "mS/cm", 1.5, 20},
          {"Lf", "mS/cm", 1.5, 20},
          {"Lf", "\xE6S/cm", 1450, 20},
          {"Lf", "\xE6S/cm", 1400, 20}},
         {"1450.00", "\xB5S/cm", " 20.00"}},
        {"pH nach mV",
         {{"pH", "pH", 7, 20}, {"pH", "pH", 7, 20}, {"mV", "mV", 200, 22}, {"mV", "mV", 210, 24}},
         {"205.00", "mV", " 23.00"}},
        {"Wechsel mit dem letzten Wert",
         {{"pH", "pH", 7, 20}, {"pH", "pH", 7, 20}, {"pH", "pH", 7.2, 22}, {"mV", "mV", 200, 24}},
         {"200.00", "mV", " 24.00"}},
    };
    Intervallmittel(60);
    for (const auto& fall : faelle) {
        SCOPED_TRACE(fall.Name);
        ASSERT_TRUE(speicher.Datendatei.Oeffnen(pfad, TOeffnungsArt::Neuschreiben));
        speicher.AnzahlGespeichert = 0;
        zustand.LetzteSpeicherung.reset();
        for (std::size_t i = 0; i < fall.Lesungen.size(); ++i) {
            const TLesung& lesung = fall.Lesungen[i];
            TMesswert m;
            m.PCDatum = "06.12.2001";
            m.PCZeit = Uhrzeit(Sek(10, 0, 20 * static_cast<int>(i)));
            m.Messgroesse = lesung.Messgroesse;
            m.Einheit = lesung.Einheit;
            m.Wert = lesung.Wert;
            m.Temp = lesung.Temp;
            AutoSpeichereWert(speicher, zustand, konf, m, 0.0, 0.0);
        }
        const auto zeilen = Zeilen();
        ASSERT_EQ(zeilen.size(), 3U);
        EXPECT_EQ(zeilen[2][1], "10:01:00");
        EXPECT_EQ((TFelder{zeilen[2][2], zeilen[2][3], zeilen[2][4]}), fall.Erwartet);
    }
}

TEST_F(AutoSpeichernTest, VolleIntervallanzahlTeiltNieDurchNull) {
    Intervallmittel(60);
    zustand.IntervallMessart = {"", "pH"}; // the kind of the readings of Lesen
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
    Intervallmittel(60);
    EXPECT_THROW(Lesen("10:00:00", 5), EInOutError);
    EXPECT_EQ(speicher.AnzahlGespeichert, 1);
    EXPECT_EQ(zustand.IntervallAnzahl, 1);
    EXPECT_DOUBLE_EQ(zustand.IntervallSummeWert, 5.0);
    EXPECT_FALSE(zustand.LetzteSpeicherung.has_value());
}

} // namespace
