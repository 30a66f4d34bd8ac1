// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/ComThread.h"

#include "serial/ComErrorHook.h"
#include "serial/ComEventMask.h"
#include "serial/EComPort.h"
#include "serial/GuiHandover.h"
#include "serial/platform/ComPlatformTypes.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <thread>

namespace {

// The order in which the events of one batch are handled, whichever way they are delivered.
constexpr std::array<TComEvent, 10> handlingOrder{
    evError, evRxChar, evTxEmpty, evBreak, evRing, evCTS, evDSR, evRxFlag, evRLSD, evRx80Full};

// Hands the events of `events` to the sink in the fixed order; stops before the next event once
// `quit` is set.
void RaiseEvents(TComEventSink& sink, TComEvents events, const std::atomic<bool>& quit) {
    for (const TComEvent event : handlingOrder) {
        if (!events.Contains(event)) {
            continue;
        }
        if (quit.load()) {
            return;
        }
        sink.HandleEvent(event);
    }
}

} // namespace

void TComEventSink::LineLost(int error) noexcept {
    ReportComError(std::make_exception_ptr(EComPort(CError_ReadFailed, error)));
}

struct TComThread::TState {
    TState(TComDevice& d, TComEventSink& s)
        : device(d)
        , sink(s) {}

    TComDevice& device;
    TComEventSink& sink;
    TStopSignal stop;
    TGuiHandover handover;
    std::atomic<bool> finished{false};
    // Set when the thread object is destroyed by a handler running on this thread (smNone): the
    // thread then owns this state, touches neither device nor sink again, and frees the state.
    std::atomic<bool> orphaned{false};
    std::thread thread;

    void Run() noexcept;
    int WaitLoop();
    bool Dispatch(TComEvents events);
    bool DispatchBlocking(TComEvents events);
    void PostEach(TComEvents events);
    void CleanUp() noexcept;
};

void TComThread::TState::Run() noexcept {
    try {
        const int lost = WaitLoop();
        if (!orphaned.load()) {
            CleanUp();
        }
        if (lost != 0 && !orphaned.load()) {
            sink.LineLost(lost);
        } else if (lost != 0) {
            ReportComError(std::make_exception_ptr(EComPort(CError_ReadFailed, lost)));
        }
    } catch (...) {
        // A handler's exception ends the thread at once, without the clean-up; it is reported,
        // never swallowed.
        ReportComError(std::current_exception());
    }
    finished.store(true);
    if (orphaned.load()) {
        delete this;
    }
}

// Waits and dispatches until stopped; returns the errno of a device that can no longer be waited
// on, or 0.
int TComThread::TState::WaitLoop() {
    std::uint32_t mask = 0;
    for (;;) {
        mask = 0;
        const int result = device.WaitCommEvent(mask, stop);
        if (result == ECANCELED || handover.IsCancelled()) {
            return 0;
        }
        if (result != 0) {
            return result;
        }
        if (!Dispatch(MaskToEvents(mask)) || orphaned.load()) {
            return 0;
        }
    }
}

// Delivers one batch; false when the thread has to end.
bool TComThread::TState::Dispatch(TComEvents events) {
    switch (sink.CurrentSyncMethod()) {
    case smThreadSync:
        return DispatchBlocking(events);
    case smWindowSync:
        PostEach(events);
        return true;
    case smNone:
        RaiseEvents(sink, events, orphaned);
        return true;
    }
    return true;
}

bool TComThread::TState::DispatchBlocking(TComEvents events) {
    std::exception_ptr error;
    const auto result = handover.CallBlocking(
        [&target = sink, events](const std::atomic<bool>& cancelled) {
            RaiseEvents(target, events, cancelled);
        },
        error);
    if (error) {
        std::rethrow_exception(error);
    }
    return result == TGuiHandover::TCallResult::Completed;
}

void TComThread::TState::PostEach(TComEvents events) {
    for (const TComEvent event : handlingOrder) {
        if (events.Contains(event)) {
            handover.Post(
                [&target = sink, event](const std::atomic<bool>&) { target.HandleEvent(event); });
        }
    }
}

void TComThread::TState::CleanUp() noexcept {
    try {
        static_cast<void>(device.SetCommMask(0));
        static_cast<void>(device.PurgeComm(WinComm::PurgeTxClear | WinComm::PurgeRxClear));
    } catch (...) {
        // Not reported: the thread ends either way and the port is about to close the device.
    }
}

TComThread::TComThread(TComDevice& device, TComEventSink& sink, TComEvents events)
    : state_(std::make_unique<TState>(device, sink)) {
    static_cast<void>(device.SetCommMask(EventsToMask(events)));
    state_->thread = std::thread([state = state_.get()] { state->Run(); });
}

TComThread::~TComThread() {
    SignalStop();
    if (state_->thread.get_id() == std::this_thread::get_id()) {
        // Destroyed by a handler on the event thread itself: it cannot join itself. The thread
        // ends as soon as the handler returns and frees the state then.
        state_->orphaned.store(true);
        state_->thread.detach();
        static_cast<void>(state_.release());
        return;
    }
    if (state_->thread.joinable()) {
        state_->thread.join();
    }
}

void TComThread::SignalStop() noexcept {
    state_->stop.Signal();
    state_->handover.Cancel();
    std::this_thread::yield();
}

bool TComThread::Finished() const noexcept {
    return state_->finished.load();
}
