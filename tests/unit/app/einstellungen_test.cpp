// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "app/Einstellungen.h"

#include "storage/EInOutError.h"
#include "tests/unit/common/TestOrdner.h"

#include <gtest/gtest.h>

TEST(Einstellungen, LiegenNebenPhrxCfg) {
    EXPECT_EQ(EinstellungenPfad("/home/a/.config/quorlits/PHRX.CFG"),
              "/home/a/.config/quorlits/quorlits.conf");
}

TEST(Einstellungen, VorgabenOhneOderMitUnbrauchbarerDatei) {
    const TTestOrdner ordner;
    EXPECT_EQ(EinstellungenLesen(ordner / "quorlits.conf"), TEinstellungen{});
    EXPECT_TRUE(TEinstellungen{}.AutomatischWiederverbinden);
    EXPECT_FALSE(TEinstellungen{}.RohdatenAufzeichnen);
    EXPECT_FALSE(TEinstellungen{}.AngabenInDatei);
    // A value that is no truth value, and a folder where the file should be.
    DateiSchreiben(ordner / "quorlits.conf", "[Messung]\nAutomatischWiederverbinden=vielleicht\n");
    EXPECT_EQ(EinstellungenLesen(ordner / "quorlits.conf"), TEinstellungen{});
    std::filesystem::create_directory(ordner / "ordner.conf");
    EXPECT_EQ(EinstellungenLesen(ordner / "ordner.conf"), TEinstellungen{});
}

TEST(Einstellungen, SchreibenUndLesenBehaeltFremdeSchluessel) {
    const TTestOrdner ordner;
    const auto datei = ordner / "quorlits.conf";
    DateiSchreiben(datei, "[Diagramm]\nLinie=2\n");
    TEinstellungen aus;
    aus.AutomatischWiederverbinden = false;
    aus.RohdatenAufzeichnen = true;
    aus.AngabenInDatei = true;
    EinstellungenSchreiben(datei, aus);
    EXPECT_EQ(EinstellungenLesen(datei), aus);
    const std::string inhalt = DateiLesen(datei);
    EXPECT_NE(inhalt.find("AutomatischWiederverbinden=false"), std::string::npos) << inhalt;
    EXPECT_NE(inhalt.find("RohdatenAufzeichnen=true"), std::string::npos) << inhalt;
    EXPECT_NE(inhalt.find("AngabenInDatei=true"), std::string::npos) << inhalt;
    EXPECT_NE(inhalt.find("Linie=2"), std::string::npos) << inhalt;
    EinstellungenSchreiben(datei, TEinstellungen{});
    EXPECT_EQ(EinstellungenLesen(datei), TEinstellungen{});
}

TEST(Einstellungen, NichtSchreibbarIstEinEinAusgabefehler) {
    const TTestOrdner ordner;
    // A file stands where the folder of the settings should be.
    DateiSchreiben(ordner / "PHRX.CFG", "");
    EXPECT_THROW(EinstellungenSchreiben(ordner / "PHRX.CFG" / "quorlits.conf", TEinstellungen{}),
                 EInOutError);
}
