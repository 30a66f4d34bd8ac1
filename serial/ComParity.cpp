// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/ComParity.h"

TComParity::TComParity(TComSettingsTarget* port) noexcept
    : TComSettingsObject(port, &TComSettingsTarget::ApplyLineSettings) {}

void TComParity::SetBits(TParityBits value) {
    Change(fields_.bits, value);
}
void TComParity::SetCheck(bool value) {
    Change(fields_.check, value);
}
void TComParity::SetReplace(bool value) {
    Change(fields_.replace, value);
}
void TComParity::SetReplaceChar(char value) {
    Change(fields_.replaceChar, value);
}
