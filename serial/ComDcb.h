// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/ComBuffer.h"
#include "serial/ComPortSettings.h"
#include "serial/ComTimeouts.h"
#include "serial/platform/ComPlatformTypes.h"

// The device control block of a port's line settings, built afresh: rate (CustomBaudRate for
// brCustom), framing, parity checking and replacement, flow control, Xon/Xoff limits of a
// quarter of the input queue, the Xon, Xoff, event and error characters; every other field zero.
TDCB BuildDCB(const TComPortSettings& settings);

// The timeout block of a port's timeouts; each value taken as unsigned (-1 becomes 0xFFFFFFFF).
TCommTimeouts BuildCommTimeouts(const TComTimeouts& timeouts);

// The queue sizes of a port's buffer, taken as unsigned.
TQueueSizes BuildQueueSizes(const TComBuffer& buffer);
