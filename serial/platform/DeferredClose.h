// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/platform/SysCalls.h"

#include <chrono>
#include <functional>
#include <memory>
#include <sys/types.h>
#include <thread>

// Closes a device's descriptor on a thread of its own. close() of a serial line waits until the
// driver has sent what it still holds, up to the line's closing wait (30 s by default); bytes
// that an adapter holds back for a missing CTS keep it waiting that long. The thread that asks
// for the close goes on at once.
//
// One close is under way at a time. Start, Wait and WhenDone belong to one thread (the
// device's owner); the callbacks of WhenDone run on the closing thread.
class TDeferredClose {
public:
    // How long the destructor lets a close under way finish before leaving it to finish alone.
    static constexpr std::chrono::seconds ExitWait{1};

    // `sys` must outlive every close started here, also one the destructor leaves behind.
    explicit TDeferredClose(TSysCalls& sys);
    // Waits up to ExitWait for a close under way. One still blocked after that is left to
    // finish on its own: its thread is detached and touches nothing of this object any more.
    // The process does not hang on it when it exits: the kernel ends the closing wait of a
    // process that is being killed at once.
    ~TDeferredClose();
    TDeferredClose(const TDeferredClose&) = delete;
    TDeferredClose& operator=(const TDeferredClose&) = delete;

    // Closes `fd` on a new thread, after the close before it has finished. Where no thread can
    // be started the descriptor is closed here. `device` is the device number of the node `fd`
    // has open (0 when not known), for AwaitClosesOf.
    void Start(int fd, dev_t device = 0) noexcept;
    // Blocks until no close is under way.
    void Wait() noexcept;
    // False when no close is under way; otherwise `done` is called once that close has
    // finished, on the closing thread.
    bool WhenDone(std::function<void()> done);

    // Blocks until no close of this process holds a descriptor of `device` any more, over all
    // objects: one destroyed while its close was held leaves that close behind, and with it the
    // lock on the node. False when none was under way.
    static bool AwaitClosesOf(dev_t device);

private:
    struct TState;
    TSysCalls& sys_;
    std::shared_ptr<TState> state_;
    std::thread thread_;
};
