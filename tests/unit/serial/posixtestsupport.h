// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/platform/ComDevice.h"
#include "serial/platform/StopSignal.h"
#include "serial/platform/SysCalls.h"
#include "tests/unit/common/TestPty.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <mutex>
#include <pty.h>
#include <string>
#include <thread>
#include <unistd.h>

namespace posixtest {

using namespace std::chrono_literals;

// How long something that must happen may take on a loaded machine.
inline constexpr std::chrono::seconds deadline{10};

// The pseudo-terminal of all tests and benchmarks.
using TPty = ::TPty;

// The real system calls, counting the sleeps of the event wait (poll of three descriptors) and
// of reads (two), so that a test knows the device went to sleep instead of reporting.
class TObservedSysCalls : public TRealSysCalls {
public:
    int Poll(pollfd* fds, nfds_t count, int timeoutMs) override {
        {
            const std::lock_guard lock(mutex_);
            ++sleeps_[count < 4 ? count : 0];
        }
        changed_.notify_all();
        return TRealSysCalls::Poll(fds, count, timeoutMs);
    }
    int Sleeps(nfds_t count) {
        const std::lock_guard lock(mutex_);
        return sleeps_[count];
    }
    // True once more than `seen` sleeps of `count` descriptors have begun.
    bool AwaitSleep(nfds_t count, int seen) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, deadline, [&] { return sleeps_[count] > seen; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int sleeps_[4] = {};
};

struct TWaitResult {
    int Error = -1;
    std::uint32_t Events = 0;
};

// WaitCommEvent on a thread of its own; a wait that does not end by the deadline is stopped, so
// that a fault fails the test instead of hanging it.
class TAsyncWait {
public:
    explicit TAsyncWait(TComDevice& device)
        : thread_([this, &device] {
            std::uint32_t events = 0;
            const int error = device.WaitCommEvent(events, stop_);
            const std::lock_guard lock(mutex_);
            result_ = {error, events};
            done_ = true;
            ended_.notify_all();
        }) {}
    ~TAsyncWait() { Get(); }
    TAsyncWait(const TAsyncWait&) = delete;
    TAsyncWait& operator=(const TAsyncWait&) = delete;

    void Stop() const { stop_.Signal(); }
    TWaitResult Get() {
        {
            std::unique_lock lock(mutex_);
            if (!ended_.wait_for(lock, deadline, [this] { return done_; })) {
                ADD_FAILURE() << "WaitCommEvent did not return";
                stop_.Signal();
            }
        }
        if (thread_.joinable()) {
            thread_.join();
        }
        return result_;
    }

private:
    TStopSignal stop_;
    std::mutex mutex_;
    std::condition_variable ended_;
    bool done_ = false;
    TWaitResult result_;
    std::thread thread_;
};

inline TWaitResult WaitEvents(TComDevice& device) {
    TAsyncWait wait(device);
    return wait.Get();
}

// Waits for events until all of `wanted` have been reported; returns what was reported.
inline std::uint32_t CollectEvents(TComDevice& device, std::uint32_t wanted) {
    std::uint32_t seen = 0;
    while ((seen & wanted) != wanted) {
        const TWaitResult result = WaitEvents(device);
        if (result.Error != 0) {
            ADD_FAILURE() << "WaitCommEvent failed with " << result.Error;
            break;
        }
        seen |= result.Events;
    }
    return seen;
}

// Waits until the device has finished releasing the descriptor of its last Close (which runs
// on a thread of its own); false when the deadline passes first.
inline bool AwaitRelease(TComDevice& device) {
    struct TReleased {
        std::mutex Mutex;
        std::condition_variable Changed;
        bool Done = false;
    };
    const auto released = std::make_shared<TReleased>();
    const bool pending = device.WhenClosed([released] {
        const std::lock_guard lock(released->Mutex);
        released->Done = true;
        released->Changed.notify_all();
    });
    std::unique_lock lock(released->Mutex);
    return !pending || released->Changed.wait_for(lock, deadline, [&] { return released->Done; });
}

inline std::string ReadString(TComDevice& device, std::size_t count, int* error = nullptr) {
    std::string buffer(count, '\0');
    std::size_t got = 0;
    const int result = device.Read(buffer.data(), count, got);
    if (error != nullptr) {
        *error = result;
    } else {
        EXPECT_EQ(result, 0);
    }
    buffer.resize(got);
    return buffer;
}

inline std::uint32_t QueueCount(TComDevice& device) {
    std::uint32_t errors = 0;
    std::uint32_t queued = 0;
    EXPECT_EQ(device.ClearCommError(errors, queued), 0);
    return queued;
}

} // namespace posixtest
