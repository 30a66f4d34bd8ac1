// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/platform/CommTimeoutPlan.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

constexpr std::uint32_t maxDword = 0xFFFFFFFF;

// multiplier × count + constant, or none when both are 0; saturated far beyond any real wait.
std::optional<std::chrono::milliseconds> TotalOf(std::uint32_t multiplier, std::uint32_t constant,
                                                 std::size_t count) {
    if (multiplier == 0 && constant == 0) {
        return std::nullopt;
    }
    constexpr std::uint64_t limit = std::uint64_t{1} << 52;
    const std::uint64_t n = std::min<std::uint64_t>(count, std::uint64_t{1} << 20);
    const std::uint64_t total = std::min(multiplier * n + constant, limit);
    return std::chrono::milliseconds(static_cast<std::chrono::milliseconds::rep>(total));
}

} // namespace

TReadPlan PlanRead(const TCommTimeouts& timeouts, std::size_t count) {
    TReadPlan plan;
    const std::uint32_t interval = timeouts.ReadIntervalTimeout;
    const std::uint32_t multiplier = timeouts.ReadTotalTimeoutMultiplier;
    const std::uint32_t constant = timeouts.ReadTotalTimeoutConstant;
    if (interval == maxDword && multiplier == 0 && constant == 0) {
        plan.ReturnAtOnce = true;
        return plan;
    }
    if (interval == maxDword && multiplier == maxDword && constant != 0 && constant != maxDword) {
        plan.ReturnOnFirstByte = true;
        plan.Total = std::chrono::milliseconds(constant);
        return plan;
    }
    plan.Total = TotalOf(multiplier, constant, count);
    if (interval != 0) {
        plan.Interval = std::chrono::milliseconds(interval);
    }
    return plan;
}

std::optional<std::chrono::milliseconds> WriteLimit(const TCommTimeouts& timeouts,
                                                    std::size_t count) {
    return TotalOf(timeouts.WriteTotalTimeoutMultiplier, timeouts.WriteTotalTimeoutConstant, count);
}
