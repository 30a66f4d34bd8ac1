// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/Datenzeile.h"
#include "storage/LetzteKopfzeile.h"
#include "storage/StartFehler.h"

#include "TestOrdner.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

TEST(LetzteKopfzeile, IstDieLetzteZeileDieMitPcDatumBeginnt) {
    constexpr std::size_t Block = 64 * 1024;
    const std::string kurz = KopfZeile(TWertArt::Messwert, false);
    const std::string lang = KopfZeile(TWertArt::Messwert, true);
    const std::string zeile = "06.12.2001\t14:30:05\t  7,00\r\n";
    // `vorDemEnde` bytes after the start of the header line, the file's end.
    const auto endeNach = [&](std::size_t vorDemEnde) {
        return std::string(10, 'y') + "\r\n" + kurz +
               std::string(vorDemEnde - kurz.size() - 2, 'x') + "\r\n";
    };
    const std::pair<std::string, bool> faelle[] = {
        {"", false},
        {kurz, true},
        {kurz + zeile, true},
        {lang + zeile + kurz + zeile, true},
        {kurz + zeile + lang + zeile, false},
        {"x" + kurz + zeile, false},                             // not at a line's start
        {kurz.substr(0, kurz.size() - 2) + "\tmehr\r\n", false}, // a longer header
        {endeNach(Block), true},                                 // starts at a block's first byte
        {endeNach(Block + 1), true}, // the byte before is in the next block
        {endeNach(Block + 4), true}, // the mark spans two blocks
        {kurz + std::string(17 * 1024 * 1024, 'x') + "\r\n", false}, // too far back
    };
    TTestOrdner v;
    const std::string pfad = v.Datei("Daten.txt");
    for (const auto& [inhalt, gleich] : faelle) {
        SCOPED_TRACE(inhalt.substr(0, 40));
        DateiSchreiben(pfad, inhalt);
        EXPECT_EQ(LetzteKopfzeileGleich(pfad, kurz), gleich);
    }
    EXPECT_FALSE(LetzteKopfzeileGleich(v.Datei("fehlt.txt"), kurz));
    EXPECT_FALSE(LetzteKopfzeileGleich(v.Verzeichnis(), kurz));
}

// Asked before "the file exists already": a directory or a device is told as what it is.
TEST(UngeeigneteDatei, SagtWasDerPfadStattEinerDateiIst) {
    TTestOrdner v;
    DateiSchreiben(v / "Daten.txt", "alt\r\n");
    EXPECT_EQ(UngeeigneteDatei(v.Datei("Daten.txt")), "");
    EXPECT_EQ(UngeeigneteDatei(v.Datei("fehlt.txt")), "");
    EXPECT_EQ(UngeeigneteDatei("/dev/null"), "");
    EXPECT_TRUE(UngeeigneteDatei(v.Verzeichnis())
                    .starts_with("Speichern nicht möglich: Der Pfad bezeichnet ein Verzeichnis"));
    EXPECT_TRUE(UngeeigneteDatei("/dev/zero")
                    .starts_with("Speichern nicht möglich: Der Pfad bezeichnet ein Gerät"));
}

} // namespace
