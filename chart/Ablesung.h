// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "chart/Ausduennung.h"
#include "chart/Verlauf.h"

#include <cstddef>
#include <optional>

// The reading of `linie` nearest in time to `zeitMs` among those in [vonMs, bisMs) that have a
// value for the line (the temperature line skips readings without one); none when no reading
// there has one. Of two equally near, the earlier.
std::optional<std::size_t> NaechsterPunkt(const TPunktFolge& punkte, TLinie linie, double zeitMs,
                                          double vonMs, double bisMs);
