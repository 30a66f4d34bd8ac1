// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/platform/SysCalls.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

// Watches the modem input lines of an open serial device on a thread of its own and collects
// their changes as EV_CTS, EV_DSR, EV_RLSD and EV_RING bits. The thread sleeps in TIOCMIWAIT;
// where the driver refuses that, it checks the lines every 100 ms. Where even TIOCMGET fails (a
// pseudo-terminal) no thread is started and no change is ever reported.
//
// Each change is announced by adding 1 to the eventfd `notifyFd`. The thread is interrupted by a
// signal whose handler does not restart the call; it is sent again until the thread has ended.
class TModemWatch {
public:
    TModemWatch(TSysCalls& sys, int fd, int notifyFd);
    // Stops the thread and waits for it.
    ~TModemWatch();
    TModemWatch(const TModemWatch&) = delete;
    TModemWatch& operator=(const TModemWatch&) = delete;

    // True while a thread watches the lines.
    bool Active() const noexcept;
    // The changes since the last call (EV_* bits), cleared by the call.
    std::uint32_t TakeChanges();
    // Makes the thread leave and re-enter its wait (returns once it has); some UART drivers stop
    // waking a TIOCMIWAIT that was entered before the line settings changed.
    void Poke() noexcept;

private:
    void Run(int lines);
    // Reads the lines (and counters) and records what changed; false once the device is gone.
    bool CheckLines();
    // Sleeps until the lines may have changed; false once the device is gone.
    bool SleepUntilChange();
    void Interrupt() noexcept;
    // Tells Poke that every poke so far is answered by the wait about to begin.
    void BeginRound();

    TSysCalls& sys_;
    int fd_;
    int notifyFd_;
    bool pollEvery100ms_ = false;
    bool haveCounters_ = false;
    int lines_ = 0;
    TLineCounters counters_;
    std::atomic<bool> stop_{false};

    std::mutex mutex_;
    std::condition_variable progress_;
    bool finished_ = false;
    std::uint64_t pokes_ = 0;
    std::uint64_t roundsBegun_ = 0;
    std::uint32_t changes_ = 0;
    std::thread thread_;
};
