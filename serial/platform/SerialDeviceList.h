// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/platform/SerialDevice.h"

#include <optional>
#include <string>
#include <vector>

// The serial devices of `tree`, sorted by SerialNameLess: on the system's tree as udev lists
// them, elsewhere (a fake tree, or libudev unusable) from sysfs and the device directory. A list
// that cannot be read raises std::system_error with the errno.
std::vector<TSerialDevice> ListSerialDevices(const TDeviceTree& tree = {});

// The device that `path` opens: a device name of the list, a link to one (a by-id name, a link
// of the user's, a chain of links), or another node with the device number of one. nullopt
// when it leads to no serial device of the list. Raises as ListSerialDevices.
std::optional<TSerialDevice> SerialDeviceOfPath(const std::string& path,
                                                const TDeviceTree& tree = {});
