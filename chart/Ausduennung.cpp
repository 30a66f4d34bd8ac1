// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "chart/Ausduennung.h"

#include <algorithm>
#include <cmath>
#include <utility>

bool LinienWert(const TVerlaufPunkt& punkt, TLinie linie, float& wert) {
    switch (linie) {
    case TLinie::Wert:
        wert = punkt.Wert;
        return true;
    case TLinie::Mittel:
        wert = punkt.Mittel;
        return true;
    case TLinie::Temp:
        wert = punkt.Temp;
        return punkt.MitTemperatur();
    }
    return false;
}

std::pair<std::size_t, std::size_t> PunkteIm(const TPunktFolge& punkte, double vonMs,
                                             double bisMs) {
    // Times are whole milliseconds: t >= vonMs is t >= ceil(vonMs), t < bisMs is t < ceil(bisMs).
    return {punkte.ErsterAb(static_cast<std::int64_t>(std::ceil(vonMs))),
            punkte.ErsterAb(static_cast<std::int64_t>(std::ceil(bisMs)))};
}

namespace {

// The scan for one line, its choice of value fixed at compile time: this loop runs over every
// reading in view at each redraw.
template <TLinie linie>
void Scannen(const TPunktFolge& punkte, double vonMs, double bisMs,
             std::vector<TSpalte>& ergebnis) {
    const double breite = (bisMs - vonMs) / static_cast<double>(ergebnis.size());
    const std::size_t letzte = ergebnis.size() - 1;
    // A gap before a reading counts for the line of every kind, also where the reading itself
    // has no value for this line: the break is carried to the next reading that has one.
    bool luecke = false;
    const auto [von, bis] = PunkteIm(punkte, vonMs, bisMs);
    if (von == bis) {
        return;
    }
    // The breaks are walked beside the readings: the next one at or after the reading's number.
    std::uint64_t nummer = punkte.Entfernt() + von;
    auto bruch = std::lower_bound(punkte.Luecken().begin(), punkte.Luecken().end(), nummer);
    const auto bruchEnde = punkte.Luecken().end();
    punkte.Abschnitte(von, bis, [&](const TVerlaufPunkt* p, const TVerlaufPunkt* ende) {
        for (; p != ende; ++p, ++nummer) {
            if (bruch != bruchEnde && *bruch == nummer) {
                luecke = true;
                ++bruch;
            }
            float wert = 0.0F;
            if (!LinienWert(*p, linie, wert) || std::isnan(wert)) {
                continue;
            }
            const auto k = std::min<std::size_t>(
                static_cast<std::size_t>((static_cast<double>(p->UtcMs) - vonMs) / breite), letzte);
            TSpalte& spalte = ergebnis[k];
            if (!spalte.Belegt) {
                spalte = TSpalte{true, luecke, wert, wert, wert, wert};
            } else {
                spalte.LueckeDavor = spalte.LueckeDavor || luecke;
                spalte.Min = std::min(spalte.Min, wert);
                spalte.Max = std::max(spalte.Max, wert);
                spalte.Letzter = wert;
            }
            luecke = false;
        }
    });
}

} // namespace

std::vector<TSpalte> Ausduennen(const TPunktFolge& punkte, TLinie linie, double vonMs, double bisMs,
                                int spalten) {
    std::vector<TSpalte> ergebnis(static_cast<std::size_t>(std::max(spalten, 0)));
    if (spalten <= 0 || !(bisMs > vonMs)) {
        return ergebnis;
    }
    switch (linie) {
    case TLinie::Wert:
        Scannen<TLinie::Wert>(punkte, vonMs, bisMs, ergebnis);
        break;
    case TLinie::Temp:
        Scannen<TLinie::Temp>(punkte, vonMs, bisMs, ergebnis);
        break;
    case TLinie::Mittel:
        Scannen<TLinie::Mittel>(punkte, vonMs, bisMs, ergebnis);
        break;
    }
    return ergebnis;
}
