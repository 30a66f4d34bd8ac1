// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/Datendatei.h"
#include "storage/Datenzeile.h"

#include "BeispielMesswerte.h"
#include "TestOrdner.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Referenz(const std::string& name) {
    const std::string inhalt = DateiLesen(std::string(QUORLITS_TEST_DATA_DIR) + "/" + name);
    EXPECT_FALSE(inhalt.empty()) << name;
    return inhalt;
}

// Writes `text` through the data file into a fresh file and returns the file's bytes.
std::string UeberDatei(const std::string& text) {
    TTestOrdner v;
    TDatendatei datei;
    EXPECT_TRUE(datei.Oeffnen(v.Datei("zeilen.txt"), TOeffnungsArt::Neuschreiben));
    datei.Schreiben(text);
    datei.Schliessen();
    return DateiLesen(v.Datei("zeilen.txt"));
}

TEST(DatenZeile, BeispielzeilenByteGenau) {
    EXPECT_EQ(UeberDatei(DatenZeile(Einzelzeile(), ',')), Referenz("datenzeile_kurz.txt"));
    EXPECT_EQ(UeberDatei(DatenZeile(Ausdruck(), ',')), Referenz("datenzeile_lang.txt"));
}

TEST(KopfZeile, DreiArtenInBeidenAnordnungenByteGenau) {
    const struct {
        TWertArt Art;
        const char* Datei;
    } faelle[] = {
        {TWertArt::Messwert, "kopfzeilen_messwert.txt"},
        {TWertArt::Intervallmittel, "kopfzeilen_intervallmittel.txt"},
        {TWertArt::GleitendesMittel, "kopfzeilen_gleitmittel.txt"},
    };
    for (const auto& fall : faelle) {
        EXPECT_EQ(UeberDatei(KopfZeile(fall.Art, true) + KopfZeile(fall.Art, false)),
                  Referenz(fall.Datei))
            << fall.Datei;
    }
}

TEST(DatenZeile, ZahlenformateRundenUndSchneidenNie) {
    TMesswert m = Ausdruck();
    m.Tref = 0;
    m.TCKoeff = 0;
    EXPECT_EQ(DatenZeile(m, "10:00:00", -123.456, 1234.5, ','),
              "06.12.2001\t10:00:00\t06.12.96\t12:34\t-123,46\tmS/cm\t1234,50\t\xB0"
              "C\t 0,00\t 0,000\r\n");
    m.TCKoeff = 1.98;
    m.Tref = 20;
    EXPECT_EQ(DatenZeile(m, "10:00:00", 123456.789, -5.0, ','),
              "06.12.2001\t10:00:00\t06.12.96\t12:34\t123456,79\tmS/cm\t -5,00\t\xB0"
              "C\t20,00\t 1,980\r\n");
}

TEST(DatenZeile, ErsatzwerteNurInZeitWertUndTemperatur) {
    const std::string zeile = DatenZeile(Ausdruck(), "14:30:00", 2.5, 19.25, ',');
    EXPECT_EQ(zeile, "06.12.2001\t14:30:00\t06.12.96\t12:34\t  2,50\tmS/cm\t 19,25\t\xB0"
                     "C\t25,00\t 0,475\r\n");
}

// The meter sends code page 850; the file holds Windows-1252, as a spreadsheet reads it.
TEST(DatenZeile, TexteDesGeraetsInWindows1252) {
    TMesswert m = Ausdruck();
    m.Wert = 1413;
    m.Einheit = "\xE6S/cm"; // µ of code page 850
    m.Zeit = "12:34\xB3";   // a box-drawing line, which Windows-1252 lacks
    EXPECT_EQ(DatenZeile(m, ','),
              "06.12.2001\t14:30:05\t06.12.96\t12:34?\t1413,00\t\xB5S/cm\t 25,00\t\xB0"
              "C\t25,00\t 0,475\r\n");
}

TEST(DatenZeile, NimmtDasDezimaltrennzeichenDesProgramms) {
    const char vorher = DezimalTrennzeichen();
    DezimalTrennzeichenSetzen('.');
    const std::string mitPunkt = DatenZeile(Einzelzeile());
    DezimalTrennzeichenSetzen(',');
    const std::string mitKomma = DatenZeile(Einzelzeile());
    DezimalTrennzeichenSetzen(vorher);
    EXPECT_EQ(mitPunkt, "06.12.2001\t14:30:05\t  7.01\tpH\t 24.80\t\xB0"
                        "C\r\n");
    EXPECT_EQ(mitKomma, Referenz("datenzeile_kurz.txt"));
}

} // namespace
