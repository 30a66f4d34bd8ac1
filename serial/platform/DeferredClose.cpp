// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/platform/DeferredClose.h"

#include <condition_variable>
#include <mutex>
#include <set>
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

namespace {

// The devices whose closes are under way in this process.
struct TClosesUnderWay {
    std::mutex mutex;
    std::condition_variable finished;
    std::multiset<dev_t> devices;

    void Begin(dev_t device) {
        const std::lock_guard lock(mutex);
        devices.insert(device);
    }
    void End(dev_t device) {
        {
            const std::lock_guard lock(mutex);
            devices.erase(devices.find(device));
        }
        finished.notify_all();
    }
};

// Never destroyed: a close left to finish alone may end while the process exits.
TClosesUnderWay& ClosesUnderWay() {
    static auto* const closes = new TClosesUnderWay;
    return *closes;
}

} // namespace

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

void TDeferredClose::Start(int fd, dev_t device) noexcept {
    Wait();
    {
        const std::lock_guard lock(state_->mutex);
        state_->pending = true;
    }
    ClosesUnderWay().Begin(device);
    const auto close = [state = state_, &sys = sys_, fd, device] {
        sys.Close(fd);
        ClosesUnderWay().End(device);
        state->Finish();
    };
    try {
        thread_ = std::thread(close);
    } catch (const std::system_error&) {
        // No thread to spare: closing here may take long, but the descriptor is released.
        close();
    }
}

bool TDeferredClose::AwaitClosesOf(dev_t device) {
    TClosesUnderWay& closes = ClosesUnderWay();
    std::unique_lock lock(closes.mutex);
    if (device == 0 || closes.devices.count(device) == 0) {
        return false;
    }
    closes.finished.wait(lock, [&] { return closes.devices.count(device) == 0; });
    return true;
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
