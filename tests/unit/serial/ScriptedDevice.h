// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/platform/ComDevice.h"
#include "serial/platform/StopSignal.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <deque>
#include <mutex>
#include <poll.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

// A device for event-thread tests: WaitCommEvent hands out scripted batches in order and
// otherwise sleeps on an eventfd and the stop signal, like a real device. A scripted failure
// stays: every later wait fails the same way, so a thread that kept waiting would be seen.
class TScriptedDevice final : public TComDevice {
public:
    TScriptedDevice()
        : wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
        if (wake_ < 0) {
            throw std::runtime_error("eventfd failed");
        }
    }
    ~TScriptedDevice() override { ::close(wake_); }
    TScriptedDevice(const TScriptedDevice&) = delete;
    TScriptedDevice& operator=(const TScriptedDevice&) = delete;

    void PushBatch(std::uint32_t mask) { Push(mask, 0); }
    void PushFailure(int error) { Push(0, error); }

    int WaitCount() const { return waits_.load(); }
    int BatchesHandedOut() const { return batches_.load(); }
    std::size_t Pending() const {
        std::lock_guard lock(mutex_);
        return script_.size();
    }
    // The thread id (gettid) of the last caller of WaitCommEvent; 0 before the first call.
    long WaiterTid() const { return waiterTid_.load(); }
    std::vector<std::uint32_t> Masks() const {
        std::lock_guard lock(mutex_);
        return masks_;
    }
    std::vector<std::uint32_t> Purges() const {
        std::lock_guard lock(mutex_);
        return purges_;
    }

    int WaitCommEvent(std::uint32_t& events, const TStopSignal& stop) override {
        waiterTid_.store(static_cast<long>(::syscall(SYS_gettid)));
        ++waits_;
        for (;;) {
            if (stop.IsSignalled()) {
                return ECANCELED;
            }
            if (const int result = TakeNext(events); result >= 0) {
                return result;
            }
            pollfd fds[2] = {{wake_, POLLIN, 0}, {stop.Fd(), POLLIN, 0}};
            ::poll(fds, 2, -1);
            std::uint64_t count = 0;
            static_cast<void>(::read(wake_, &count, sizeof count));
        }
    }

    int SetCommMask(std::uint32_t mask) override {
        std::lock_guard lock(mutex_);
        masks_.push_back(mask);
        return 0;
    }
    int PurgeComm(std::uint32_t flags) override {
        std::lock_guard lock(mutex_);
        purges_.push_back(flags);
        return 0;
    }

    int Open(const std::string&) override { return 0; }
    void Close() noexcept override {}
    bool IsOpen() const noexcept override { return true; }
    int SetupComm(std::uint32_t, std::uint32_t) override { return 0; }
    int SetCommState(const TDCB&) override { return 0; }
    int SetCommTimeouts(const TCommTimeouts&) override { return 0; }
    int Write(const void*, std::size_t, std::size_t& written) override {
        written = 0;
        return 0;
    }
    int Read(void*, std::size_t, std::size_t& read) override {
        read = 0;
        return 0;
    }
    int ClearCommError(std::uint32_t& errors, std::uint32_t& inputQueue) override {
        errors = 0;
        inputQueue = 0;
        return 0;
    }
    int OutputQueueCount(std::uint32_t& count) override {
        count = 0;
        return 0;
    }
    int GetCommModemStatus(std::uint32_t& status) override {
        status = 0;
        return 0;
    }

private:
    struct TStep {
        std::uint32_t mask;
        int error;
    };

    void Push(std::uint32_t mask, int error) {
        {
            std::lock_guard lock(mutex_);
            script_.push_back({mask, error});
        }
        const std::uint64_t one = 1;
        static_cast<void>(::write(wake_, &one, sizeof one));
    }

    // The result of the next step, or -1 when none is scripted.
    int TakeNext(std::uint32_t& events) {
        std::lock_guard lock(mutex_);
        if (failure_ != 0) {
            return failure_;
        }
        if (script_.empty()) {
            return -1;
        }
        const TStep step = script_.front();
        script_.pop_front();
        if (step.error != 0) {
            failure_ = step.error;
            return failure_;
        }
        events = step.mask;
        ++batches_;
        return 0;
    }

    int wake_;
    mutable std::mutex mutex_;
    std::deque<TStep> script_;
    int failure_ = 0;
    std::vector<std::uint32_t> masks_;
    std::vector<std::uint32_t> purges_;
    std::atomic<int> waits_{0};
    std::atomic<int> batches_{0};
    std::atomic<long> waiterTid_{0};
};
