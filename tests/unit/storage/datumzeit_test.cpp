// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/DatumZeit.h"
#include "storage/Kalender.h"

#include "TestZeitpunkt.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TZeitpunkt Gesetzt(TDateTime wert) {
    TZeitpunkt z{-9, -9, -9, -9, -9, -9};
    ZeitpunktSetzen(z, wert);
    return z;
}

TEST(ZeitpunktSetzen, BekannteWerte) {
    EXPECT_EQ(Gesetzt(0.0), (TZeitpunkt{30, 12, 1899, 0, 0, 0}));
    EXPECT_EQ(Gesetzt(2.0), (TZeitpunkt{1, 1, 1900, 0, 0, 0}));
    EXPECT_EQ(Gesetzt(36526.5), (TZeitpunkt{1, 1, 2000, 12, 0, 0}));
    EXPECT_EQ(Gesetzt(25569.0), (TZeitpunkt{1, 1, 1970, 0, 0, 0}));
    EXPECT_EQ(Gesetzt(37231.0 + 52205.0 / 86400.0), (TZeitpunkt{6, 12, 2001, 14, 30, 5}));
    EXPECT_EQ(Gesetzt(-1.25), (TZeitpunkt{29, 12, 1899, 6, 0, 0}));
}

TEST(ZeitpunktSetzen, BruchteileDesTagesErgebenNieSekunde60) {
    EXPECT_EQ(Gesetzt(0.99999999), (TZeitpunkt{30, 12, 1899, 23, 59, 59}));
    EXPECT_EQ(Gesetzt(0.9999999999999), (TZeitpunkt{30, 12, 1899, 23, 59, 59}));
    EXPECT_EQ(Gesetzt(std::nextafter(1.0, 0.0)), (TZeitpunkt{30, 12, 1899, 23, 59, 59}));
    EXPECT_EQ(Gesetzt(37231.0 + 86399.9996 / 86400.0), (TZeitpunkt{6, 12, 2001, 23, 59, 59}));
    // 1 ms short of a full second: milliseconds are dropped, not rounded into the next second.
    EXPECT_EQ(Gesetzt(37231.0 + 5.999 / 86400.0), (TZeitpunkt{6, 12, 2001, 0, 0, 5}));
}

TEST(ZeitpunktSetzen, UnsinnigeWerteBleibenImKalender) {
    const double faelle[] = {std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(),
                             1e300,
                             -1e300,
                             std::numeric_limits<double>::denorm_min()};
    for (const double wert : faelle) {
        const TZeitpunkt z = Gesetzt(wert);
        EXPECT_GE(z.Jahr, 1) << wert;
        EXPECT_LE(z.Jahr, 9999) << wert;
        EXPECT_GE(z.Tag, 1);
        EXPECT_LE(z.Tag, MonatsLaenge(z.Monat, z.Jahr));
        EXPECT_GE(z.Stunde, 0);
        EXPECT_LE(z.Stunde, 23);
        EXPECT_LE(z.Sekunde, 59);
    }
    EXPECT_EQ(Gesetzt(std::numeric_limits<double>::quiet_NaN()),
              (TZeitpunkt{30, 12, 1899, 0, 0, 0}));
    EXPECT_EQ(Gesetzt(1e300), (TZeitpunkt{31, 12, 9999, 23, 59, 59}));
    EXPECT_EQ(Gesetzt(-1e300), (TZeitpunkt{1, 1, 1, 0, 0, 0}));
}

TEST(DatumUndZeitUebernehmen, SetzenNurIhreDreiFelder) {
    const TDateTime wert = 37231.0 + 52205.0 / 86400.0; // 06.12.2001 14:30:05
    TZeitpunkt z{1, 2, 3, 4, 5, 6};
    DatumUebernehmen(z, wert);
    EXPECT_EQ(z, (TZeitpunkt{6, 12, 2001, 4, 5, 6}));
    TZeitpunkt t{1, 2, 3, 4, 5, 6};
    ZeitUebernehmen(t, wert);
    EXPECT_EQ(t, (TZeitpunkt{1, 2, 3, 14, 30, 5}));
}

TEST(ZeitpunktAlsDatumZeit, JedeSekundeEinesTagesKommtUnveraendertZurueck) {
    for (std::int32_t s = 0; s < 86400; ++s) {
        const TZeitpunkt z{6, 12, 2026, s / 3600, s / 60 % 60, s % 60};
        ASSERT_EQ(Gesetzt(ZeitpunktAlsDatumZeit(z)), z) << s;
    }
}

TEST(ZeitpunktAlsDatumZeit, DatenUeberJahrhunderteKommenUnveraendertZurueck) {
    for (std::int32_t jahr : {100, 1600, 1899, 1900, 1948, 2000, 2016, 2026, 2100, 9999}) {
        for (std::int32_t monat = 1; monat <= 12; ++monat) {
            for (const std::int32_t tag : {1, MonatsLaenge(monat, jahr)}) {
                const TZeitpunkt z{tag, monat, jahr, 12, 34, 56};
                ASSERT_EQ(Gesetzt(ZeitpunktAlsDatumZeit(z)), z)
                    << tag << "." << monat << "." << jahr;
            }
        }
    }
}

TEST(ZeitpunktAlsDatumZeit, ErgaenztZweistelligeJahreUndUebertraegtUeberlaeufe) {
    EXPECT_DOUBLE_EQ(ZeitpunktAlsDatumZeit(TZeitpunkt{6, 12, 1, 12, 0, 0}), 37231.5);
    EXPECT_DOUBLE_EQ(ZeitpunktAlsDatumZeit(TZeitpunkt{30, 12, 1899, 0, 0, 0}), 0.0);
    EXPECT_DOUBLE_EQ(ZeitpunktAlsDatumZeit(TZeitpunkt{29, 12, 1899, 6, 0, 0}), -1.25);
    EXPECT_EQ(Gesetzt(ZeitpunktAlsDatumZeit(TZeitpunkt{31, 2, 2001, 24, 0, 0})),
              (TZeitpunkt{4, 3, 2001, 0, 0, 0}));
    EXPECT_EQ(Gesetzt(ZeitpunktAlsDatumZeit(TZeitpunkt{1, 1, 2001, -1, -1, -1})),
              (TZeitpunkt{31, 12, 2000, 22, 58, 59}));
    EXPECT_DOUBLE_EQ(ZeitpunktAlsDatumZeit(TZeitpunkt{6, 13, 2001, 12, 0, 0}), 0.5);
}

} // namespace
