// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/ComEventSink.h"
#include "serial/ComTypes.h"
#include "serial/platform/ComDevice.h"
#include "serial/platform/StopSignal.h"

#include <memory>

// The event thread of an open port: sets the device's event mask, sleeps until the device
// reports events, and hands each batch to the port in the fixed order evError, evRxChar,
// evTxEmpty, evBreak, evRing, evCTS, evDSR, evRxFlag, evRLSD, evRx80Full — on the
// user-interface thread, blocking (smThreadSync), as one queued call per event (smWindowSync), or
// directly on the event thread (smNone).
//
// Needs a QCoreApplication for the first two ways. Destroying the thread stops it and waits for
// it; a delivery already queued for the user-interface thread is then dropped, so no handler of
// this thread runs after the destructor has returned (unless the destructor runs inside that
// very handler, which then finishes normally).
class TComThread {
public:
    TComThread(TComDevice& device, TComEventSink& sink, TComEvents events);
    ~TComThread();
    TComThread(const TComThread&) = delete;
    TComThread& operator=(const TComThread&) = delete;

    // Sets the stop signal; the thread ends after the batch it is delivering, if any.
    void SignalStop() noexcept;
    // True once the run loop has ended (stopped, device lost, or a handler's exception).
    bool Finished() const noexcept;

private:
    struct TState;
    std::unique_ptr<TState> state_;
};
