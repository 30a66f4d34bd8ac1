// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/ComSettingsObject.h"
#include "serial/ComTypes.h"

// The parity of a port: the parity bit sent, whether received parity is checked, and whether a
// byte with a parity error is replaced by `ReplaceChar` (only while checking). A change
// re-applies the line settings on the bound port.
class TComParity : public TComSettingsObject {
public:
    explicit TComParity(TComSettingsTarget* port = nullptr) noexcept;
    TComParity(const TComParity& other) noexcept = default; // same fields, bound to no port
    TComParity& operator=(const TComParity&) = delete;

    // Copies every field of `source`; re-applies nothing.
    void Assign(const TComParity& source) noexcept { fields_ = source.fields_; }

    TParityBits Bits() const noexcept { return fields_.bits; }
    bool Check() const noexcept { return fields_.check; }
    bool Replace() const noexcept { return fields_.replace; }
    char ReplaceChar() const noexcept { return fields_.replaceChar; }

    void SetBits(TParityBits value);
    void SetCheck(bool value);
    void SetReplace(bool value);
    void SetReplaceChar(char value);

private:
    struct Fields {
        TParityBits bits = prNone;
        bool check = false;
        bool replace = false;
        char replaceChar = 0;
    };
    Fields fields_;
};
