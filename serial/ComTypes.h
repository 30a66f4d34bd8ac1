// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/ComSet.h"

#include <cstdint>

// The vocabulary of a serial line's settings. The order of the enumerators is their numeric
// value, starting at 0; the setup lists, the event sets and the device control block rely on it.

enum TBaudRate : std::uint8_t {
    brCustom, // the port's CustomBaudRate is used
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000
};
inline constexpr int BaudRateCount = 16;

enum TDataBits : std::uint8_t { dbFive, dbSix, dbSeven, dbEight };
inline constexpr int DataBitsCount = 4;

enum TStopBits : std::uint8_t { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
inline constexpr int StopBitsCount = 3;

enum TParityBits : std::uint8_t { prNone, prOdd, prEven, prMark, prSpace };
inline constexpr int ParityBitsCount = 5;

enum TDTRFlowControl : std::uint8_t { dtrDisable, dtrEnable, dtrHandshake };
enum TRTSFlowControl : std::uint8_t { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };

// A shorthand over RTS control, CTS output flow and Xon/Xoff in both directions.
enum TFlowControl : std::uint8_t { fcHardware, fcSoftware, fcNone, fcCustom };
inline constexpr int FlowControlCount = 4;

enum TComEvent : std::uint8_t {
    evRxChar,
    evTxEmpty,
    evRxFlag,
    evRing,
    evBreak,
    evCTS,
    evDSR,
    evError,
    evRLSD,
    evRx80Full
};

// How the event thread hands events to the handlers.
enum TSyncMethod : std::uint8_t { smThreadSync, smWindowSync, smNone };

enum TComError : std::uint8_t {
    ceFraming,
    ceParity,
    ceOverrun,
    ceBreak,
    ceDeviceIO,
    ceMode,
    ceInputOverflow,
    ceOutputFull
};

// The four modem input signals.
enum TLineSignal : std::uint8_t { sigCTS, sigDSR, sigRing, sigRLSD };

using TComEvents = TComSet<TComEvent, 10, std::uint16_t>;
using TComErrors = TComSet<TComError, 8, std::uint8_t>;
using TLineSignals = TComSet<TLineSignal, 4, std::uint8_t>;

// The values of the Win32 communications interface that the settings translate into: event
// mask flags, line error flags, modem status flags and the device control block's codes.
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

} // namespace WinComm
