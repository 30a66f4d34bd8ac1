// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/platform/SysCalls.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

// The real system calls, with a close() that can be held the way a driver holds it while an
// adapter keeps unsent bytes back: it blocks until the test releases it. Opens, line settings
// and closes are logged in the order they happen ("open", "flow on", "flow off", "close",
// "closed"), so a test sees what happened before a close and whether an open came while one
// was still under way.
class THeldCloseSysCalls : public TRealSysCalls {
public:
    static constexpr std::chrono::seconds Deadline{10};

    // Every close from now on blocks until Release (or the deadline).
    void HoldCloses() {
        const std::lock_guard lock(mutex_);
        held_ = true;
    }
    void Release() {
        {
            const std::lock_guard lock(mutex_);
            held_ = false;
        }
        changed_.notify_all();
    }

    // True once `count` closes have begun (false when the deadline passes first).
    bool AwaitClosesBegun(int count) {
        return Await([&] { return begun_ >= count; });
    }
    bool AwaitClosesEnded(int count) {
        return Await([&] { return ended_ >= count; });
    }
    int ClosesUnderWay() {
        const std::lock_guard lock(mutex_);
        return begun_ - ended_;
    }
    std::vector<std::string> Log() {
        const std::lock_guard lock(mutex_);
        return log_;
    }

    int Open(const char* path, int flags) override {
        Note("open");
        return TRealSysCalls::Open(path, flags);
    }
    int TcSetAttr(int fd, const termios& settings) override {
        Note((settings.c_cflag & CRTSCTS) != 0 ? "flow on" : "flow off");
        return TRealSysCalls::TcSetAttr(fd, settings);
    }
    int Close(int fd) override {
        {
            std::unique_lock lock(mutex_);
            ++begun_;
            log_.emplace_back("close");
            changed_.notify_all();
            // Not forever: a close that blocks its caller fails the test instead of hanging it.
            changed_.wait_for(lock, Deadline, [this] { return !held_; });
        }
        const int result = TRealSysCalls::Close(fd);
        const std::lock_guard lock(mutex_);
        ++ended_;
        log_.emplace_back("closed");
        changed_.notify_all();
        return result;
    }

private:
    void Note(const char* what) {
        const std::lock_guard lock(mutex_);
        log_.emplace_back(what);
    }
    template <typename Condition>
    bool Await(Condition condition) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, Deadline, condition);
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    bool held_ = false;
    int begun_ = 0;
    int ended_ = 0;
    std::vector<std::string> log_;
};
