// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <string>

// The device path of a port name: a name containing "/" is a path already; "COMn" (n at least
// 1) is the n-th legacy serial line /dev/ttyS(n-1); any other name is a node under /dev.
std::string DevicePathOfPort(const std::string& portName);
