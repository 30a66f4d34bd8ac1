// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "ThreadTestSupport.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

// Bytes written to a pseudo-terminal's master reach the other side through a kernel worker that
// all terminals of the machine share. On an overloaded machine that worker has been seen to wait
// for its turn from one second up to two minutes, while ordinary threads were woken within
// 30 ms; every read and poll of the terminal waits for it meanwhile, uninterruptibly and
// whatever its timeout. A test that waits for bytes to come through a terminal gives the port
// its generous limit without counting such time, so that a port that does not deliver still
// fails, and a kernel that is behind does not.

// True while a thread of this process waits for that worker (in the kernel's flush_work(),
// which a terminal's read and poll call when nothing is buffered yet).
inline bool TtyWorkerBehind() {
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

// Wraps `done` for a wait with a long limit: true once `done` holds, or once `limit` has passed
// in which the kernel's terminal worker held no thread of this process.
template <typename Predicate>
auto UnlessHeld(Predicate& done, std::chrono::seconds limit) {
    using TClock = std::chrono::steady_clock;
    return [&done, left = TClock::duration(limit), lastLook = TClock::now()]() mutable {
        if (done()) {
            return true;
        }
        const auto now = TClock::now();
        if (now - lastLook >= lookEvery) {
            if (!TtyWorkerBehind()) {
                left -= now - lastLook;
            }
            lastLook = now;
        }
        return left <= TClock::duration::zero();
    };
}

// Time the worker holds the threads is bounded only by the test's watchdog.
inline constexpr std::chrono::seconds heldAtMost = std::chrono::hours(1);

} // namespace ttywait

// PumpUntil for bytes that come through a pseudo-terminal: false once `limit` has passed in
// which the kernel's terminal worker held no thread of this process.
template <typename Predicate>
bool PumpUntilThroughTty(Predicate done, std::chrono::seconds limit = std::chrono::seconds(20)) {
    PumpUntil(ttywait::UnlessHeld(done, limit), ttywait::heldAtMost);
    return done();
}

// The same with WaitUntil, for a thread that does not run the event loop.
template <typename Predicate>
bool WaitUntilThroughTty(Predicate done, std::chrono::seconds limit = std::chrono::seconds(20)) {
    WaitUntil(ttywait::UnlessHeld(done, limit), ttywait::heldAtMost);
    return done();
}
