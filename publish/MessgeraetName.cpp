// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "publish/MessgeraetName.h"

std::string MessgeraetName(const TPortIdentity& adapter, const std::string& port) {
    std::string name;
    const std::string& kennung = adapter.Serial.empty() ? adapter.UsbPort : adapter.Serial;
    for (const std::string* teil : {&adapter.Maker, &adapter.Product, &kennung}) {
        if (!teil->empty()) {
            name += (name.empty() ? "" : " ") + *teil;
        }
    }
    if (name.empty() || kennung.empty()) {
        return port;
    }
    // An adapter with several ports: which of them.
    if (!adapter.PortNumber.empty() && adapter.PortNumber != "0") {
        name += " " + adapter.PortNumber;
    }
    return name;
}
