// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "chart/Ausduennung.h"

#include <algorithm>
#include <cmath>

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

std::vector<TSpalte> Ausduennen(const TPunktFolge& punkte, TLinie linie, double vonMs, double bisMs,
                                int spalten) {
    std::vector<TSpalte> ergebnis(static_cast<std::size_t>(std::max(spalten, 0)));
    if (spalten <= 0 || !(bisMs > vonMs)) {
        return ergebnis;
    }
    const double breite = (bisMs - vonMs) / spalten;
    // A gap before a reading counts for the line of every kind, also where the reading itself
    // has no value for this line: the break is carried to the next reading that has one.
    bool luecke = false;
    std::size_t i = punkte.ErsterAb(static_cast<std::int64_t>(std::ceil(vonMs)));
    for (; i < punkte.size(); ++i) {
        const TVerlaufPunkt& punkt = punkte[i];
        const double t = static_cast<double>(punkt.UtcMs);
        if (t >= bisMs) {
            break;
        }
        luecke = luecke || punkt.LueckeDavor();
        float wert = 0.0F;
        if (!LinienWert(punkt, linie, wert) || std::isnan(wert)) {
            continue;
        }
        const auto k = std::min<std::size_t>(static_cast<std::size_t>((t - vonMs) / breite),
                                             ergebnis.size() - 1);
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
    return ergebnis;
}

bool Wertebereich(const TPunktFolge& punkte, TLinie linie, double vonMs, double bisMs, float& min,
                  float& max) {
    bool gefunden = false;
    for (std::size_t i = punkte.ErsterAb(static_cast<std::int64_t>(std::ceil(vonMs)));
         i < punkte.size() && static_cast<double>(punkte[i].UtcMs) < bisMs; ++i) {
        float wert = 0.0F;
        if (!LinienWert(punkte[i], linie, wert) || std::isnan(wert)) {
            continue;
        }
        min = gefunden ? std::min(min, wert) : wert;
        max = gefunden ? std::max(max, wert) : wert;
        gefunden = true;
    }
    return gefunden;
}
