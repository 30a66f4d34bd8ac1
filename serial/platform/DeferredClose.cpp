// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/platform/DeferredClose.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <utility>
#include <vector>

// Shared with the closing thread, which may outlive the object that started it.
struct TDeferredClose::TState {
    std::mutex mutex;
    std::condition_variable finished;
    bool pending = false;
    std::vector<std::function<void()>> waiters;

    void Finish() {
        std::vector<std::function<void()>> toCall;
        {
            const std::lock_guard lock(mutex);
            pending = false;
            toCall.swap(waiters);
        }
        finished.notify_all();
        for (const auto& done : toCall) {
            done();
        }
    }
};

TDeferredClose::TDeferredClose(TSysCalls& sys)
    : sys_(sys)
    , state_(std::make_shared<TState>()) {}

TDeferredClose::~TDeferredClose() {
    if (!thread_.joinable()) {
        return;
    }
    bool finished = false;
    {
        std::unique_lock lock(state_->mutex);
        state_->waiters.clear();
        finished = state_->finished.wait_for(lock, ExitWait, [this] { return !state_->pending; });
    }
    if (finished) {
        thread_.join();
    } else {
        thread_.detach();
    }
}

void TDeferredClose::Start(int fd) noexcept {
    Wait();
    {
        const std::lock_guard lock(state_->mutex);
        state_->pending = true;
    }
    try {
        thread_ = std::thread([state = state_, &sys = sys_, fd] {
            sys.Close(fd);
            state->Finish();
        });
    } catch (const std::system_error&) {
        // No thread to spare: closing here may take long, but the descriptor is released.
        sys_.Close(fd);
        state_->Finish();
    }
}

void TDeferredClose::Wait() noexcept {
    if (thread_.joinable()) {
        thread_.join();
    }
}

bool TDeferredClose::WhenDone(std::function<void()> done) {
    const std::lock_guard lock(state_->mutex);
    if (!state_->pending) {
        return false;
    }
    state_->waiters.push_back(std::move(done));
    return true;
}
