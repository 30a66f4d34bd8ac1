// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/platform/ComPlatformTypes.h"

#include <cstdint>
#include <termios.h>

// A device control block in the terms of the Linux serial interface.
struct TLineSetup {
    // EINVAL when the block names a byte size, parity or stop-bit code that does not exist or a
    // rate of 0; the other members are then meaningless.
    int Error = 0;
    termios Settings{};
    // The rate has no speed constant of its own: it is set with ApplyCustomBaudRate after the
    // settings, whose speed is then left as it was.
    bool CustomRate = false;
    std::uint32_t BaudRate = 0;
    // TIOCM_DTR / TIOCM_RTS lines to raise and to drop.
    int RaiseLines = 0;
    int DropLines = 0;
};

// Raw mode: no input, output or local processing, the receiver on, modem lines ignored for
// opening and reading, reads that wait for one byte (non-blocking descriptors return EAGAIN).
// Size, parity, stop bits, flow control and speed stay as they are.
void MakeRaw(termios& settings);

// Hardware and software flow control off, so that a driver sends what it still holds without
// waiting for the other side.
void DropFlowControl(termios& settings);

// The line settings of `dcb`, built on the device's current settings `current` (whose
// unrelated fields are kept).
//
// What Linux cannot do is mapped to the nearest it can: 1.5 stop bits become two stop bits (a
// UART sends 1.5 only with 5 data bits, and the kernel has no code for it); DTR handshake and DSR
// output flow do not exist, so DTR handshake just raises DTR and DSR flow is ignored; RTS toggle
// keeps RTS off (the idle state), since the kernel does not switch RTS around a transmission;
// with parity checking, a byte with a parity error arrives as NUL (no error character).
TLineSetup TranslateDcb(const TDCB& dcb, const termios& current);

// The speed constant of a rate (B9600 for 9600), or B0 when the kernel has none for it.
speed_t SpeedConstantOf(std::uint32_t baudRate);
