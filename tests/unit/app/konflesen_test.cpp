// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// Reading PHRX.CFG: the rules for switch and number lines, line breaks and short files.
#include "KonfFelder.h"
#include "TestOrdner.h"
#include "app/KonfDatei.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TKonfiguration Geladen(const std::string& inhalt, TKonfiguration start = {}) {
    TTestOrdner ordner;
    DateiSchreiben(ordner / "PHRX.CFG", inhalt);
    KonfLoad(start, ordner / "PHRX.CFG");
    return start;
}

struct TZeilenFall {
    std::string zeile;
    int erwartet;
};

void PrintTo(const TZeilenFall& fall, std::ostream* os) {
    *os << '"';
    for (unsigned char c : fall.zeile) {
        if (c < 0x20 || c >= 0x7F) {
            *os << "\\x" << std::hex << int(c) << std::dec;
        } else {
            *os << c;
        }
    }
    *os << "\" -> " << fall.erwartet;
}

// The same line as each of the five switch lines: every switch must read it alike.
class SchalterZeile : public testing::TestWithParam<TZeilenFall> {};

TEST_P(SchalterZeile, SetztAlleFuenfSchalter) {
    const TZeilenFall& fall = GetParam();
    TKonfiguration start;
    start.AutoDateiname = start.Ueberschreiben = start.MittelwertIntervall =
        start.GleitendesMittel = start.ZeitRaster = fall.erwartet == 0;
    std::string datei;
    for (int i = 0; i < 5; ++i) {
        datei += fall.zeile + "\r\n";
    }
    const auto felder = Felder(Geladen(datei, start));
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(felder[i], fall.erwartet) << "Zeile " << i + 1;
    }
    EXPECT_EQ(felder[5], 10);
    EXPECT_EQ(felder[6], 0);
}

INSTANTIATE_TEST_SUITE_P(
    Regeln, SchalterZeile,
    testing::Values(TZeilenFall{"1", 1}, TZeilenFall{"  1  ", 1}, TZeilenFall{"1   x", 0},
                    TZeilenFall{"", 0}, TZeilenFall{"0", 0}, TZeilenFall{"\t1\t", 1},
                    TZeilenFall{"\x01"
                                "1\x1F",
                                1},
                    // Only the first five characters count.
                    TZeilenFall{"    1x", 1}, TZeilenFall{"     1", 0}, TZeilenFall{"1    x", 1},
                    TZeilenFall{"11", 0}, TZeilenFall{"1;", 0}, TZeilenFall{"01", 0},
                    TZeilenFall{"+1", 0}, TZeilenFall{"2", 0}, TZeilenFall{" 1 1", 0},
                    // Bytes from 0x80 on and DEL are text, not blanks to trim.
                    TZeilenFall{"\xFC"
                                "1",
                                0},
                    TZeilenFall{"1\xA0", 0}, TZeilenFall{"1\x7F", 0},
                    TZeilenFall{"1         ; Dateinamen f\xFCr Speichern selbst erzeugen", 1},
                    TZeilenFall{"0         ; Dateinamen f\xFCr Speichern selbst erzeugen", 0}));

// The same line as both number lines.
class ZahlZeile : public testing::TestWithParam<TZeilenFall> {};

TEST_P(ZahlZeile, SetztBeideZahlen) {
    const TZeilenFall& fall = GetParam();
    TKonfiguration start;
    start.AnzahlGleitMittel = start.Speicherintervall = 12345;
    const std::string datei =
        "1\r\n0\r\n0\r\n0\r\n0\r\n" + fall.zeile + "\r\n" + fall.zeile + "\r\n";
    const TKonfiguration k = Geladen(datei, start);
    EXPECT_EQ(k.AnzahlGleitMittel, fall.erwartet);
    EXPECT_EQ(k.Speicherintervall, fall.erwartet);
}

INSTANTIATE_TEST_SUITE_P(
    Dezimal, ZahlZeile,
    testing::Values(TZeilenFall{"10", 10}, TZeilenFall{"0", 0}, TZeilenFall{"00012", 12},
                    TZeilenFall{"65535", 65535}, TZeilenFall{"+5", 5},
                    TZeilenFall{"10        ; Anzahl Messwerte f\xFCr gleitendes Mittel", 10},
                    // Every blank of the first seven characters goes.
                    TZeilenFall{"2 5    ", 25}, TZeilenFall{"1 2 3 4 5", 1234},
                    TZeilenFall{"   42", 42},
                    // Only the first seven characters count; the low 16 bits are kept.
                    TZeilenFall{"12345678", 54919}, TZeilenFall{"1234567", 54919},
                    TZeilenFall{"9999999", 38527}, TZeilenFall{"65536", 0},
                    TZeilenFall{"70000", 4464}));

INSTANTIATE_TEST_SUITE_P(Negativ, ZahlZeile,
                         testing::Values(TZeilenFall{"-5", 65531}, TZeilenFall{"-1", 65535},
                                         TZeilenFall{"- 5", 65531}, TZeilenFall{"-0", 0},
                                         TZeilenFall{"-12345", 53191}));

INSTANTIATE_TEST_SUITE_P(Hexadezimal, ZahlZeile,
                         testing::Values(TZeilenFall{"$FF", 255}, TZeilenFall{"$ffff", 65535},
                                         TZeilenFall{"$aBc", 2748}, TZeilenFall{"$FFFF1", 65521},
                                         TZeilenFall{"$10000", 0}, TZeilenFall{"0x10", 16},
                                         TZeilenFall{"0X1f", 31}, TZeilenFall{"0x0", 0},
                                         TZeilenFall{"-$10", 65520}, TZeilenFall{"-0x10", 65520},
                                         TZeilenFall{"$ 1 0", 16}));

// Not a number: the leading digits without their sign, 0 when there are none.
INSTANTIATE_TEST_SUITE_P(
    KeineZahl, ZahlZeile,
    testing::Values(TZeilenFall{"", 0}, TZeilenFall{"abc", 0}, TZeilenFall{"12a", 12},
                    TZeilenFall{"-12a", 12}, TZeilenFall{"+7;", 7}, TZeilenFall{"12.5", 12},
                    TZeilenFall{"1e3", 1}, TZeilenFall{"5-", 5}, TZeilenFall{"7; x", 7},
                    TZeilenFall{"--5", 0}, TZeilenFall{"-", 0}, TZeilenFall{"$", 0},
                    TZeilenFall{"0x", 0}, TZeilenFall{"x10", 0}, TZeilenFall{"$-5", 0},
                    TZeilenFall{"$1G", 1}, TZeilenFall{"0x1G", 1}, TZeilenFall{"-$1G", 1},
                    TZeilenFall{"12AB", 12}, TZeilenFall{"\t5", 0},
                    TZeilenFall{"\xFC"
                                "5",
                                0}));

// Values that differ from the defaults in every field, line by line.
const std::vector<std::string> VolleZeilen = {"0", "1", "1", "1", "1", "42", "7"};
const std::array<int, 7> VolleFelder = {0, 1, 1, 1, 1, 42, 7};

std::string VolleDatei(const std::string& umbruch, bool umbruchAmEnde) {
    std::string datei;
    for (std::size_t i = 0; i < VolleZeilen.size(); ++i) {
        datei += VolleZeilen[i];
        if (umbruchAmEnde || i + 1 < VolleZeilen.size()) {
            datei += umbruch;
        }
    }
    return datei;
}

TEST(KonfLoad, Zeilenenden) {
    for (const std::string umbruch : {"\r\n", "\n", "\r"}) {
        for (const bool amEnde : {true, false}) {
            EXPECT_EQ(Felder(Geladen(VolleDatei(umbruch, amEnde))), VolleFelder)
                << "Umbruch " << umbruch.size() << " Zeichen, am Ende " << amEnde;
        }
    }
    EXPECT_EQ(Felder(Geladen("0\n1\r\n1\r1\n\r1\r\n42\n7\r\n")), (std::array{0, 1, 1, 1, 0, 1, 42}))
        << "gemischte Umbrueche; LF gefolgt von CR ergibt eine Leerzeile";
}

// A file with n lines sets the first n fields; the others keep their values; an eighth line
// is never read.
TEST(KonfLoad, NurVorhandeneZeilenSetzenFelder) {
    const std::array<int, 7> vorgabe = Felder(TKonfiguration{});
    for (std::size_t n = 0; n <= 8; ++n) {
        std::string datei;
        for (std::size_t i = 0; i < n; ++i) {
            datei += i < VolleZeilen.size() ? VolleZeilen[i] + "\r\n" : "1\r\n";
        }
        std::array<int, 7> erwartet = vorgabe;
        for (std::size_t i = 0; i < n && i < 7; ++i) {
            erwartet[i] = VolleFelder[i];
        }
        EXPECT_EQ(Felder(Geladen(datei)), erwartet) << n << " Zeilen";
    }
}

TEST(KonfLoad, DreiZeilenSetzenNurDieSchalterEinsBisDrei) {
    TKonfiguration start;
    start.GleitendesMittel = start.ZeitRaster = true;
    const TKonfiguration k = Geladen("0\r\n1\r\n1\r\n", start);
    EXPECT_EQ(Felder(k), (std::array{0, 1, 1, 1, 1, 10, 0}));
}

TEST(KonfLoad, LeereZeileIstEineZeile) {
    EXPECT_EQ(Felder(Geladen("1\r\n1\r\n1\r\n1\r\n1\r\n\r\n\r\n")),
              (std::array{1, 1, 1, 1, 1, 0, 0}));
    EXPECT_EQ(Felder(Geladen("\r\n")), (std::array{0, 0, 0, 0, 0, 10, 0}));
}

TEST(KonfLoad, SehrLangeZeilen) {
    const std::string lang(100000, 'x');
    const std::string datei = "  1  " + lang + "\r\n1" + lang + "\r\n0\r\n1\r\n0\r\n42" +
                              std::string(100000, ' ') + "\r\n3" + lang + "\r\n";
    EXPECT_EQ(Felder(Geladen(datei)), (std::array{1, 0, 0, 1, 0, 42, 3}));
}

// CR and LF of one line break on both sides of the reader's buffer boundary.
TEST(KonfLoad, ZeilenumbruchUeberPuffergrenze) {
    for (std::size_t laenge : {4094u, 4095u, 4096u, 8191u}) {
        const std::string datei = "1" + std::string(laenge - 1, ' ') + "\r\n1\r\n1\r\n1\r\n1\r\n5";
        EXPECT_EQ(Felder(Geladen(datei)), (std::array{1, 1, 1, 1, 1, 5, 0}))
            << "erste Zeile " << laenge << " Zeichen";
    }
}

TEST(KonfLoad, LaesstDieUebrigenEinstellungenUnberuehrt) {
    TKonfiguration start;
    start.Ausgabedatei = "Messung.txt";
    start.Spaltenzahl = 7;
    start.Spaltenbreite = 40;
    const TKonfiguration k = Geladen(VolleDatei("\r\n", true), start);
    EXPECT_EQ(k.Ausgabedatei, "Messung.txt");
    EXPECT_EQ(k.Spaltenzahl, 7);
    EXPECT_EQ(k.Spaltenbreite, 40);
}

} // namespace
