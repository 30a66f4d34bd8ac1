// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/platform/SerialIdentity.h"

TPortIdentity IdentityOf(const TSerialDevice& device) {
    if (!device.IsUsb()) {
        return {};
    }
    return {device.VendorId,  device.ProductId,
            device.Maker,     device.Product,
            device.Serial,    device.Serial.empty() ? device.UsbPort : std::string(),
            device.Interface, device.PortNumber};
}

TPortMatch MatchIdentity(const TPortIdentity& identity, const std::vector<TSerialDevice>& devices) {
    TPortMatch match;
    if (identity.Empty()) {
        return match;
    }
    for (const TSerialDevice& device : devices) {
        if (IdentityOf(device) != identity) {
            continue;
        }
        if (match.Result == TMatchResult::One) {
            return {TMatchResult::Several, {}};
        }
        match = {TMatchResult::One, device};
    }
    return match;
}
