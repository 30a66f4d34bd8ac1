// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/RohdatenFormat.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

TEST(RohdatenFormat, Crc32GleichtDerIeeePruefsumme) {
    // The check values of CRC-32/ISO-HDLC, as zlib's crc32() gives them.
    EXPECT_EQ(Crc32(""), 0x00000000U);
    EXPECT_EQ(Crc32("a"), 0xE8B7BE43U);
    EXPECT_EQ(Crc32("123456789"), 0xCBF43926U);
    EXPECT_EQ(Crc32("The quick brown fox jumps over the lazy dog"), 0x414FA339U);
    EXPECT_EQ(Crc32("6789", Crc32("12345")), Crc32("123456789"));
}

// Eight bytes at a time and one at a time agree for every length and every cut.
TEST(RohdatenFormat, Crc32StueckweiseWieAmStueck) {
    std::string daten;
    for (int i = 0; i < 64; ++i) {
        daten.push_back(static_cast<char>(i * 37 + 11));
    }
    const auto bitweise = [](std::string_view text) {
        std::uint32_t crc = 0xFFFFFFFFU;
        for (const char zeichen : text) {
            crc ^= static_cast<unsigned char>(zeichen);
            for (int bit = 0; bit < 8; ++bit) {
                crc = (crc & 1U) != 0 ? (crc >> 1) ^ 0xEDB88320U : crc >> 1;
            }
        }
        return ~crc;
    };
    for (std::size_t laenge = 0; laenge <= daten.size(); ++laenge) {
        const std::string_view text = std::string_view(daten).substr(0, laenge);
        ASSERT_EQ(Crc32(text), bitweise(text)) << laenge;
        for (std::size_t schnitt = 0; schnitt <= laenge; schnitt += 3) {
            ASSERT_EQ(Crc32(text.substr(schnitt), Crc32(text.substr(0, schnitt))), Crc32(text));
        }
    }
}

TEST(RohdatenFormat, MaskierenLaesstJedeBytefolgeZurueckkehren) {
    struct Fall {
        std::string wert;
        std::string maskiert;
    };
    const Fall faelle[] = {
        {"", ""},
        {"9600 8N1", "9600 8N1"},
        {"a=b", "a=b"}, // only the first '=' of a line ends the key
        {"C:\\Daten\\", "C:\\\\Daten\\\\"},
        {"\r\n", "\\r\\n"},
        {"\x00\x01\t\x7F"s, "\\x00\\x01\\x09\\x7F"},
        {"Grüße µS/cm", "Grüße µS/cm"},               // valid UTF-8 stays readable
        {"\xFF\xE6S/cm", "\\xFF\\xE6S/cm"},           // code page 850 is no UTF-8
        {"\xC3", "\\xC3"},                            // a sequence cut short
        {"\xC0\xAF", "\\xC0\\xAF"},                   // overlong '/'
        {"\xED\xA0\x80", "\\xED\\xA0\\x80"},          // a surrogate
        {"\xF4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"}, // beyond U+10FFFF
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
    };
    for (const Fall& fall : faelle) {
        SCOPED_TRACE(fall.maskiert);
        EXPECT_EQ(RohMaskieren(fall.wert), fall.maskiert);
        EXPECT_EQ(RohDemaskieren(fall.maskiert), fall.wert);
    }
    std::string alle;
    for (int byte = 0; byte < 256; ++byte) {
        alle.push_back(static_cast<char>(byte));
    }
    EXPECT_EQ(RohDemaskieren(RohMaskieren(alle)), alle);
    EXPECT_EQ(RohMaskieren(alle).find_first_of("\r\n"s + '\0'), std::string::npos);
}

TEST(RohdatenFormat, DemaskierenWeistUnbekannteFolgenAb) {
    for (const char* text : {"\\", "ab\\", "\\t", "\\x4", "\\xZ0", "\\X41"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(RohDemaskieren(text), ERohdatenFehler);
    }
    EXPECT_EQ(RohDemaskieren("\\x4a\\x4A"), "JJ");
}

TEST(RohdatenFormat, SatzStehtLittleEndianMitPruefsummeHintenan) {
    std::string satz;
    RohSatzAnhaengen(satz, {TRohArt::Verloren, 0x0102030405060708, -2, -3600, "5"});
    const std::string vorPruefsumme = "\x05"
                                      "\x08\x07\x06\x05\x04\x03\x02\x01"
                                      "\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF"
                                      "\xF0\xF1\xFF\xFF"
                                      "\x01\x00\x00\x00"
                                      "5"s;
    ASSERT_EQ(satz.size(), vorPruefsumme.size() + 4);
    EXPECT_EQ(satz.substr(0, vorPruefsumme.size()), vorPruefsumme);
    EXPECT_EQ(RohZahlLesen(satz.substr(vorPruefsumme.size()), 4), Crc32(vorPruefsumme));
}

TEST(RohdatenFormat, KopfWeistSchluesselAbDieEineZeileSprengen) {
    for (const std::string& schluessel :
         {""s, "a=b"s, "a\nb"s, "a\rb"s, "\t"s, "Programm"s, "Anschluss"s}) {
        SCOPED_TRACE(RohMaskieren(schluessel));
        TRohKopf kopf;
        kopf.Werte = {{"Baud", "9600"}, {schluessel, "x"}};
        EXPECT_THROW(RohKopfText(kopf), ERohdatenFehler);
    }
}

TEST(RohdatenFormat, KopfBeginntMitMarkeUndVersionUndEndetMitLeerzeile) {
    TRohKopf kopf{0, "0.1.0", "/dev/ttyS0", {{"Baud", "4800"}, {"Datei", "a\nb"}}};
    EXPECT_EQ(RohKopfText(kopf), "QUORLITS-ROHDATEN 1\n"
                                 "Programm=0.1.0\n"
                                 "Anschluss=/dev/ttyS0\n"
                                 "Baud=4800\n"
                                 "Datei=a\\nb\n"
                                 "\n");
}

} // namespace
