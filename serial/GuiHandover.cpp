// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/GuiHandover.h"

#include "serial/ComErrorHook.h"
#include "serial/TsanHandover.h"

#include <QCoreApplication>
#include <QThread>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

// One blocking call. Shared between the waiting worker and the queued functor, so that either
// side may go away first.
struct TGuiHandover::TCall {
    enum class TPhase { Queued, Running, Completed, Dropped };

    TWork work;
    TPhase phase = TPhase::Queued;
    std::thread::id runner;
    bool abandoned = false; // cancelled by the thread that runs it: nobody waits any more
    std::exception_ptr error;

    bool Settled() const { return phase == TPhase::Completed || phase == TPhase::Dropped; }
};

// What queued work needs of the hand-over; it outlives the hand-over while work is queued.
struct TGuiHandover::TCore {
    std::mutex mutex;
    std::condition_variable changed;
    std::atomic<bool> cancelled{false};
    std::shared_ptr<TCall> awaited; // the blocking call a worker waits for
    std::deque<TWork> posted;
    bool draining = false;
    int running = 0; // work of this hand-over running now
    std::thread::id runner;

    void RunCall(TCall& call);
    void WakeWaiters(std::unique_lock<std::mutex>& lock);
    void DropIfQueued(TCall& call);
    void DrainPosted();
    bool TakePosted(TWork& work);
    void EndRunning();
};

// The functor queued for the user-interface thread. A functor destroyed without having run
// (the application went away first) releases the worker all the same.
struct TGuiHandover::TQueuedCall {
    std::shared_ptr<TCore> core;
    std::shared_ptr<TCall> call;

    TQueuedCall(std::shared_ptr<TCore> c, std::shared_ptr<TCall> k)
        : core(std::move(c))
        , call(std::move(k)) {}
    TQueuedCall(const TQueuedCall&) = default;
    TQueuedCall(TQueuedCall&&) noexcept = default;
    TQueuedCall& operator=(const TQueuedCall&) = delete;
    TQueuedCall& operator=(TQueuedCall&&) = delete;
    ~TQueuedCall() {
        if (core && call) {
            core->DropIfQueued(*call);
        }
    }

    void operator()() const { core->RunCall(*call); }
};

namespace {

QCoreApplication* GuiApplication() {
    return QCoreApplication::instance();
}

// True when work cannot be queued, but runs at once on the calling thread.
bool RunsInline() {
    QCoreApplication* app = GuiApplication();
    return app == nullptr || QThread::currentThread() == app->thread();
}

} // namespace

void TGuiHandover::TCore::RunCall(TCall& call) {
    {
        std::unique_lock lock(mutex);
        if (call.phase != TCall::TPhase::Queued) {
            return;
        }
        if (cancelled.load()) {
            call.phase = TCall::TPhase::Dropped;
            WakeWaiters(lock);
            return;
        }
        call.phase = TCall::TPhase::Running;
        call.runner = std::this_thread::get_id();
        ++running;
        runner = call.runner;
    }
    std::exception_ptr error;
    {
        TComErrorHold hold;
        try {
            call.work(cancelled);
        } catch (...) {
            error = std::current_exception();
        }
    }
    bool abandoned = false;
    {
        std::unique_lock lock(mutex);
        --running;
        call.error = error;
        call.phase = TCall::TPhase::Completed;
        abandoned = call.abandoned;
        WakeWaiters(lock);
    }
    if (abandoned && error) {
        ReportComError(error); // nobody waits for it any more
    }
}

// Wakes the threads waiting on `changed` after letting go of the lock, so that a woken thread
// does not at once block again on the lock this thread still holds: that would cost two more
// thread switches for every call handed over.
void TGuiHandover::TCore::WakeWaiters(std::unique_lock<std::mutex>& lock) {
    lock.unlock();
    changed.notify_all();
}

void TGuiHandover::TCore::DropIfQueued(TCall& call) {
    std::unique_lock lock(mutex);
    if (call.phase == TCall::TPhase::Queued) {
        call.phase = TCall::TPhase::Dropped;
        WakeWaiters(lock);
    }
}

bool TGuiHandover::TCore::TakePosted(TWork& work) {
    std::lock_guard lock(mutex);
    if (cancelled.load() || posted.empty()) {
        draining = false;
        return false;
    }
    work = std::move(posted.front());
    posted.pop_front();
    ++running;
    runner = std::this_thread::get_id();
    return true;
}

void TGuiHandover::TCore::EndRunning() {
    std::unique_lock lock(mutex);
    --running;
    WakeWaiters(lock);
}

void TGuiHandover::TCore::DrainPosted() {
    {
        std::lock_guard lock(mutex);
        if (draining) {
            return; // work running further up this thread's stack takes the rest in order
        }
        draining = true;
    }
    TWork work;
    while (TakePosted(work)) {
        try {
            work(cancelled);
        } catch (...) {
            ReportComError(std::current_exception());
        }
        work = nullptr;
        EndRunning();
    }
}

TGuiHandover::TGuiHandover()
    : core_(std::make_shared<TCore>()) {}

TGuiHandover::~TGuiHandover() {
    Cancel();
    std::unique_lock lock(core_->mutex);
    core_->changed.wait(lock, [this] {
        return core_->running == 0 || core_->runner == std::this_thread::get_id();
    });
}

TGuiHandover::TCallResult TGuiHandover::CallBlocking(TWork work, std::exception_ptr& error) {
    error = nullptr;
    if (RunsInline()) {
        if (IsCancelled()) {
            return TCallResult::GivenUp;
        }
        try {
            work(core_->cancelled);
        } catch (...) {
            error = std::current_exception();
        }
        return TCallResult::Completed;
    }
    auto call = std::make_shared<TCall>();
    call->work = std::move(work);
    {
        std::lock_guard lock(core_->mutex);
        if (core_->cancelled.load()) {
            return TCallResult::GivenUp;
        }
        core_->awaited = call;
    }
    // A functor that cannot be queued is destroyed unrun and drops the call.
    PostHandedOver(GuiApplication(), TQueuedCall(core_, call));
    std::unique_lock lock(core_->mutex);
    core_->changed.wait(lock, [&call] { return call->Settled() || call->abandoned; });
    core_->awaited = nullptr;
    if (call->phase != TCall::TPhase::Completed) {
        return TCallResult::GivenUp;
    }
    error = call->error;
    return TCallResult::Completed;
}

void TGuiHandover::Post(TWork work) {
    if (RunsInline()) {
        if (!IsCancelled()) {
            try {
                work(core_->cancelled);
            } catch (...) {
                ReportComError(std::current_exception());
            }
        }
        return;
    }
    {
        std::lock_guard lock(core_->mutex);
        if (core_->cancelled.load()) {
            return;
        }
        core_->posted.push_back(std::move(work));
    }
    PostHandedOver(GuiApplication(), [core = core_] { core->DrainPosted(); });
}

void TGuiHandover::Cancel() noexcept {
    std::deque<TWork> dropped;
    std::lock_guard lock(core_->mutex);
    core_->cancelled.store(true);
    dropped.swap(core_->posted);
    if (const auto& call = core_->awaited) {
        if (call->phase == TCall::TPhase::Queued) {
            call->phase = TCall::TPhase::Dropped;
        } else if (call->phase == TCall::TPhase::Running &&
                   call->runner == std::this_thread::get_id()) {
            call->abandoned = true;
        }
    }
    core_->changed.notify_all();
}

bool TGuiHandover::IsCancelled() const noexcept {
    return core_->cancelled.load();
}
