// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <atomic>
#include <exception>
#include <functional>
#include <memory>

// Hands work from a worker thread to the user-interface thread (the thread of QCoreApplication)
// in two ways: a blocking call that the worker waits for, and queued calls that it does not wait
// for. Both can be given up: after Cancel() no queued work starts any more, and a worker that
// waits for a blocking call which has not started yet is released at once.
//
// Work is passed the hand-over's cancel flag, so that work of several steps (the events of a
// batch) can stop between steps once the hand-over has been cancelled.
//
// This is what lets the user-interface thread stop and join the worker while the worker waits
// for it: Cancel() releases the worker instead of the two waiting for each other.
//
// Without a QCoreApplication, and when called on the user-interface thread itself, work runs at
// once on the calling thread.
class TGuiHandover {
public:
    using TWork = std::function<void(const std::atomic<bool>& cancelled)>;

    enum class TCallResult {
        Completed, // the work has run (and may have thrown)
        GivenUp    // cancelled: the work has not run, or is still running but no longer awaited
    };

    TGuiHandover();
    // Cancels, then waits until no work of this hand-over runs on another thread. Work running
    // on the destroying thread itself (the destructor is called from inside it) is not waited
    // for; it finishes normally on its own.
    ~TGuiHandover();
    TGuiHandover(const TGuiHandover&) = delete;
    TGuiHandover& operator=(const TGuiHandover&) = delete;

    // Runs `work` on the user-interface thread and waits until it has run; an exception it threw
    // is stored in `error`. Gives up when Cancel() comes before the work has started, or while
    // the cancelling thread is itself the one running the work (it cannot wait for itself).
    TCallResult CallBlocking(TWork work, std::exception_ptr& error);

    // Queues `work` for the user-interface thread and returns. Queued work runs in the order it
    // was queued, one after another, and only while the hand-over is not cancelled; an
    // exception from it goes to ReportComError and the next work still runs.
    void Post(TWork work);

    // Any thread, any number of times; see the class comment.
    void Cancel() noexcept;
    bool IsCancelled() const noexcept;

private:
    struct TCall;
    struct TCore;
    struct TQueuedCall;
    std::shared_ptr<TCore> core_;
};
