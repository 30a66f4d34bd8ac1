// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/ComTypes.h"

// What the event thread hands its events to: the port. The thread decides on which thread and
// in which order the events of a batch are handled; the port does the handling of one event
// (link notifications, handler calls). HandleEvent may throw; how the exception travels depends
// on the synchronisation method.
class TComEventSink {
public:
    virtual void HandleEvent(TComEvent event) = 0;
    // Read at every batch: the way the batch reaches the handlers.
    virtual TSyncMethod CurrentSyncMethod() const noexcept = 0;
    // Called on the event thread as it ends because the device can no longer be waited on
    // (unplugged, hung up), with the errno. Reports EComPort code 3 through the error hook
    // unless the sink takes care of the loss itself.
    virtual void LineLost(int error) noexcept;

protected:
    TComEventSink() = default;
    ~TComEventSink() = default;
};
