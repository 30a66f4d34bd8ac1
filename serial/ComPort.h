// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/CustomComPort.h"

#include <memory>
#include <utility>

// The port as windows place it. Everything of TCustomComPort is public already; what a stored
// port carries (Connected, BaudRate, Port, Parity, StopBits, DataBits, DiscardNull, EventChar,
// Events, Buffer, FlowControl, Timeouts, SyncMethod and the fifteen handlers) is set by its
// owner after construction, and a port meant to start connected is restored with
// SetConnectedOnLoad(true) followed by Loaded(). CustomBaudRate is set the same way but is not
// part of what a window stores.
class TComPort : public TCustomComPort {
public:
    TComPort() = default;
    explicit TComPort(std::unique_ptr<TComDevice> device)
        : TCustomComPort(std::move(device)) {}
    // Stops the event thread while the whole object still exists.
    ~TComPort() override { CloseQuietly(); }
    TComPort(const TComPort&) = delete;
    TComPort& operator=(const TComPort&) = delete;
};
