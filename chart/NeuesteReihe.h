// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "chart/Verlauf.h"

#include <cstdint>
#include <limits>

// "Neueste Messgröße": the series a chart shows while it follows the newest reading. A meter
// that alternates quantities (mg/l and %) would switch the chart at every reading, so the chart
// goes over to the newest reading's series only once that series has had the newest reading
// for NeuesteHaltezeitMs.
inline constexpr std::int64_t NeuesteHaltezeitMs = 5000;

// The series to show now, given the one shown so far (`bisher`, -1 for none yet; -1 while the
// chart is empty). The time is the latest reading's stamp, or `uhrMs` (the program's clock)
// where that is later, so a lone reading of a new quantity is shown 5 s later also when no
// further reading comes. The first series of a measurement is shown at once.
int NeuesteReiheWaehlen(int bisher, const TVerlauf& verlauf,
                        std::int64_t uhrMs = std::numeric_limits<std::int64_t>::min());
