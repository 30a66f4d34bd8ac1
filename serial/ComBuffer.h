// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/ComSettingsObject.h"

#include <cstdint>

// The recommended sizes of a port's input and output queues, in bytes. An odd size is stored one
// lower (1025 becomes 1024). A size that differs from the stored one as given, that is before
// this rounding, re-applies the queue sizes on the bound port: so 1025 re-applies even while
// 1024 is stored, and every time it is set again.
class TComBuffer : public TComSettingsObject {
public:
    explicit TComBuffer(TComSettingsTarget* port = nullptr) noexcept;
    TComBuffer(const TComBuffer& other) noexcept = default; // same fields, bound to no port
    TComBuffer& operator=(const TComBuffer&) = delete;

    // Copies every field of `source`; re-applies nothing.
    void Assign(const TComBuffer& source) noexcept { fields_ = source.fields_; }

    std::int32_t InputSize() const noexcept { return fields_.inputSize; }
    std::int32_t OutputSize() const noexcept { return fields_.outputSize; }

    void SetInputSize(std::int32_t value);
    void SetOutputSize(std::int32_t value);

private:
    void ChangeSize(std::int32_t& field, std::int32_t value);

    struct Fields {
        std::int32_t inputSize = 1024;
        std::int32_t outputSize = 1024;
    };
    Fields fields_;
};
