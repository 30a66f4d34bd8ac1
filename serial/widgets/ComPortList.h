// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Replaces the contents of `list` by the /dev paths of the serial devices the kernel offers
// (entries of class/tty below the sysfs root that have a device behind them; a serial-core
// port only when a UART was found for it), sorted in ascending order without regard to ASCII
// letter case. A machine without any serial device gives an empty list. A device list that
// cannot be read raises EComPort code 23 with the errno.
void EnumerateComPorts(std::vector<std::string>& list);

// The sysfs root EnumerateComPorts and the device lists look below ("/sys" unless set; tests
// set a fake tree, whose device directory is dev/ below the root). An empty path restores the
// system's tree.
void SetComPortSysfsRoot(std::filesystem::path root);
std::filesystem::path ComPortSysfsRoot();

// Ascending order of device names without regard to ASCII letter case (COM10 before COM2).
bool ComPortNameLess(const std::string& a, const std::string& b) noexcept;
