// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/platform/PortName.h"

#include <optional>

namespace {

// The number n of a name "COMn" written as plain decimal digits, n at least 1.
std::optional<unsigned long> ComNumber(const std::string& name) {
    const std::string prefix = "COM";
    // Nine digits keep the number far from any overflow.
    if (name.size() <= prefix.size() || name.size() > prefix.size() + 9 ||
        name.compare(0, prefix.size(), prefix) != 0) {
        return std::nullopt;
    }
    unsigned long number = 0;
    for (std::size_t i = prefix.size(); i < name.size(); ++i) {
        const char c = name[i];
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        number = number * 10 + static_cast<unsigned long>(c - '0');
    }
    if (number == 0) {
        return std::nullopt;
    }
    return number;
}

} // namespace

std::string DevicePathOfPort(const std::string& portName) {
    if (portName.find('/') != std::string::npos) {
        return portName;
    }
    if (const auto number = ComNumber(portName)) {
        return "/dev/ttyS" + std::to_string(*number - 1);
    }
    return "/dev/" + portName;
}
