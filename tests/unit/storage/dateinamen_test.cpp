// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/Dateinamen.h"

#include "TestOrdner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

std::string Nummer(int n) {
    std::string text = std::to_string(n);
    return std::string(3 - text.size(), '0') + text;
}

TEST(ZeichenEntfernen, EntferntJedesVorkommen) {
    EXPECT_EQ(ZeichenEntfernen("06.12.2001", '.'), "06122001");
    EXPECT_EQ(ZeichenEntfernen("...", '.'), "");
    EXPECT_EQ(ZeichenEntfernen("", '.'), "");
    EXPECT_EQ(ZeichenEntfernen("a b  c", ' '), "abc");
    EXPECT_EQ(ZeichenEntfernen("06.12.2001", '/'), "06.12.2001");
}

TEST(NamenFiltern, BehaeltZiffernBuchstabenUnterstrichUndMinus) {
    EXPECT_EQ(NamenFiltern("06122001"), "06122001");
    EXPECT_EQ(NamenFiltern("Mess_reihe-2"), "Mess_reihe-2");
    EXPECT_EQ(NamenFiltern("../etc/passwd"), "etcpasswd");
    EXPECT_EQ(NamenFiltern("a b.c:d*e?\"f\\g"), "abcdefg");
    EXPECT_EQ(NamenFiltern("M\xFC"
                           "ll\xC3\xA4r"),
              "Mllr");
    EXPECT_EQ(NamenFiltern(std::string("a\0b\n", 4)), "ab");
}

TEST(DateinameErzeugen, ErsterFreierNameImVerzeichnis) {
    TTestOrdner v;
    EXPECT_EQ(DateinameErzeugen("06122001", v.Verzeichnis()), v.Datei("06122001.000"));
    DateiSchreiben(v.Datei("06122001.000"), "");
    DateiSchreiben(v.Datei("06122001.001"), "");
    EXPECT_EQ(DateinameErzeugen("06122001", v.Verzeichnis()), v.Datei("06122001.002"));
    // Another day's files do not count.
    EXPECT_EQ(DateinameErzeugen("07122001", v.Verzeichnis()), v.Datei("07122001.000"));
}

TEST(DateinameErzeugen, LueckeBeiNullWirdGenommen) {
    TTestOrdner v;
    DateiSchreiben(v.Datei("06122001.001"), "");
    DateiSchreiben(v.Datei("06122001.002"), "");
    EXPECT_EQ(DateinameErzeugen("06122001", v.Verzeichnis()), v.Datei("06122001.000"));
}

TEST(DateinameErzeugen, VerzeichnisOhneSchraegstrichUndVerzeichnisAlsBelegt) {
    TTestOrdner v;
    std::string ohne = v.Verzeichnis();
    ohne.pop_back();
    EXPECT_EQ(DateinameErzeugen("06122001", ohne), v.Datei("06122001.000"));
    std::filesystem::create_directory(v.Datei("06122001.000"));
    EXPECT_EQ(DateinameErzeugen("06122001", ohne), v.Datei("06122001.001"));
}

TEST(DateinameErzeugen, VerwaisterSymbolischerLinkGiltAlsBelegt) {
    TTestOrdner v;
    std::filesystem::create_symlink(v.Datei("gibt-es-nicht"), v.Datei("06122001.000"));
    EXPECT_EQ(DateinameErzeugen("06122001", v.Verzeichnis()), v.Datei("06122001.001"));
}

TEST(DateinameErzeugen, AlleTausendNamenBelegtErgibtKeinenNamen) {
    TTestOrdner v;
    for (int n = 0; n < 1000; ++n) {
        DateiSchreiben(v.Datei("06122001." + Nummer(n)), "");
    }
    EXPECT_EQ(DateinameErzeugen("06122001", v.Verzeichnis()), std::nullopt);
    std::filesystem::remove(v.Datei("06122001.999"));
    EXPECT_EQ(DateinameErzeugen("06122001", v.Verzeichnis()), v.Datei("06122001.999"));
}

TEST(DateinameErzeugen, BasisWirdGefiltertGekuerztUndAufgefuellt) {
    TTestOrdner v;
    EXPECT_EQ(DateinameErzeugen("0 6.1 2.2 0 0 1", v.Verzeichnis()), v.Datei("06122001.000"));
    EXPECT_EQ(DateinameErzeugen("Messreihe123", v.Verzeichnis()), v.Datei("Messreih.000"));
    EXPECT_EQ(DateinameErzeugen("ab", v.Verzeichnis()), v.Datei("ab______.000"));
    EXPECT_EQ(DateinameErzeugen("../..", v.Verzeichnis()), v.Datei("________.000"));
}

TEST(DateinameErzeugen, OhneVerzeichnisImAktuellenVerzeichnis) {
    TTestOrdner v;
    const auto vorher = std::filesystem::current_path();
    std::filesystem::current_path(v.Verzeichnis());
    DateiSchreiben("06122001.000", "");
    const auto name = DateinameErzeugen("06122001", "");
    std::filesystem::current_path(vorher);
    EXPECT_EQ(name, "06122001.001");
}

TEST(Pfadteile, VerzeichnisUndDateiname) {
    EXPECT_EQ(VerzeichnisTeil("Daten.txt"), "");
    EXPECT_EQ(DateinamenTeil("Daten.txt"), "Daten.txt");
    EXPECT_EQ(VerzeichnisTeil("/home/labor/messungen/06122001.000"), "/home/labor/messungen/");
    EXPECT_EQ(DateinamenTeil("/home/labor/messungen/06122001.000"), "06122001.000");
    EXPECT_EQ(VerzeichnisTeil("/"), "/");
    EXPECT_EQ(DateinamenTeil("/home/"), "");
    EXPECT_EQ(VerzeichnisTeil(""), "");
}

TEST(PfadKuerzen, KurzeUndLangePfade) {
    const std::string genau35 = "/home/labor/messungen/2026/Daten.tx"; // 35 characters
    ASSERT_EQ(genau35.size(), 35U);
    EXPECT_EQ(PfadKuerzen(genau35, 35), genau35);

    const std::string name33 = "Messreihe_mit_langem_Namen_01.txt";
    ASSERT_EQ(name33.size(), 33U);
    EXPECT_EQ(PfadKuerzen("/a/" + name33, 35), name33); // 36 characters

    const std::string pfad42 = "/home/labor/messungen/dezember26/Daten.txt";
    ASSERT_EQ(pfad42.size(), 42U);
    const std::string gekuerzt = PfadKuerzen(pfad42, 35);
    EXPECT_EQ(gekuerzt, pfad42.substr(0, 23) + "../Daten.txt");
    EXPECT_EQ(gekuerzt.size(), 35U);

    // A file name of L - 4 characters still gets a directory start of one character.
    EXPECT_EQ(PfadKuerzen("/verzeichnis/" + std::string(31, 'n'), 35),
              "/../" + std::string(31, 'n'));
    EXPECT_EQ(PfadKuerzen("/verzeichnis/" + std::string(32, 'n'), 35), std::string(32, 'n'));
    EXPECT_EQ(PfadKuerzen(std::string(50, 'x'), 35), std::string(50, 'x'));
}

TEST(PfadKuerzen, KleineGrenzenUndUtf8) {
    EXPECT_EQ(PfadKuerzen("/abc/def", 3), "def");
    EXPECT_EQ(PfadKuerzen("/abc/def", 0), "def");
    EXPECT_EQ(PfadKuerzen("/abc/def", -5), "def");
    EXPECT_EQ(PfadKuerzen("", 0), "");
    // "ü" is two bytes; the cut would fall between them and moves before the character.
    const std::string pfad = "/M\xC3\xBCller/messungen/Daten.txt";
    EXPECT_EQ(PfadKuerzen(pfad, 15), "/M../Daten.txt");
    EXPECT_EQ(PfadKuerzen(pfad, 16), "/M\xC3\xBC../Daten.txt");
}

} // namespace
