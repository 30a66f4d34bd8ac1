// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/ComSettingsObject.h"

#include <cstdint>

class TComPortSettings;

// The read and write timeouts of a port, in milliseconds (multipliers per byte). With the
// defaults a read returns at once with what is queued and a write of n bytes may take at most
// 100 * n + 1000 ms. A change re-applies the timeouts on the bound port.
class TComTimeouts : public TComSettingsObject {
public:
    explicit TComTimeouts(TComSettingsTarget* port = nullptr) noexcept;
    TComTimeouts(const TComTimeouts& other) noexcept = default; // same fields, bound to no port
    TComTimeouts& operator=(const TComTimeouts&) = delete;

    // Copies every field of `source`; re-applies nothing.
    void Assign(const TComTimeouts& source) noexcept { fields_ = source.fields_; }

    std::int32_t ReadInterval() const noexcept { return fields_.readInterval; }
    std::int32_t ReadTotalMultiplier() const noexcept { return fields_.readTotalMultiplier; }
    std::int32_t ReadTotalConstant() const noexcept { return fields_.readTotalConstant; }
    std::int32_t WriteTotalMultiplier() const noexcept { return fields_.writeTotalMultiplier; }
    std::int32_t WriteTotalConstant() const noexcept { return fields_.writeTotalConstant; }

    void SetReadInterval(std::int32_t value);
    void SetReadTotalMultiplier(std::int32_t value);
    void SetReadTotalConstant(std::int32_t value);
    void SetWriteTotalMultiplier(std::int32_t value);
    void SetWriteTotalConstant(std::int32_t value);

private:
    struct Fields {
        std::int32_t readInterval = -1;
        std::int32_t readTotalMultiplier = 0;
        std::int32_t readTotalConstant = 0;
        std::int32_t writeTotalMultiplier = 100;
        std::int32_t writeTotalConstant = 1000;
    };
    Fields fields_;
};

// How long to wait, in milliseconds, for `count` written bytes to leave the output queue before
// the port is closed (closing discards what is still queued). The write total timeout
// (WriteTotalMultiplier × count + WriteTotalConstant) when it is set; without one, twice the
// time the bytes take on the line at `baudRate` bits per second (ten bits a byte) plus 500 ms,
// so that a line held up briefly by flow control still gets its text out. An unknown rate (0)
// counts as 110 baud, the slowest the port offers. A negative count counts as 0; the result is
// at most INT_MAX.
int WriteDrainLimitMs(const TComTimeouts& timeouts, std::uint32_t baudRate, int count);

// The same with the timeouts and the bit rate (CustomBaudRate for brCustom) of a port.
int WriteDrainLimitMs(const TComPortSettings& settings, int count);
