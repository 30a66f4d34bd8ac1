// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/platform/CustomBaud.h"

// The kernel's own termios definitions; <termios.h> must not meet them in this file.
#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <cerrno>

namespace {

int GetSettings2(int fd, termios2& settings, const TIoctlCall& ioctl) {
    return ioctl(fd, TCGETS2, &settings) < 0 ? errno : 0;
}

bool CloseEnough(std::uint32_t actual, std::uint32_t wanted) {
    const std::uint64_t difference = actual > wanted ? actual - wanted : wanted - actual;
    return difference * 100 <= static_cast<std::uint64_t>(wanted) * 3;
}

} // namespace

int ApplyCustomBaudRate(int fd, std::uint32_t baudRate, const TIoctlCall& ioctl) {
    termios2 settings{};
    if (const int error = GetSettings2(fd, settings, ioctl)) {
        return error;
    }
    settings.c_cflag &= ~static_cast<tcflag_t>(CBAUD | (CBAUD << IBSHIFT));
    settings.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    settings.c_ispeed = baudRate;
    settings.c_ospeed = baudRate;
    if (ioctl(fd, TCSETS2, &settings) < 0) {
        return errno;
    }
    std::uint32_t actual = 0;
    if (const int error = ReadBaudRate(fd, actual, ioctl)) {
        return error;
    }
    return CloseEnough(actual, baudRate) ? 0 : EINVAL;
}

int ReadBaudRate(int fd, std::uint32_t& baudRate, const TIoctlCall& ioctl) {
    termios2 settings{};
    if (const int error = GetSettings2(fd, settings, ioctl)) {
        return error;
    }
    baudRate = settings.c_ospeed;
    return 0;
}
