// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/ComTypes.h"

#include <cstdint>

// Translations between the component's sets and the words of the Win32 communications interface.

// The event mask of a set of events (the argument of SetCommMask).
std::uint32_t EventsToMask(TComEvents events);

// The events of a mask (the result of WaitCommEvent); bits that name no event are ignored.
TComEvents MaskToEvents(std::uint32_t mask);

// The line errors of a ClearCommError error word. A parity error counts only while the port
// checks parity (`parityCheck`, the port's Parity.Check); other bits are ignored.
TComErrors ErrorWordToErrors(std::uint32_t errorWord, bool parityCheck);

// The modem input signals of a GetCommModemStatus status word; other bits are ignored.
TLineSignals ModemStatusToSignals(std::uint32_t status);
