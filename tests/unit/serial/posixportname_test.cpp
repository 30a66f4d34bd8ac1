// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/platform/PortName.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

TEST(DevicePathOfPort, MapsNamesToDevicePaths) {
    const std::pair<std::string, std::string> cases[] = {
        {"COM1", "/dev/ttyS0"},
        {"COM2", "/dev/ttyS1"},
        {"COM10", "/dev/ttyS9"},
        {"COM0", "/dev/COM0"},
        {"COM", "/dev/COM"},
        {"COM1a", "/dev/COM1a"},
        {"com1", "/dev/com1"},
        {"COM-1", "/dev/COM-1"},
        {"COM99999999999", "/dev/COM99999999999"},
        {"ttyUSB0", "/dev/ttyUSB0"},
        {"/dev/pts/3", "/dev/pts/3"},
        {"pts/3", "pts/3"},
        {"./fake", "./fake"},
    };
    for (const auto& [name, path] : cases) {
        EXPECT_EQ(DevicePathOfPort(name), path) << name;
    }
}

} // namespace
