// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/Zeitrechnung.h"

#include "storage/Kalender.h"

#include <algorithm>
#include <limits>
#include <tuple>

namespace {

constexpr std::int64_t SekundenJeTag = 86400;
constexpr std::int64_t TageJe400Jahre = 146097;

std::int32_t AufInt32Begrenzt(std::int64_t zahl) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        zahl, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::int64_t JahrFuerZaehlung(std::int32_t jahr) {
    if (jahr < 100) {
        return jahr < 17 ? 2000 + static_cast<std::int64_t>(jahr)
                         : 1900 + static_cast<std::int64_t>(jahr);
    }
    return jahr;
}

// Moves whole months out of `tag` into `monat` and `jahr` (monat 1 to 12). Whole 400-year
// cycles go first, since they have the same number of days from any month on.
void TageUebertragen(std::int64_t& tag, std::int32_t& monat, std::int64_t& jahr) {
    if (tag > TageJe400Jahre) {
        const std::int64_t zyklen = (tag - 1) / TageJe400Jahre;
        tag -= zyklen * TageJe400Jahre;
        jahr += zyklen * 400;
    }
    while (tag > MonatsLaenge(monat, jahr)) {
        tag -= MonatsLaenge(monat, jahr);
        if (++monat > 12) {
            monat = 1;
            ++jahr;
        }
    }
}

} // namespace

bool DatumGueltig(const TZeitpunkt& zeitpunkt) {
    return zeitpunkt.Monat >= 1 && zeitpunkt.Monat <= 12 && zeitpunkt.Tag >= 1 &&
           zeitpunkt.Tag <= 31 && zeitpunkt.Jahr >= 0;
}

void JahrErgaenzen(TZeitpunkt& zeitpunkt) {
    if (DatumGueltig(zeitpunkt) && zeitpunkt.Jahr < 100) {
        zeitpunkt.Jahr += zeitpunkt.Jahr <= 20 ? 2000 : 1900;
    }
}

bool ZeitpunktNichtSpaeter(const TZeitpunkt& a, const TZeitpunkt& b) {
    TZeitpunkt x = a;
    TZeitpunkt y = b;
    JahrErgaenzen(x);
    JahrErgaenzen(y);
    return std::tie(x.Jahr, x.Monat, x.Tag, x.Stunde, x.Minute, x.Sekunde) <=
           std::tie(y.Jahr, y.Monat, y.Tag, y.Stunde, y.Minute, y.Sekunde);
}

std::int64_t Sekundenzahl(const TZeitpunkt& zeitpunkt) {
    if (zeitpunkt.Monat < 1 || zeitpunkt.Monat > 12) {
        return 0;
    }
    const std::int64_t jahr = JahrFuerZaehlung(zeitpunkt.Jahr);
    const std::int64_t tage = TageBisMonatsanfang(jahr, zeitpunkt.Monat) -
                              TageBisMonatsanfang(1948, 1) + (std::int64_t{zeitpunkt.Tag} - 1);
    return tage * SekundenJeTag + std::int64_t{zeitpunkt.Stunde} * 3600 +
           std::int64_t{zeitpunkt.Minute} * 60 + zeitpunkt.Sekunde;
}

std::int64_t SekundenAbstand(const TZeitpunkt& a, const TZeitpunkt& b) {
    const std::int64_t abstand = Sekundenzahl(b) - Sekundenzahl(a);
    return abstand < 0 ? -abstand : abstand;
}

void SekundenRastern(TZeitpunkt& zeitpunkt, std::int32_t intervall) {
    if (intervall < 1) {
        return;
    }
    // Nearest multiple in whole numbers: exact, and a tie (remainder of half the interval)
    // goes to the even quotient.
    std::int64_t quotient = zeitpunkt.Sekunde / intervall;
    std::int64_t rest = zeitpunkt.Sekunde % intervall;
    if (rest < 0) {
        rest += intervall;
        --quotient;
    }
    if (2 * rest > intervall || (2 * rest == intervall && quotient % 2 != 0)) {
        ++quotient;
    }
    const std::int64_t gerastert = quotient * intervall;
    if (gerastert <= 59) {
        zeitpunkt.Sekunde = AufInt32Begrenzt(gerastert);
    } else {
        MinutenAddieren(1, zeitpunkt);
        zeitpunkt.Sekunde = 0;
    }
}

void MinutenAddieren(std::int32_t minuten, TZeitpunkt& zeitpunkt) {
    if (minuten < 0) {
        return;
    }
    std::int64_t minute = std::int64_t{zeitpunkt.Minute} + minuten;
    std::int64_t stunde = zeitpunkt.Stunde + minute / 60;
    minute %= 60;
    std::int64_t tag = zeitpunkt.Tag;
    if (stunde >= 24) {
        tag += stunde / 24;
        stunde %= 24;
    }
    std::int64_t jahr = zeitpunkt.Jahr;
    if (zeitpunkt.Monat >= 1 && zeitpunkt.Monat <= 12) {
        TageUebertragen(tag, zeitpunkt.Monat, jahr);
    }
    zeitpunkt.Minute = static_cast<std::int32_t>(minute);
    zeitpunkt.Stunde = AufInt32Begrenzt(stunde);
    zeitpunkt.Tag = AufInt32Begrenzt(tag);
    zeitpunkt.Jahr = AufInt32Begrenzt(jahr);
}
