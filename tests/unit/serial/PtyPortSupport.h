// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "posixtestsupport.h"

#include "app/ComMainWindowPort.h"
#include "serial/ComPort.h"
#include "serial/platform/PosixComDevice.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <memory>
#include <mutex>
#include <string>

// Helpers of the tests that run a whole port (real device layer, real event thread) on a
// pseudo-terminal.

// The system's calls, unchanged; remembers the sleeps of the event wait (the one poll of three
// descriptors): which thread sleeps there, how often it went to sleep, and with which timeout.
class TEventWaitWatch : public TRealSysCalls {
public:
    int Poll(pollfd* fds, nfds_t count, int timeoutMs) override {
        if (count == 3) {
            const std::lock_guard lock(mutex_);
            waiter_ = static_cast<long>(::syscall(SYS_gettid));
            ++sleeps_;
            lastTimeout_ = timeoutMs;
        }
        return TRealSysCalls::Poll(fds, count, timeoutMs);
    }
    // The thread id of the event thread; 0 before its first sleep.
    long Waiter() const {
        const std::lock_guard lock(mutex_);
        return waiter_;
    }
    int Sleeps() const {
        const std::lock_guard lock(mutex_);
        return sleeps_;
    }
    int LastTimeout() const {
        const std::lock_guard lock(mutex_);
        return lastTimeout_;
    }

private:
    mutable std::mutex mutex_;
    long waiter_ = 0;
    int sleeps_ = 0;
    int lastTimeout_ = 0;
};

// True while the thread `tid` of this process exists.
inline bool TaskExists(long tid) {
    return ::access(("/proc/self/task/" + std::to_string(tid)).c_str(), F_OK) == 0;
}

// The main window's port: its defaults, opened on `path`, then switched to 4800 baud and
// hardware flow control in two batches, the way the program starts up.
inline void OpenAsMainWindow(TComPort& port, const std::string& path) {
    ApplyMainWindowPortDefaults(port);
    port.SetPort(path);
    port.Open();
    port.BeginUpdate();
    port.SetBaudRate(br4800);
    port.EndUpdate();
    port.BeginUpdate();
    port.FlowControl().SetFlowControl(fcHardware);
    port.EndUpdate();
}
