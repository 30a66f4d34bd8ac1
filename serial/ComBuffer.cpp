// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/ComBuffer.h"

TComBuffer::TComBuffer(TComSettingsTarget* port) noexcept
    : TComSettingsObject(port, &TComSettingsTarget::ApplyBufferSizes) {}

void TComBuffer::SetInputSize(std::int32_t value) {
    ChangeSize(fields_.inputSize, value);
}
void TComBuffer::SetOutputSize(std::int32_t value) {
    ChangeSize(fields_.outputSize, value);
}

void TComBuffer::ChangeSize(std::int32_t& field, std::int32_t value) {
    if (field == value) {
        return;
    }
    // One lower for an odd size, also below zero (-1 becomes -2); never overflows.
    field = value % 2 != 0 ? value - 1 : value;
    Reapply();
}
