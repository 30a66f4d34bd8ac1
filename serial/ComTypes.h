// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/ComSet.h"
#include "serial/platform/ComPlatformTypes.h"

#include <cstdint>

// The vocabulary of a serial line's settings. The order of the enumerators is their numeric
// value, starting at 0; the setup lists, the event sets and the device control block rely on it.
// The Win32 codes they translate into (namespace WinComm) come with the device layer's header.

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
