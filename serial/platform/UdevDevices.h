// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/platform/SerialDevice.h"

#include <optional>
#include <vector>

// The serial devices of the system's tree as udev lists them (subsystem tty, the same entries
// SysfsSerialTtys keeps), sorted by name. The USB fields come from sysfs, as the kernel reports
// them whether or not udev has processed the device yet; udev's properties fill what sysfs lacks
// and add its by-id links. Without a udev database (a container) the properties are simply
// absent. nullopt when libudev cannot enumerate here; the caller then reads sysfs itself.
std::optional<std::vector<TSerialDevice>> UdevSerialDevices(const TDeviceTree& tree);
