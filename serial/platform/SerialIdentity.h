// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/platform/SerialDevice.h"

#include <string>
#include <vector>

// What tells one USB serial adapter from every other, whatever name the system gives it after
// it was plugged in again: its numbers and strings, its serial number, and for an adapter with
// several ports which of them. Without a serial number the USB port it is plugged into stands in
// for it, so such an adapter is only recognised in the same port. Empty for a device that is not
// on USB: then the name is all there is.
struct TPortIdentity {
    std::string VendorId;
    std::string ProductId;
    std::string Maker;
    std::string Product;
    std::string Serial;
    std::string UsbPort; // only without a serial number
    std::string Interface;
    std::string PortNumber;

    bool Empty() const noexcept { return *this == TPortIdentity{}; }

    friend bool operator==(const TPortIdentity&, const TPortIdentity&) = default;
};

TPortIdentity IdentityOf(const TSerialDevice& device);

enum class TMatchResult { None, One, Several };

// The outcome of looking for an identity: the device only with TMatchResult::One.
struct TPortMatch {
    TMatchResult Result = TMatchResult::None;
    TSerialDevice Device;
};

// The one device of `devices` that has `identity`, by identity alone, whatever its name. Two or
// more such devices give Several and no device: which one was meant cannot be told, and none is
// guessed. An empty identity matches nothing.
TPortMatch MatchIdentity(const TPortIdentity& identity, const std::vector<TSerialDevice>& devices);
