// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/PCZeit.h"

#include "TestZeitpunkt.h"
#include "TestZeitzone.h"

#include <gtest/gtest.h>

namespace {

TEST(PCZeitstempel, DeutscheKurzesDatumUndLangeZeit) {
    const TZeitpunkt z{6, 12, 2026, 16, 53, 34};
    EXPECT_EQ(PCDatumText(z), "06.12.2026");
    EXPECT_EQ(PCZeitText(z), "16:53:34");
    EXPECT_EQ(PCDatumZeitText(z), "06.12.2026, 16:53:34");
    const TPCZeitstempel stempel = PCZeitstempel(TZeitpunkt{1, 2, 2001, 3, 4, 5});
    EXPECT_EQ(stempel.Datum, "01.02.2001");
    EXPECT_EQ(stempel.Zeit, "03:04:05");
    EXPECT_EQ(PCDatumText(TZeitpunkt{9, 9, 987, 0, 0, 0}), "09.09.0987");
}

TEST(DatumText, TagUndMonatZweistelligJahrDezimal) {
    EXPECT_EQ(DatumText(TZeitpunkt{6, 12, 2001, 0, 0, 0}), "06.12.2001");
    EXPECT_EQ(DatumText(TZeitpunkt{31, 1, 2026, 23, 59, 59}), "31.01.2026");
    EXPECT_EQ(DatumText(TZeitpunkt{1, 1, 987, 0, 0, 0}), "01.01.987");
}

TEST_F(ZeitzonenTest, FolgtDerLokalenZeitzone) {
    Zeitzone("UTC0");
    EXPECT_EQ(LokaleZeit(0), (TZeitpunkt{1, 1, 1970, 0, 0, 0}));
    EXPECT_EQ(LokaleZeit(1796575414), (TZeitpunkt{6, 12, 2026, 16, 43, 34}));
    Zeitzone("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(LokaleZeit(1796575414), (TZeitpunkt{6, 12, 2026, 17, 43, 34}));
    EXPECT_EQ(LokaleZeit(1782900000), (TZeitpunkt{1, 7, 2026, 12, 0, 0})); // summer time
}

} // namespace
