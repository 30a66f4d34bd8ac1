// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The texts of the about box.
#include "app/AboutTexte.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Zeilen(const std::string& text, char trenner) {
    std::vector<std::string> zeilen(1);
    for (const char zeichen : text) {
        if (zeichen == trenner) {
            zeilen.emplace_back();
        } else {
            zeilen.back() += zeichen;
        }
    }
    return zeilen;
}

TEST(AboutTexte, TitelMitProgrammname) {
    EXPECT_EQ(AboutTitel("Messung.exe"), "Über Messung.exe, Version 1.2");
    // A name is taken as it is, never as a format.
    EXPECT_EQ(AboutTitel("%s%d"), "Über %s%d, Version 1.2");
}

TEST(AboutTexte, StandMitDatumUndVersion) {
    EXPECT_EQ(AboutStand(), "Stand:  Mai 2004,   Version:  1.2");
}

TEST(AboutTexte, KurztextZeilenDurchWagenruecklauf) {
    const std::string text = AboutKurztext();
    EXPECT_EQ(text.find('\n'), std::string::npos);
    const auto zeilen = Zeilen(text, '\r');
    ASSERT_EQ(zeilen.size(), 5U);
    EXPECT_EQ(zeilen[0], "Programm zur Bedienung der Geräte WTW 325/340.");
    EXPECT_EQ(zeilen[1], "Getestet wurden bisher nur: pH325, Oxi325, Lf340.");
    EXPECT_EQ(zeilen[2], "");
    EXPECT_FALSE(zeilen[3].empty());
    EXPECT_FALSE(zeilen[4].empty());
}

} // namespace
