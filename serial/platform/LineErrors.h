// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/platform/SysCalls.h"

#include <cstdint>

// The line errors (CE_* bits) and events (EV_ERR, EV_BREAK) that the driver's counters show
// between two readings.
struct TLineErrorReport {
    std::uint32_t Errors = 0;
    std::uint32_t Events = 0;
};

// Framing, parity and overrun errors and an overflow of the driver's buffer give EV_ERR with
// CE_FRAME, CE_RXPARITY, CE_OVERRUN and CE_RXOVER; a break gives EV_BREAK with CE_BREAK.
TLineErrorReport LineErrorsBetween(const TLineCounters& before, const TLineCounters& after);
