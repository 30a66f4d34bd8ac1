// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "ThreadTestSupport.h"

#include "serial/platform/SysCalls.h"

#include <sys/ioctl.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <system_error>

// Bytes written to a pseudo-terminal's master reach the other side through a kernel worker that
// all terminals of the machine share. On an overloaded machine that worker has been seen to wait
// for its turn from one second up to two minutes, while ordinary threads were woken within
// 30 ms. Meanwhile the other side has nothing to read: the port sleeps in its event wait, and
// every read or poll of the terminal that comes then waits for the worker, uninterruptibly and
// whatever its timeout. A test that waits for bytes to come through a terminal gives the port
// its generous limit without counting such time, so that a port that does not deliver still
// fails, and a kernel that is behind does not.

// The system's calls, unchanged; knows the line the device has open and counts the bytes it read
// from it.
class TLineWatch : public TRealSysCalls {
public:
    int Open(const char* path, int flags) override {
        const int fd = TRealSysCalls::Open(path, flags);
        const std::lock_guard lock(mutex_);
        line_ = fd;
        return fd;
    }
    int Close(int fd) override {
        {
            const std::lock_guard lock(mutex_);
            line_ = fd == line_ ? -1 : line_;
        }
        return TRealSysCalls::Close(fd);
    }
    ssize_t Read(int fd, void* data, std::size_t count) override {
        const ssize_t got = TRealSysCalls::Read(fd, data, count);
        read_ += got > 0 ? static_cast<std::uint64_t>(got) : 0;
        return got;
    }

    std::uint64_t BytesRead() const { return read_.load(); }
    // Whether bytes wait on the open line for the device to read them (FIONREAD, which does not
    // wait for the kernel's worker).
    bool BytesWaiting() const {
        const std::lock_guard lock(mutex_);
        int waiting = 0;
        return line_ >= 0 && ::ioctl(line_, FIONREAD, &waiting) == 0 && waiting > 0;
    }

private:
    mutable std::mutex mutex_;
    int line_ = -1;
    std::atomic<std::uint64_t> read_{0};
};

// True while a thread of this process waits for that worker (in the kernel's flush_work(),
// which a terminal's read and poll call when nothing has reached the line discipline yet).
inline bool TtyWorkerHoldsThread() {
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", error)) {
        std::ifstream wchan(task.path() / "wchan");
        std::string where;
        if (std::getline(wchan, where) && where.find("flush_work") != std::string::npos) {
            return true;
        }
    }
    return false;
}

namespace ttywait {

// Looking costs more than the waits' own polling: at most every 10 ms.
inline constexpr std::chrono::milliseconds lookEvery{10};
// Time the kernel holds the bytes back is bounded only by the test's watchdog.
inline constexpr std::chrono::seconds heldAtMost = std::chrono::hours(1);

// Wraps `done` for a wait with a long limit: true once `done` holds, or once `limit` has passed
// in which the kernel did not hold back what the terminal was sent. It holds it back while a
// thread waits for its worker, or while the device has read nothing since the wait began and
// nothing waits on its line although the test keeps writing.
template <typename Predicate>
auto UnlessHeld(const TLineWatch& line, Predicate& done, std::chrono::seconds limit) {
    using TClock = std::chrono::steady_clock;
    return [&line, &done, left = TClock::duration(limit), lastLook = TClock::now(),
            readBefore = line.BytesRead()]() mutable {
        if (done()) {
            return true;
        }
        const auto now = TClock::now();
        if (now - lastLook >= lookEvery) {
            const bool held =
                TtyWorkerHoldsThread() || (line.BytesRead() == readBefore && !line.BytesWaiting());
            left -= held ? TClock::duration::zero() : now - lastLook;
            lastLook = now;
        }
        return left <= TClock::duration::zero();
    };
}

} // namespace ttywait

// PumpUntil for bytes that a test keeps writing to the terminal that the device of `line` has
// open: false once `limit` has passed in which the kernel did not hold them back.
template <typename Predicate>
bool PumpUntilThroughTty(const TLineWatch& line, Predicate done,
                         std::chrono::seconds limit = std::chrono::seconds(20)) {
    PumpUntil(ttywait::UnlessHeld(line, done, limit), ttywait::heldAtMost);
    return done();
}

// The same with WaitUntil, for a thread that does not run the event loop.
template <typename Predicate>
bool WaitUntilThroughTty(const TLineWatch& line, Predicate done,
                         std::chrono::seconds limit = std::chrono::seconds(20)) {
    WaitUntil(ttywait::UnlessHeld(line, done, limit), ttywait::heldAtMost);
    return done();
}
