// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "chart/NeuesteReihe.h"

#include <algorithm>

int NeuesteReiheWaehlen(int bisher, const TVerlauf& verlauf, std::int64_t uhrMs) {
    const int neueste = verlauf.LetzteReihe();
    const auto anzahl = static_cast<int>(verlauf.Reihen().size());
    if (neueste < 0 || bisher < 0 || bisher >= anzahl || bisher == neueste) {
        return neueste;
    }
    const std::int64_t jetzt = std::max(verlauf.LetzteMs(), uhrMs);
    return jetzt - verlauf.LetzteReiheSeitMs() >= NeuesteHaltezeitMs ? neueste : bisher;
}
