// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <cstdint>
#include <functional>

// Rates without a speed constant, set through the kernel's second termios interface. Its
// structure clashes with the C library's termios, so this header names neither; the ioctl is
// passed in (the device's system calls), returning -1 and setting errno on failure.
using TIoctlCall = std::function<int(int fd, unsigned long request, void* argument)>;

// Sets both speeds of `fd` to `baudRate` and reads them back. Returns 0, the errno of a failed
// request, or EINVAL when the driver settled on a rate more than 3 % away from the one asked
// for (a UART divisor that far off garbles the line). Apply it after tcsetattr, which would
// otherwise overwrite the rate.
int ApplyCustomBaudRate(int fd, std::uint32_t baudRate, const TIoctlCall& ioctl);

// The output rate that `fd` runs at, in bits per second; returns 0 or the errno of the request.
int ReadBaudRate(int fd, std::uint32_t& baudRate, const TIoctlCall& ioctl);
