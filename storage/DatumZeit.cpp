// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/DatumZeit.h"

#include "storage/Kalender.h"
#include "storage/Zeitrechnung.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr std::int64_t TageVon1899Bis1970 = 25569;
constexpr std::int64_t MillisekundenJeTag = 86400000;
constexpr double SekundenJeTag = 86400.0;
constexpr double KleinsterWert = -693593.0;           // 1 January 0001, 00:00:00
constexpr double GroessterWert = 2958465.99999998842; // 31 December 9999, 23:59:59.999

struct TZerlegt {
    std::int64_t Tage;         // whole days since 30 December 1899
    std::int64_t Millisekunde; // of the day, 0 to 86 399 999
};

TZerlegt Zerlegen(TDateTime wert) {
    const double begrenzt = std::isnan(wert) ? 0.0 : std::clamp(wert, KleinsterWert, GroessterWert);
    const double ganz = std::trunc(begrenzt);
    const double bruch = std::fabs(begrenzt - ganz);
    const auto ms =
        static_cast<std::int64_t>(std::llround(bruch * static_cast<double>(MillisekundenJeTag)));
    return {static_cast<std::int64_t>(ganz), std::min(ms, MillisekundenJeTag - 1)};
}

void DatumSetzen(TZeitpunkt& zeitpunkt, const TZerlegt& teile) {
    const TKalenderDatum datum = DatumAusTagen(teile.Tage - TageVon1899Bis1970);
    zeitpunkt.Tag = datum.Tag;
    zeitpunkt.Monat = datum.Monat;
    zeitpunkt.Jahr = static_cast<std::int32_t>(datum.Jahr); // 1 to 9999 after clamping
}

void ZeitSetzen(TZeitpunkt& zeitpunkt, const TZerlegt& teile) {
    const std::int64_t sekunden = teile.Millisekunde / 1000;
    zeitpunkt.Stunde = static_cast<std::int32_t>(sekunden / 3600);
    zeitpunkt.Minute = static_cast<std::int32_t>(sekunden / 60 % 60);
    zeitpunkt.Sekunde = static_cast<std::int32_t>(sekunden % 60);
}

std::int64_t AbgerundetTeilen(std::int64_t zaehler, std::int64_t nenner) {
    const std::int64_t q = zaehler / nenner;
    return (zaehler % nenner != 0 && zaehler < 0) ? q - 1 : q;
}

} // namespace

void ZeitpunktSetzen(TZeitpunkt& zeitpunkt, TDateTime wert) {
    const TZerlegt teile = Zerlegen(wert);
    DatumSetzen(zeitpunkt, teile);
    ZeitSetzen(zeitpunkt, teile);
}

void DatumUebernehmen(TZeitpunkt& zeitpunkt, TDateTime wert) {
    DatumSetzen(zeitpunkt, Zerlegen(wert));
}

void ZeitUebernehmen(TZeitpunkt& zeitpunkt, TDateTime wert) {
    ZeitSetzen(zeitpunkt, Zerlegen(wert));
}

TDateTime ZeitpunktAlsDatumZeit(const TZeitpunkt& zeitpunkt) {
    TZeitpunkt z = zeitpunkt;
    JahrErgaenzen(z);
    std::int64_t tage = 0;
    if (z.Monat >= 1 && z.Monat <= 12) {
        tage =
            TageBisMonatsanfang(z.Jahr, z.Monat) + TageVon1899Bis1970 + (std::int64_t{z.Tag} - 1);
    }
    const std::int64_t sekunden =
        std::int64_t{z.Stunde} * 3600 + std::int64_t{z.Minute} * 60 + z.Sekunde;
    const std::int64_t tagesUebertrag = AbgerundetTeilen(sekunden, 86400);
    tage += tagesUebertrag;
    const double bruch = static_cast<double>(sekunden - tagesUebertrag * 86400) / SekundenJeTag;
    // Before 30 December 1899 the fraction counts forward from that day's midnight too.
    return tage >= 0 ? static_cast<double>(tage) + bruch : static_cast<double>(tage) - bruch;
}
