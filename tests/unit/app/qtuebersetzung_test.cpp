// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "app/QtUebersetzung.h"

#include <QCoreApplication>
#include <QString>

#include <gtest/gtest.h>

namespace {

struct TSpracheFall {
    const char* LcAll;
    const char* LcMessages;
    const char* Lang;
    bool Deutsch;
};

class QtTexteDeutschTest : public testing::TestWithParam<TSpracheFall> {};

TEST_P(QtTexteDeutschTest, FolgtDerSpracheDerMeldungen) {
    const TSpracheFall& fall = GetParam();
    EXPECT_EQ(QtTexteDeutsch(fall.LcAll, fall.LcMessages, fall.Lang), fall.Deutsch);
}

INSTANTIATE_TEST_SUITE_P(Faelle, QtTexteDeutschTest,
                         testing::Values(
                             // No language chosen: the program's own, German.
                             TSpracheFall{nullptr, nullptr, nullptr, true},
                             TSpracheFall{"", "", "", true},
                             TSpracheFall{nullptr, nullptr, "C", true},
                             TSpracheFall{nullptr, nullptr, "C.UTF-8", true},
                             TSpracheFall{nullptr, nullptr, "POSIX", true},
                             TSpracheFall{nullptr, nullptr, "de_DE.UTF-8", true},
                             TSpracheFall{nullptr, nullptr, "de_AT@euro", true},
                             TSpracheFall{nullptr, nullptr, "en_US.UTF-8", false},
                             TSpracheFall{nullptr, nullptr, "dsb_DE.UTF-8", false},
                             // LC_ALL before LC_MESSAGES before LANG; an empty one does not count.
                             TSpracheFall{"en_GB.UTF-8", "de_DE.UTF-8", "de_DE.UTF-8", false},
                             TSpracheFall{"", "fr_FR.UTF-8", "de_DE.UTF-8", false},
                             TSpracheFall{nullptr, "de_CH.UTF-8", "en_US.UTF-8", true},
                             TSpracheFall{"C", nullptr, "en_US.UTF-8", true}));

// The German translation loads from the folder Qt reports and turns Qt's own texts German.
TEST(QtUebersetzung, LaedtQtsDeutscheTexte) {
    ASSERT_TRUE(QtUebersetzungLaden(*QCoreApplication::instance())) << QtUebersetzungFehltMeldung();
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString("Abbrechen"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "File &name:"), QString("Datei&name:"));
}

} // namespace
