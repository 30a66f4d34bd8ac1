// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/Kalender.h"

namespace {

constexpr std::int64_t TageJeZyklus = 146097; // 400 Gregorian years
constexpr std::int64_t TageBis1970 = 719468;  // from 1 March of year 0 to 1 January 1970

// Division rounding towards minus infinity, for years and days before the zero point.
std::int64_t AbgerundetTeilen(std::int64_t zaehler, std::int64_t nenner) {
    const std::int64_t q = zaehler / nenner;
    return (zaehler % nenner != 0 && (zaehler < 0) != (nenner < 0)) ? q - 1 : q;
}

} // namespace

bool IstSchaltjahr(std::int64_t jahr) {
    return (jahr % 4 == 0 && jahr % 100 != 0) || jahr % 400 == 0;
}

std::int32_t MonatsLaenge(std::int32_t monat, std::int64_t jahr) {
    static constexpr std::int32_t laengen[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (monat < 1 || monat > 12) {
        return 0;
    }
    return laengen[monat - 1] + ((monat == 2 && IstSchaltjahr(jahr)) ? 1 : 0);
}

// The year is counted from March, so that the leap day is the last day of a counting year.
std::int64_t TageBisMonatsanfang(std::int64_t jahr, std::int32_t monat) {
    const std::int64_t j = monat <= 2 ? jahr - 1 : jahr;
    const std::int64_t zyklus = AbgerundetTeilen(j, 400);
    const std::int64_t jahrImZyklus = j - zyklus * 400;
    const std::int64_t m = monat > 2 ? monat - 3 : monat + 9;
    const std::int64_t tagImJahr = (153 * m + 2) / 5;
    const std::int64_t tagImZyklus =
        jahrImZyklus * 365 + jahrImZyklus / 4 - jahrImZyklus / 100 + tagImJahr;
    return zyklus * TageJeZyklus + tagImZyklus - TageBis1970;
}

TKalenderDatum DatumAusTagen(std::int64_t tage) {
    const std::int64_t z = tage + TageBis1970;
    const std::int64_t zyklus = AbgerundetTeilen(z, TageJeZyklus);
    const std::int64_t tagImZyklus = z - zyklus * TageJeZyklus;
    const std::int64_t jahrImZyklus =
        (tagImZyklus - tagImZyklus / 1460 + tagImZyklus / 36524 - tagImZyklus / 146096) / 365;
    const std::int64_t tagImJahr =
        tagImZyklus - (365 * jahrImZyklus + jahrImZyklus / 4 - jahrImZyklus / 100);
    const std::int64_t m = (5 * tagImJahr + 2) / 153;
    const auto tag = static_cast<std::int32_t>(tagImJahr - (153 * m + 2) / 5 + 1);
    const auto monat = static_cast<std::int32_t>(m < 10 ? m + 3 : m - 9);
    const std::int64_t jahr = jahrImZyklus + zyklus * 400 + (monat <= 2 ? 1 : 0);
    return {jahr, monat, tag};
}
