// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "acquisition/MesswertLesen.h"

#include "tests/unit/acquisition/Geraetetext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

struct TFall {
    std::string_view Satz; // written with Geraetetext's markers
    double Wert = 0.0;
    double Temp = 0.0;
    std::string_view Einheit;
    std::string_view Messgroesse;
    std::string_view Datum = "";
    std::string_view Zeit = "";
    double Tref = 0.0;
    double TCKoeff = 0.0;
};

void Pruefen(const TFall& fall, bool gerahmt) {
    SCOPED_TRACE(std::string(fall.Satz));
    std::string messgroesse = "pH";
    const TMesswert messwert = MesswertLesen(Geraetetext(fall.Satz), gerahmt, messgroesse);
    EXPECT_DOUBLE_EQ(messwert.Wert, fall.Wert);
    EXPECT_DOUBLE_EQ(messwert.Temp, fall.Temp);
    // Temp stays 0 without a temperature; the flag tells that from a reading of 0 °C.
    EXPECT_EQ(messwert.MitTemperatur, fall.Satz.find("°C") != std::string_view::npos);
    EXPECT_EQ(messwert.Einheit, Geraetetext(fall.Einheit));
    EXPECT_EQ(messwert.Messgroesse, fall.Messgroesse);
    EXPECT_EQ(messgroesse, fall.Messgroesse);
    EXPECT_EQ(messwert.Datum, fall.Datum);
    EXPECT_EQ(messwert.Zeit, fall.Zeit);
    EXPECT_DOUBLE_EQ(messwert.Tref, fall.Tref);
    EXPECT_DOUBLE_EQ(messwert.TCKoeff, fall.TCKoeff);
    EXPECT_EQ(messwert.Gerahmt, gerahmt);
    EXPECT_TRUE(messwert.PCDatum.empty());
    EXPECT_TRUE(messwert.PCZeit.empty());
}

const std::vector<TFall> Zeilen = {
    {" 7.01 pH   25.0 °C", 7.01, 25.0, "pH", "pH"},
    {" 205 mV 19.5 °C", 205, 19.5, "mV", "mV"},
    {" 8.25 mg/l 19.5 °C", 8.25, 19.5, "mg/l", "O2"},
    {" 95 % 19.5 °C", 95, 19.5, "%", "O2"},
    {" 1.413 mS/cm", 1.413, 0, "mS/cm", "Lf"},
    {" 1.413 mS/CM 25.0 °C", 1.413, 25.0, "mS/CM", "Lf"},
    {" 12.5 \xE6S/cm", 12.5, 0, "\xE6S/cm", "Lf"},
    // A match at the very start has no character in front of it.
    {"S/cm 5", 5, 0, "S/cm", "Lf"},
    {"abc 12.3x4", 12.34, 0, "abcx", "?"},
    {"7,01 pH", 7.01, 0, "pH", "pH"},
    // Later units overwrite earlier ones; each is searched once.
    {"7 pH mV", 7, 0, "mV", "mV"},
    {"5 mS/cm %", 5, 0, "%", "O2"},
    {"7 pH pH", 7, 0, "pH", "pH"},
    // The temperature takes the two characters before the degree sign and every figure
    // character in front of them.
    {"-12.5°C", 0, -12.5, "", "?"},
    {"ab 5°C 3", 3, 5, "ab", "?"},
    {"x5°C 3", 3, 0, "", "?"},
    {"°C 7.0 pH", 7.0, 0, "pH", "pH"},
    {"7.0 pH 1:25.0°C", 7.0, 1, "pH", "pH"},
    {"7.0 °c", 7.0, 0, "c", "?"},
    // A decimal comma in the temperature is read as a point.
    {" 7.01 pH   24,8 °C", 7.01, 24.8, "pH", "pH"},
    // The value is the convertible start of all digits, points and signs left.
    {"1.2.3 pH", 1.2, 0, "pH", "pH"},
    {"7.01-3 pH", 7.01, 0, "pH", "pH"},
    {"-0.5 pH", -0.5, 0, "pH", "pH"},
    {"pH", 0, 0, "pH", "pH"},
    {"(/:;|}~", 0, 0, "(/:;|}", "?"},
    {" ", 0, 0, "", "?"},
    // An empty record empties the quantity.
    {"", 0, 0, "", ""},
};

const std::vector<TFall> Protokolle = {
    {"06.12.96 12:34  1.413 mS/cm 25.0 °CTREF 25 C = 0.475", 1.413, 25.0, "mS/cm", "Lf", "06.12.96",
     "12:34", 25, 0.475},
    {"06.12.96 12:34  7.012 pH  25.0 °C", 7.012, 25.0, "pH", "?", "06.12.96", "12:34"},
    {"06.12.96 12:34  1.413 mS/cm 25.0 °Ctref 20 c = 1.98", 1.413, 25.0, "mS/cm", "Lf", "06.12.96",
     "12:34", 20, 1.98},
    // Decimal commas in the temperature, reference temperature and coefficient.
    {"06.12.96 12:34  1.413 mS/cm 24,8 °CTREF 24,8C = 1,98", 1.413, 24.8, "mS/cm", "Lf", "06.12.96",
     "12:34", 24.8, 1.98},
    // TREF takes at most five characters, "C =" at most seven.
    {"TREF 123456C = 0.1234567", 56567, 0, "", "?", "", "", 1234, 0.1234},
    // The time is six characters; the digits of the seconds join the value.
    {"06/12/1996 12:34:56  7.0 pH", 567, 0, "pH", "?", "06/12/1996", "12:34:", 0, 0},
    // A ":" at position 1 or 2 carries no time.
    {"1: 7.0", 17.0, 0, ":", "?"},
    // Only the first 24 characters after the fields are looked at.
    {"7.0 pH                       99 mS/cm", 7.0, 0, "pH", "?"},
    {"12:", 0, 0, "", "?", "", "12:"},
    {"ab12:34", 0, 0, "ab", "?", "", "12:34"},
    {"1 12:34", 1, 0, "", "?", "", "12:34"},
    {"06.12.96 12:34", 0, 0, "", "?", "06.12.96", "12:34"},
    // The time starts after the character in front of the ":" when that is no figure character.
    {"06.12.96 x:34", 0, 0, "x", "?", "06.12.96", ":34"},
    // The date's end is looked for down to position 5 only: the "1" at position 3 is not taken
    // as its end, the date is then positions 3 and 4.
    {"ab1x 12:34", 0, 0, "ab", "?", "1x", "12:34"},
    // The date's start is looked for from three places before its end.
    {"ab x5 12:34", 0, 0, "ab", "?", "x5", "12:34"},
    // "C =" always takes the two characters after it, blank or not.
    {"7.0 pH TREF 25 C =  0.5", 7.0, 0, "pH", "?", "", "", 25, 0.5},
    // The 25th character left is not looked at.
    {"7.0 pH                  9", 7.0, 0, "pH", "?"},
    // A printout is not searched for the plain lines' units; its letters and "%" are its unit,
    // so oxygen in mg/l and in % stay apart.
    {" 205 mV", 205, 0, "mV", "?"},
    {"06.12.96 12:34  95.0 %  19.5 °C", 95.0, 19.5, "%", "?", "06.12.96", "12:34"},
    {"06.12.96 12:34  8.25 mg/l  19.5 °C", 8.25, 19.5, "mg/l", "?", "06.12.96", "12:34"},
    {"", 0, 0, "", ""},
};

TEST(MesswertLesen, PlainLines) {
    for (const TFall& fall : Zeilen) {
        Pruefen(fall, false);
    }
}

TEST(MesswertLesen, FramedPrintouts) {
    for (const TFall& fall : Protokolle) {
        Pruefen(fall, true);
    }
}

// Every start and every end of the example records, and records full of separators, must parse
// without reading outside the text and give finite numbers.
TEST(MesswertLesen, CutRecordsParseSafely) {
    std::vector<std::string> saetze;
    for (const auto* liste : {&Zeilen, &Protokolle}) {
        for (const TFall& fall : *liste) {
            saetze.push_back(Geraetetext(fall.Satz));
        }
    }
    saetze.push_back(std::string(255, ':'));
    saetze.push_back(Geraetetext("°C°C°C:::TREFTREFC =C =S/CMS/CM"));
    saetze.push_back(std::string(400, '9') + "E999");
    for (const std::string& satz : saetze) {
        for (std::size_t laenge = 0; laenge <= satz.size(); ++laenge) {
            for (const std::string& teil : {satz.substr(0, laenge), satz.substr(laenge)}) {
                for (const bool gerahmt : {false, true}) {
                    std::string messgroesse;
                    const TMesswert messwert = MesswertLesen(teil, gerahmt, messgroesse);
                    ASSERT_TRUE(std::isfinite(messwert.Wert) && std::isfinite(messwert.Temp) &&
                                std::isfinite(messwert.Tref) && std::isfinite(messwert.TCKoeff))
                        << teil;
                    ASSERT_EQ(messgroesse.empty(), teil.empty()) << teil;
                }
            }
        }
    }
}

} // namespace
