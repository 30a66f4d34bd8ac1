// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <cstdint>

// What the device layer is handed: the Win32-style blocks and codes of a serial line. The serial
// component builds them from its settings; the device layer translates them to the platform's
// serial interface and knows nothing of the settings themselves.

// The Win32 device control block, field by field, with the flag bits as separate members.
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

// The values of the Win32 communications interface that the settings translate into: event
// mask flags, line error flags, modem status flags, the device control block's codes and the
// purge flags.
// They live in a namespace of their own, spelled in mixed case, so that they can never meet the
// macros of the POSIX serial headers.
namespace WinComm {

// Event mask (SetCommMask, WaitCommEvent).
inline constexpr std::uint32_t EvRxChar = 0x0001;
inline constexpr std::uint32_t EvRxFlag = 0x0002;
inline constexpr std::uint32_t EvTxEmpty = 0x0004;
inline constexpr std::uint32_t EvCts = 0x0008;
inline constexpr std::uint32_t EvDsr = 0x0010;
inline constexpr std::uint32_t EvRlsd = 0x0020;
inline constexpr std::uint32_t EvBreak = 0x0040;
inline constexpr std::uint32_t EvErr = 0x0080;
inline constexpr std::uint32_t EvRing = 0x0100;
inline constexpr std::uint32_t EvRx80Full = 0x0400;

// Line error word (ClearCommError).
inline constexpr std::uint32_t CeRxOver = 0x0001;
inline constexpr std::uint32_t CeOverrun = 0x0002;
inline constexpr std::uint32_t CeRxParity = 0x0004;
inline constexpr std::uint32_t CeFrame = 0x0008;
inline constexpr std::uint32_t CeBreak = 0x0010;
inline constexpr std::uint32_t CeTxFull = 0x0100;
inline constexpr std::uint32_t CeIoe = 0x0400;
inline constexpr std::uint32_t CeMode = 0x8000;

// Modem status word (GetCommModemStatus).
inline constexpr std::uint32_t MsCtsOn = 0x0010;
inline constexpr std::uint32_t MsDsrOn = 0x0020;
inline constexpr std::uint32_t MsRingOn = 0x0040;
inline constexpr std::uint32_t MsRlsdOn = 0x0080;

// Parity codes of the device control block.
inline constexpr std::uint8_t NoParity = 0;
inline constexpr std::uint8_t OddParity = 1;
inline constexpr std::uint8_t EvenParity = 2;
inline constexpr std::uint8_t MarkParity = 3;
inline constexpr std::uint8_t SpaceParity = 4;

// Stop-bit codes of the device control block.
inline constexpr std::uint8_t OneStopBit = 0;
inline constexpr std::uint8_t One5StopBits = 1;
inline constexpr std::uint8_t TwoStopBits = 2;

// DTR and RTS control codes of the device control block.
inline constexpr std::uint8_t DtrControlDisable = 0;
inline constexpr std::uint8_t DtrControlEnable = 1;
inline constexpr std::uint8_t DtrControlHandshake = 2;
inline constexpr std::uint8_t RtsControlDisable = 0;
inline constexpr std::uint8_t RtsControlEnable = 1;
inline constexpr std::uint8_t RtsControlHandshake = 2;
inline constexpr std::uint8_t RtsControlToggle = 3;

// The size of the Win32 device control block in bytes.
inline constexpr std::uint32_t DcbSize = 28;

// The flags of PurgeComm.
inline constexpr std::uint32_t PurgeTxAbort = 0x0001;
inline constexpr std::uint32_t PurgeRxAbort = 0x0002;
inline constexpr std::uint32_t PurgeTxClear = 0x0004;
inline constexpr std::uint32_t PurgeRxClear = 0x0008;

} // namespace WinComm
