// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/ComTimeouts.h"

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
