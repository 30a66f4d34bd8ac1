// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/Kalender.h"
#include "storage/Zeitrechnung.h"

#include "TestZeitpunkt.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <limits>

namespace {

// Seconds from 1 January 1948 to 1 January 1970: 22 years with the 6 leap days of 1948 to 1968.
constexpr std::int64_t Von1948Bis1970 = (22 * 365 + 6) * 86400LL;

// The C library's count for a time stamp, as an independent reference.
std::int64_t NachCBibliothek(const TZeitpunkt& z) {
    std::tm teile{};
    teile.tm_year = z.Jahr - 1900;
    teile.tm_mon = z.Monat - 1;
    teile.tm_mday = z.Tag;
    teile.tm_hour = z.Stunde;
    teile.tm_min = z.Minute;
    teile.tm_sec = z.Sekunde;
    return static_cast<std::int64_t>(::timegm(&teile)) + Von1948Bis1970;
}

// The count of the years 1948 to 2015 as the program always made it: a rounded quotient for the
// leap days before the year and a leap day for every fourth year.
std::int64_t BisherigeZaehlung(const TZeitpunkt& z) {
    static constexpr int laengen[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const std::int64_t y = z.Jahr;
    std::int64_t tage = std::lround((static_cast<double>(y) - 1948 + 1.9) / 4) + z.Tag - 1;
    for (int m = 1; m < z.Monat; ++m) {
        tage += laengen[m - 1];
    }
    if (z.Monat > 2 && y % 4 == 0) {
        ++tage;
    }
    return (y - 1948) * 31536000 + tage * 86400 + z.Stunde * 3600 + z.Minute * 60 + z.Sekunde;
}

TEST(Kalender, MonatslaengenNachGregorianischerRegel) {
    EXPECT_EQ(MonatsLaenge(2, 2001), 28);
    EXPECT_EQ(MonatsLaenge(2, 2004), 29);
    EXPECT_EQ(MonatsLaenge(2, 1900), 28);
    EXPECT_EQ(MonatsLaenge(2, 2000), 29);
    EXPECT_EQ(MonatsLaenge(2, 2100), 28);
    EXPECT_EQ(MonatsLaenge(2, -4), 29);
    EXPECT_EQ(MonatsLaenge(4, 2001), 30);
    EXPECT_EQ(MonatsLaenge(12, 2001), 31);
    EXPECT_EQ(MonatsLaenge(0, 2001), 0);
    EXPECT_EQ(MonatsLaenge(13, 2001), 0);
}

TEST(Kalender, TageUndDatumSindUmkehrbarUeberViele400JahrZyklen) {
    for (std::int64_t tage = -1000000; tage <= 1000000; tage += 997) {
        const TKalenderDatum d = DatumAusTagen(tage);
        ASSERT_GE(d.Tag, 1);
        ASSERT_LE(d.Tag, MonatsLaenge(d.Monat, d.Jahr));
        ASSERT_EQ(TageBisMonatsanfang(d.Jahr, d.Monat) + d.Tag - 1, tage) << tage;
    }
    EXPECT_EQ(TageBisMonatsanfang(1970, 1), 0);
    EXPECT_EQ(TageBisMonatsanfang(2000, 3), 11017); // 1 March 2000
}

TEST(DatumGueltig, PrueftMonatTagUndJahrOhneMonatslaenge) {
    EXPECT_TRUE(DatumGueltig(TZeitpunkt{1, 1, 0, 0, 0, 0}));
    EXPECT_TRUE(DatumGueltig(TZeitpunkt{31, 2, 2001, -1, -1, -1}));
    EXPECT_FALSE(DatumGueltig(TZeitpunkt{0, 1, 2001, 0, 0, 0}));
    EXPECT_FALSE(DatumGueltig(TZeitpunkt{32, 1, 2001, 0, 0, 0}));
    EXPECT_FALSE(DatumGueltig(TZeitpunkt{1, 0, 2001, 0, 0, 0}));
    EXPECT_FALSE(DatumGueltig(TZeitpunkt{1, 13, 2001, 0, 0, 0}));
    EXPECT_FALSE(DatumGueltig(TZeitpunkt{1, 1, -1, 0, 0, 0}));
}

TEST(JahrErgaenzen, ErgaenztNurGueltigeZweistelligeJahre) {
    const struct {
        TZeitpunkt Vorher;
        std::int32_t Jahr;
    } faelle[] = {
        {{6, 12, 1, 0, 0, 0}, 2001},    {{6, 12, 0, 0, 0, 0}, 2000},  {{6, 12, 20, 0, 0, 0}, 2020},
        {{6, 12, 21, 0, 0, 0}, 1921},   {{6, 12, 99, 0, 0, 0}, 1999}, {{6, 12, 100, 0, 0, 0}, 100},
        {{6, 13, 5, 0, 0, 0}, 5},       {{0, 12, 5, 0, 0, 0}, 5},     {{-1, -1, -1, 0, 0, 0}, -1},
        {{6, 12, 2026, 0, 0, 0}, 2026},
    };
    for (const auto& fall : faelle) {
        TZeitpunkt z = fall.Vorher;
        JahrErgaenzen(z);
        EXPECT_EQ(z.Jahr, fall.Jahr) << fall.Vorher.Jahr;
    }
}

TEST(ZeitpunktNichtSpaeter, VergleichtFeldweiseNachErgaenzung) {
    const struct {
        TZeitpunkt A, B;
        bool Erwartet;
    } faelle[] = {
        {{6, 12, 2001, 10, 0, 0}, {6, 12, 2001, 10, 0, 0}, true},
        {{6, 12, 2001, 10, 0, 0}, {6, 12, 2001, 10, 0, 1}, true},
        {{6, 12, 2001, 10, 0, 1}, {6, 12, 2001, 10, 0, 0}, false},
        {{31, 12, 2000, 23, 59, 59}, {1, 1, 2001, 0, 0, 0}, true},
        {{1, 1, 2001, 0, 0, 0}, {31, 12, 2000, 23, 59, 59}, false},
        {{6, 12, 96, 0, 0, 0}, {1, 1, 2001, 0, 0, 0}, true},   // 96 is 1996
        {{1, 1, 20, 0, 0, 0}, {31, 12, 2019, 0, 0, 0}, false}, // 20 is 2020
        {{-1, -1, -1, 10, 0, 0}, {1, 1, 1900, 0, 0, 0}, true},
        {{6, 12, 2001, -1, -1, -1}, {6, 12, 2001, 0, 0, 0}, true},
        {{1, 2, 2001, 0, 0, 0}, {31, 1, 2001, 23, 59, 59}, false},
    };
    for (const auto& fall : faelle) {
        EXPECT_EQ(ZeitpunktNichtSpaeter(fall.A, fall.B), fall.Erwartet)
            << fall.A.Tag << "." << fall.A.Monat << "." << fall.A.Jahr << " " << fall.A.Stunde
            << ":" << fall.A.Minute << ":" << fall.A.Sekunde;
    }
}

TEST(Sekundenzahl, GleichtDerBisherigenZaehlungVon1948Bis2015) {
    for (std::int32_t jahr = 1948; jahr <= 2015; ++jahr) {
        for (std::int32_t monat = 1; monat <= 12; ++monat) {
            for (const std::int32_t tag : {1, 15, MonatsLaenge(monat, jahr)}) {
                for (const TZeitpunkt z : {TZeitpunkt{tag, monat, jahr, 0, 0, 0},
                                           TZeitpunkt{tag, monat, jahr, 23, 59, 59}}) {
                    ASSERT_EQ(Sekundenzahl(z), BisherigeZaehlung(z))
                        << tag << "." << monat << "." << jahr;
                }
            }
        }
    }
}

TEST(Sekundenzahl, ZaehltInJedemJahrWieDieCBibliothek) {
    const TZeitpunkt faelle[] = {
        {1, 1, 1948, 0, 0, 0},   {31, 12, 1947, 23, 59, 59}, {19, 1, 2016, 3, 14, 7},
        {19, 1, 2016, 3, 14, 8}, {31, 12, 2016, 23, 59, 59}, {6, 12, 2026, 16, 53, 34},
        {29, 2, 2028, 12, 0, 0}, {1, 3, 2100, 0, 0, 0},      {1, 3, 2400, 0, 0, 0},
        {15, 10, 1582, 0, 0, 0}, {1, 1, 1900, 0, 0, 0},      {31, 12, 9999, 23, 59, 59},
    };
    for (const auto& z : faelle) {
        EXPECT_EQ(Sekundenzahl(z), NachCBibliothek(z)) << z.Tag << "." << z.Monat << "." << z.Jahr;
    }
    EXPECT_EQ(Sekundenzahl(TZeitpunkt{1, 1, 1948, 0, 0, 0}), 0);
    EXPECT_EQ(Sekundenzahl(TZeitpunkt{1, 1, 1949, 0, 0, 0}), 366 * 86400);
    // Where the 32-bit count used to turn negative it goes on counting.
    EXPECT_EQ(Sekundenzahl(TZeitpunkt{19, 1, 2016, 3, 14, 8}), 2147483648LL);
    EXPECT_GT(Sekundenzahl(TZeitpunkt{6, 12, 2026, 16, 53, 34}), 2147483648LL);
}

TEST(Sekundenzahl, ZweistelligeJahreUndUngueltigeMonate) {
    EXPECT_EQ(Sekundenzahl(TZeitpunkt{6, 12, 16, 1, 2, 3}),
              Sekundenzahl(TZeitpunkt{6, 12, 2016, 1, 2, 3}));
    EXPECT_EQ(Sekundenzahl(TZeitpunkt{6, 12, 17, 1, 2, 3}),
              Sekundenzahl(TZeitpunkt{6, 12, 1917, 1, 2, 3}));
    EXPECT_EQ(Sekundenzahl(TZeitpunkt{6, 12, 99, 0, 0, 0}),
              Sekundenzahl(TZeitpunkt{6, 12, 1999, 0, 0, 0}));
    EXPECT_EQ(Sekundenzahl(TZeitpunkt{6, 0, 2001, 10, 0, 0}), 0);
    EXPECT_EQ(Sekundenzahl(TZeitpunkt{6, 13, 2001, 10, 0, 0}), 0);
    EXPECT_EQ(Sekundenzahl(TZeitpunkt{-1, -1, -1, -1, -1, -1}), 0);
    // Extreme fields neither overflow nor trap.
    const std::int32_t gross = std::numeric_limits<std::int32_t>::max();
    const std::int32_t klein = std::numeric_limits<std::int32_t>::min();
    EXPECT_GT(Sekundenzahl(TZeitpunkt{gross, 12, gross, gross, gross, gross}), 0);
    EXPECT_LT(Sekundenzahl(TZeitpunkt{klein, 1, 100, klein, klein, klein}), 0);
}

TEST(SekundenAbstand, IstBetragDerDifferenzInJedemJahr) {
    const struct {
        TZeitpunkt A, B;
        std::int64_t Erwartet;
    } faelle[] = {
        {{6, 12, 2026, 10, 0, 0}, {6, 12, 2026, 10, 2, 0}, 120},
        {{6, 12, 2026, 10, 2, 0}, {6, 12, 2026, 10, 0, 0}, 120},
        {{19, 1, 2016, 3, 14, 7}, {19, 1, 2016, 3, 14, 8}, 1},
        {{31, 12, 2025, 23, 59, 59}, {1, 1, 2026, 0, 0, 0}, 1},
        {{28, 2, 2028, 0, 0, 0}, {1, 3, 2028, 0, 0, 0}, 2 * 86400},
        {{28, 2, 2100, 0, 0, 0}, {1, 3, 2100, 0, 0, 0}, 86400},
        {{1, 1, 1948, 0, 0, 0}, {1, 1, 2048, 0, 0, 0}, (100LL * 365 + 25) * 86400},
        {{6, 12, 2001, 10, 0, 0}, {6, 12, 2001, 10, 0, 0}, 0},
    };
    for (const auto& fall : faelle) {
        EXPECT_EQ(SekundenAbstand(fall.A, fall.B), fall.Erwartet)
            << fall.A.Jahr << " " << fall.B.Jahr;
    }
}

struct TRasterFall {
    std::int32_t Intervall;
    std::int32_t Sekunde;
    std::int32_t Minute; // after alignment; the start is 10:30
    std::int32_t Ergebnis;
};

TEST(SekundenRastern, RundetZumNaechstenVielfachenUndBeiGleichstandZumGeraden) {
    const TRasterFall faelle[] = {
        {5, 12, 30, 10},  {5, 13, 30, 15},  {5, 57, 30, 55},  {5, 58, 31, 0},   {10, 5, 30, 0},
        {10, 15, 30, 20}, {10, 25, 30, 20}, {10, 35, 30, 40}, {10, 45, 30, 40}, {10, 55, 31, 0},
        {10, 4, 30, 0},   {10, 59, 31, 0},  {15, 7, 30, 0},   {15, 8, 30, 15},  {15, 52, 30, 45},
        {15, 53, 31, 0},  {20, 10, 30, 0},  {20, 30, 30, 40}, {20, 50, 30, 40}, {20, 51, 31, 0},
        {30, 15, 30, 0},  {30, 44, 30, 30}, {30, 45, 31, 0},  {1, 37, 30, 37},  {10, -1, 30, 0},
        {0, 37, 30, 37},  {-5, 37, 30, 37},
    };
    for (const auto& fall : faelle) {
        TZeitpunkt z{6, 12, 2001, 10, 30, fall.Sekunde};
        SekundenRastern(z, fall.Intervall);
        EXPECT_EQ(z, (TZeitpunkt{6, 12, 2001, 10, fall.Minute, fall.Ergebnis}))
            << fall.Intervall << " s, :" << fall.Sekunde;
    }
}

TEST(SekundenRastern, UebertragInDenNaechstenTagUndDasNaechsteJahr) {
    TZeitpunkt z{6, 12, 2001, 23, 59, 50};
    SekundenRastern(z, 30);
    EXPECT_EQ(z, (TZeitpunkt{7, 12, 2001, 0, 0, 0}));
    TZeitpunkt silvester{31, 12, 2026, 23, 59, 58};
    SekundenRastern(silvester, 5);
    EXPECT_EQ(silvester, (TZeitpunkt{1, 1, 2027, 0, 0, 0}));
}

TEST(MinutenAddieren, UebertraegtInStundeTagMonatUndJahr) {
    const struct {
        TZeitpunkt Vorher;
        std::int32_t Minuten;
        TZeitpunkt Nachher;
    } faelle[] = {
        {{6, 12, 2001, 10, 59, 7}, 1, {6, 12, 2001, 11, 0, 7}},
        {{6, 12, 2026, 16, 53, 34}, 60, {6, 12, 2026, 17, 53, 34}},
        {{6, 12, 2001, 10, 0, 0}, 0, {6, 12, 2001, 10, 0, 0}},
        {{6, 12, 2001, 10, 0, 0}, -5, {6, 12, 2001, 10, 0, 0}},
        {{6, 12, 2001, 23, 30, 0}, 30, {7, 12, 2001, 0, 0, 0}},
        {{28, 2, 2001, 23, 59, 0}, 1, {1, 3, 2001, 0, 0, 0}},
        {{28, 2, 2004, 23, 59, 0}, 1, {29, 2, 2004, 0, 0, 0}},
        {{29, 2, 2004, 23, 59, 0}, 1, {1, 3, 2004, 0, 0, 0}},
        {{28, 2, 2000, 23, 59, 0}, 1, {29, 2, 2000, 0, 0, 0}},
        {{28, 2, 2100, 23, 59, 0}, 1, {1, 3, 2100, 0, 0, 0}},
        {{30, 4, 2026, 23, 59, 0}, 1, {1, 5, 2026, 0, 0, 0}},
        {{31, 12, 2001, 23, 59, 0}, 1, {1, 1, 2002, 0, 0, 0}},
        {{30, 1, 2001, 0, 0, 0}, 30 * 1440, {1, 3, 2001, 0, 0, 0}},
        {{31, 12, 2003, 12, 0, 0}, 60 * 1440 + 720, {1, 3, 2004, 0, 0, 0}}, // over 29 February
        {{-1, -1, -1, -1, -1, -1}, 1, {-1, -1, -1, -1, 0, -1}},
        {{40, 13, 2001, 23, 0, 0}, 60, {41, 13, 2001, 0, 0, 0}}, // no month to carry into
    };
    for (const auto& fall : faelle) {
        TZeitpunkt z = fall.Vorher;
        MinutenAddieren(fall.Minuten, z);
        EXPECT_EQ(z, fall.Nachher) << fall.Vorher.Tag << "." << fall.Vorher.Monat << "."
                                   << fall.Vorher.Jahr << " + " << fall.Minuten;
    }
}

TEST(MinutenAddieren, GrosseSpruengeStimmenMitDerSekundenzahlUeberein) {
    for (const std::int32_t minuten : {1439, 525600, 5259600, 100000007, 2147483647}) {
        for (const TZeitpunkt start :
             {TZeitpunkt{6, 12, 2001, 10, 0, 0}, TZeitpunkt{29, 2, 2000, 23, 59, 59},
              TZeitpunkt{31, 1, 1999, 0, 0, 0}}) {
            TZeitpunkt z = start;
            MinutenAddieren(minuten, z);
            EXPECT_TRUE(DatumGueltig(z));
            EXPECT_LE(z.Tag, MonatsLaenge(z.Monat, z.Jahr));
            EXPECT_EQ(Sekundenzahl(z) - Sekundenzahl(start), std::int64_t{minuten} * 60)
                << minuten << " minutes";
            EXPECT_EQ(Sekundenzahl(z), NachCBibliothek(z));
        }
    }
}

} // namespace
