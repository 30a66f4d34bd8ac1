// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "app/DateinameGueltig.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

struct TNamensFall {
    std::string Name;
    bool Gueltig;
};

class DateinameGueltigTest : public testing::TestWithParam<TNamensFall> {};

TEST_P(DateinameGueltigTest, PrueftJedesByte) {
    EXPECT_EQ(DateinameGueltig(GetParam().Name), GetParam().Gueltig);
}

INSTANTIATE_TEST_SUITE_P(
    Namen, DateinameGueltigTest,
    testing::Values(TNamensFall{"Messung1", true}, TNamensFall{"Daten.txt", true},
                    TNamensFall{"a", true}, TNamensFall{" ", true}, TNamensFall{"z", true},
                    TNamensFall{"!#$%&'()", true}, TNamensFall{"+,-.;=@[", true},
                    TNamensFall{"]^_`09AZ", true}, TNamensFall{"", false},
                    TNamensFall{"a\"b", false}, TNamensFall{"a*b", false},
                    TNamensFall{"a/b", false}, TNamensFall{"a:b", false}, TNamensFall{"a<b", false},
                    TNamensFall{"a>b", false}, TNamensFall{"a?b", false},
                    TNamensFall{"a\\b", false}, TNamensFall{"a|b", false},
                    TNamensFall{"a\x1F", false}, TNamensFall{"\t", false},
                    TNamensFall{"a{b", false}, TNamensFall{"a}b", false},
                    TNamensFall{"Mess~1", false}, TNamensFall{"Ma\xC3\xA4", false}, // "ä" in UTF-8
                    TNamensFall{"a\x7F", false}, TNamensFall{std::string("a\0b", 3), false}));

struct TPfadFall {
    std::string Verzeichnis;
    std::string Name;
    std::optional<std::string> Ergebnis;
};

class NeueAusgabedateiTest : public testing::TestWithParam<TPfadFall> {};

TEST_P(NeueAusgabedateiTest, SetztVerzeichnisUndNamen) {
    EXPECT_EQ(NeueAusgabedatei(GetParam().Verzeichnis, GetParam().Name), GetParam().Ergebnis);
}

INSTANTIATE_TEST_SUITE_P(
    Pfade, NeueAusgabedateiTest,
    testing::Values(TPfadFall{"/home/labor/Daten", "Messung1", "/home/labor/Daten/Messung1"},
                    // The root keeps its single delimiter.
                    TPfadFall{"/", "Messung1", "/Messung1"},
                    TPfadFall{"/home/labor/", "Messung1", "/home/labor/Messung1"},
                    // Blanks and control characters around the name and the directory are dropped.
                    TPfadFall{" /tmp/a\t", " \tMessung1 \n", "/tmp/a/Messung1"},
                    // Blanks inside a name are kept.
                    TPfadFall{"/tmp", "a b", "/tmp/a b"},
                    // The mask of the file list is no name.
                    TPfadFall{"/tmp", "*.*", std::nullopt},
                    TPfadFall{"/tmp", "Mess~1", std::nullopt},
                    TPfadFall{"/tmp", "M\xC3\xA4", std::nullopt},
                    TPfadFall{"/tmp", "   ", std::nullopt}, TPfadFall{"/tmp", "", std::nullopt}));

TEST(Trimmen, EntferntNurAmRand) {
    EXPECT_EQ(Trimmen("\x01 a b \x1F "), "a b");
    EXPECT_EQ(Trimmen(" \t\r\n"), "");
    EXPECT_EQ(Trimmen("ab"), "ab");
    // 0x7F and bytes above are no blanks.
    EXPECT_EQ(Trimmen("\x7F"
                      "a\xC3\xA4"),
              "\x7F"
              "a\xC3\xA4");
}

} // namespace
