// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "chart/Ablesung.h"

#include <algorithm>
#include <cmath>

namespace {

bool HatWert(const TVerlaufPunkt& punkt, TLinie linie) {
    float wert = 0.0F;
    return LinienWert(punkt, linie, wert) && !std::isnan(wert);
}

} // namespace

std::optional<std::size_t> NaechsterPunkt(const TPunktFolge& punkte, TLinie linie, double zeitMs,
                                          double vonMs, double bisMs) {
    const auto [von, bis] = PunkteIm(punkte, vonMs, bisMs);
    const std::size_t mitte =
        std::clamp(punkte.ErsterAb(static_cast<std::int64_t>(std::ceil(zeitMs))), von, bis);
    std::optional<std::size_t> rechts;
    for (std::size_t i = mitte; i < bis && !rechts; ++i) {
        if (HatWert(punkte[i], linie)) {
            rechts = i;
        }
    }
    std::optional<std::size_t> links;
    for (std::size_t i = mitte; i > von && !links; --i) {
        if (HatWert(punkte[i - 1], linie)) {
            links = i - 1;
        }
    }
    if (!links || !rechts) {
        return links ? links : rechts;
    }
    const double abstandLinks = zeitMs - static_cast<double>(punkte[*links].UtcMs);
    const double abstandRechts = static_cast<double>(punkte[*rechts].UtcMs) - zeitMs;
    return abstandRechts < abstandLinks ? rechts : links;
}
