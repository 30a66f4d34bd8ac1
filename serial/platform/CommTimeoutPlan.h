// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/platform/ComPlatformTypes.h"

#include <chrono>
#include <cstddef>
#include <optional>

// How long one read may wait, by the Win32 rules of a timeout block.
struct TReadPlan {
    // Return at once with what is queued, possibly nothing (interval MAXDWORD, both totals 0).
    bool ReturnAtOnce = false;
    // Return as soon as at least one byte is there (interval and multiplier MAXDWORD, a
    // constant between 0 and MAXDWORD exclusive), waiting at most Total for it.
    bool ReturnOnFirstByte = false;
    // The longest the whole read may take; none: no limit.
    std::optional<std::chrono::milliseconds> Total;
    // The longest gap between two bytes once the first has arrived; none: no limit.
    std::optional<std::chrono::milliseconds> Interval;
};

TReadPlan PlanRead(const TCommTimeouts& timeouts, std::size_t count);

// The longest a write of `count` bytes may take (multiplier × count + constant); none when both
// are 0.
std::optional<std::chrono::milliseconds> WriteLimit(const TCommTimeouts& timeouts,
                                                    std::size_t count);
