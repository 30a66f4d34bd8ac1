// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/platform/SerialDevice.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

// Serial devices as sysfs and the device directory show them, without asking udev: the reading
// for fake trees and for systems where udev cannot be used.

// The /dev paths of the serial devices below `sys` (entries of class/tty that have a device
// behind them; a serial-core port only when a UART was found for it), sorted by SerialNameLess.
// No tty class at all gives an empty list. A list that cannot be read raises
// std::system_error with the errno.
std::vector<std::string> SysfsSerialTtys(const std::filesystem::path& sys);

// Whether the class/tty entry `ttyDir` is a serial device: virtual terminals, the console and
// the pseudo-terminal master have no device behind them, and the legacy ports the kernel
// reserves on every PC have no UART.
bool IsSerialTty(const std::filesystem::path& ttyDir);

// Fills the USB fields and the driver of `device` from the sysfs entry `ttyDir` of its tty: the
// attributes of the USB device and interface it hangs below (looked for up to `sys`) and the
// driver of the device behind the tty. Attributes that are missing stay empty.
void ReadSysfsFacts(TSerialDevice& device, const std::filesystem::path& ttyDir,
                    const std::filesystem::path& sys);

// The links of <dev>/serial/by-id by the device name they point to ("/dev/ttyUSB0"), each list
// sorted. No such directory gives none; one that cannot be read raises std::system_error.
std::map<std::string, std::vector<std::string>> SerialByIdLinks(const TDeviceTree& tree);

// Ascending order of device names without regard to ASCII letter case (COM10 before COM2);
// names that differ only in case keep a fixed order.
bool SerialNameLess(const std::string& a, const std::string& b) noexcept;
