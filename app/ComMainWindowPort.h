// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/ComPortSettings.h"

#include <cstdint>

// The configuration the main window gives its newly created port: 1200 baud, 8 data bits, one
// stop bit, no parity, null bytes discarded, every event, DTR on, RTS off, no CTS, DSR or
// Xon/Xoff flow control, an input queue of MainWindowInputSize bytes. The device stays
// DefaultPortName ("COM1"); everything not named keeps the value a new port has. Start-up later
// switches to 4800 baud and hardware flow control.
constexpr std::int32_t MainWindowInputSize = 16384;
void ApplyMainWindowPortDefaults(TComPortSettings& settings);
