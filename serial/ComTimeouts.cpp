// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/ComTimeouts.h"

#include "serial/ComDcb.h"
#include "serial/platform/CommTimeoutPlan.h"

#include <algorithm>
#include <climits>

TComTimeouts::TComTimeouts(TComSettingsTarget* port) noexcept
    : TComSettingsObject(port, &TComSettingsTarget::ApplyTimeouts) {}

void TComTimeouts::SetReadInterval(std::int32_t value) {
    Change(fields_.readInterval, value);
}

void TComTimeouts::SetReadTotalMultiplier(std::int32_t value) {
    Change(fields_.readTotalMultiplier, value);
}

void TComTimeouts::SetReadTotalConstant(std::int32_t value) {
    Change(fields_.readTotalConstant, value);
}

void TComTimeouts::SetWriteTotalMultiplier(std::int32_t value) {
    Change(fields_.writeTotalMultiplier, value);
}

void TComTimeouts::SetWriteTotalConstant(std::int32_t value) {
    Change(fields_.writeTotalConstant, value);
}

// Bound of the wait for sent output

namespace {

constexpr std::uint32_t SlowestRate = 110;
constexpr std::uint64_t BitsPerByte = 10;
constexpr std::uint64_t Margin = 500;

int Clamped(std::uint64_t ms) {
    return static_cast<int>(std::min<std::uint64_t>(ms, INT_MAX));
}

} // namespace

int WriteDrainLimitMs(const TComTimeouts& timeouts, std::uint32_t baudRate, int count) {
    const std::uint64_t bytes = count > 0 ? static_cast<std::uint64_t>(count) : 0;
    if (const auto limit = WriteLimit(BuildCommTimeouts(timeouts), bytes)) {
        return Clamped(static_cast<std::uint64_t>(limit->count()));
    }
    const std::uint64_t rate = baudRate != 0 ? baudRate : SlowestRate;
    // Rounded up, so that a short text at a fast rate is not given 0 ms on the line.
    const std::uint64_t lineMs = (bytes * BitsPerByte * 1000 + rate - 1) / rate;
    return Clamped(2 * lineMs + Margin);
}

int WriteDrainLimitMs(const TComPortSettings& settings, int count) {
    return WriteDrainLimitMs(settings.Timeouts(), BuildDCB(settings).BaudRate, count);
}
