// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/ComBuffer.h"
#include "serial/ComPortSettings.h"
#include "serial/ComTimeouts.h"

#include <cstdint>

// The Win32 device control block, field by field, with the flag bits as separate members. The
// device layer translates it to its own platform's serial interface.
struct TDCB {
    std::uint32_t DCBlength = 0;
    std::uint32_t BaudRate = 0;
    bool fBinary = false;
    bool fParity = false;
    bool fOutxCtsFlow = false;
    bool fOutxDsrFlow = false;
    std::uint8_t fDtrControl = 0; // 0 disable, 1 enable, 2 handshake
    bool fDsrSensitivity = false;
    bool fTXContinueOnXoff = false;
    bool fOutX = false;
    bool fInX = false;
    bool fErrorChar = false;
    bool fNull = false;
    std::uint8_t fRtsControl = 0; // 0 disable, 1 enable, 2 handshake, 3 toggle
    bool fAbortOnError = false;
    std::uint32_t fDummy2 = 0;
    std::uint16_t wReserved = 0;
    std::uint16_t XonLim = 0;
    std::uint16_t XoffLim = 0;
    std::uint8_t ByteSize = 0;
    std::uint8_t Parity = 0;
    std::uint8_t StopBits = 0;
    char XonChar = 0;
    char XoffChar = 0;
    char ErrorChar = 0;
    char EofChar = 0;
    char EvtChar = 0;
    std::uint16_t wReserved1 = 0;

    friend bool operator==(const TDCB&, const TDCB&) = default;
};

// The Win32 timeout block; all values in milliseconds, 0xFFFFFFFF being the largest.
struct TCommTimeouts {
    std::uint32_t ReadIntervalTimeout = 0;
    std::uint32_t ReadTotalTimeoutMultiplier = 0;
    std::uint32_t ReadTotalTimeoutConstant = 0;
    std::uint32_t WriteTotalTimeoutMultiplier = 0;
    std::uint32_t WriteTotalTimeoutConstant = 0;

    friend bool operator==(const TCommTimeouts&, const TCommTimeouts&) = default;
};

// The recommended input and output queue sizes in bytes.
struct TQueueSizes {
    std::uint32_t InputSize = 0;
    std::uint32_t OutputSize = 0;

    friend bool operator==(const TQueueSizes&, const TQueueSizes&) = default;
};

// The device control block of a port's line settings, built afresh: rate (CustomBaudRate for
// brCustom), framing, parity checking and replacement, flow control, Xon/Xoff limits of a
// quarter of the input queue, the Xon, Xoff, event and error characters; every other field zero.
TDCB BuildDCB(const TComPortSettings& settings);

// The timeout block of a port's timeouts; each value taken as unsigned (-1 becomes 0xFFFFFFFF).
TCommTimeouts BuildCommTimeouts(const TComTimeouts& timeouts);

// The queue sizes of a port's buffer, taken as unsigned.
TQueueSizes BuildQueueSizes(const TComBuffer& buffer);
