// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "reception/MemoInhalt.h"

#include <gtest/gtest.h>

namespace {

QString Zeichen(int anzahl) {
    return QString(anzahl, QChar('x'));
}

TEST(MemoAnhaengen, EmptiesOnlyWhenTheTextPassesOneThousandCharacters) {
    struct TFall {
        int Vorher;
        int Neu;
        bool Geleert;
    };
    for (const TFall& fall : {TFall{990, 10, false}, TFall{990, 11, true}, TFall{0, 1000, false},
                              TFall{0, 1001, true}, TFall{999, 1, false}}) {
        TMemoInhalt memo;
        MemoAnhaengen(memo, Zeichen(fall.Vorher), false);
        EXPECT_EQ(MemoAnhaengen(memo, Zeichen(fall.Neu), false), fall.Geleert)
            << fall.Vorher << "+" << fall.Neu;
        // The text just appended goes too.
        EXPECT_EQ(MemoLaenge(memo), fall.Geleert ? 0 : fall.Vorher + fall.Neu);
        EXPECT_EQ(memo.Leerungen, fall.Geleert ? 1U : 0U);
    }
}

TEST(MemoAnhaengen, TheTenthChunkWithALineFeedEmptiesTheMemo) {
    TMemoInhalt memo;
    for (int i = 0; i < 9; ++i) {
        ASSERT_FALSE(MemoAnhaengen(memo, "a<LF>\r\n", true));
    }
    EXPECT_EQ(memo.MemoZeilen, 9);
    EXPECT_FALSE(MemoAnhaengen(memo, Zeichen(30), false));
    EXPECT_EQ(MemoLaenge(memo), 9 * 7 + 30);
    EXPECT_TRUE(MemoAnhaengen(memo, "b<LF>\r\n", true));
    EXPECT_EQ(MemoLaenge(memo), 0);
    EXPECT_EQ(memo.MemoZeilen, 0);
    // Counting starts over after the emptying.
    EXPECT_FALSE(MemoAnhaengen(memo, "c<LF>\r\n", true));
    EXPECT_EQ(memo.MemoZeilen, 1);
    EXPECT_EQ(memo.Text, "c<LF>\r\n");
}

TEST(MemoLeeren, EmptiesTextAndCountAndTellsTheView) {
    TMemoInhalt memo;
    MemoAnhaengen(memo, "a<LF>\r\n", true);
    MemoLeeren(memo);
    MemoLeeren(memo);
    EXPECT_TRUE(memo.Text.isEmpty());
    EXPECT_EQ(memo.MemoZeilen, 0);
    EXPECT_EQ(memo.Leerungen, 2U);
}

} // namespace
