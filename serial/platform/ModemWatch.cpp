// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/platform/ModemWatch.h"

#include "serial/platform/ComPlatformTypes.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <pthread.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// SIGUSR2 is used by nothing else in the program; a standard signal does not pile up while the
// stopper sends it again.
constexpr int interruptSignal = SIGUSR2;
constexpr int watchedLines = TIOCM_CTS | TIOCM_DSR | TIOCM_CAR | TIOCM_RNG;

void IgnoreInterrupt(int) {}

void InstallInterruptHandler() {
    static const bool installed = [] {
        struct sigaction action {};
        action.sa_handler = IgnoreInterrupt;
        sigemptyset(&action.sa_mask);
        // No SA_RESTART: the blocked ioctl must return EINTR.
        action.sa_flags = 0;
        return ::sigaction(interruptSignal, &action, nullptr) == 0;
    }();
    static_cast<void>(installed);
}

void UnblockInterrupt() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, interruptSignal);
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

bool Refused(int error) {
    return error == EINVAL || error == ENOTTY || error == ENOSYS;
}

std::uint32_t LineEvents(int changed) {
    std::uint32_t events = 0;
    events |= (changed & TIOCM_CTS) != 0 ? WinComm::EvCts : 0;
    events |= (changed & TIOCM_DSR) != 0 ? WinComm::EvDsr : 0;
    events |= (changed & TIOCM_CAR) != 0 ? WinComm::EvRlsd : 0;
    events |= (changed & TIOCM_RNG) != 0 ? WinComm::EvRing : 0;
    return events;
}

// Counters catch a pulse (a ring, a short CTS drop) that is over before the lines are read.
std::uint32_t CounterEvents(const TLineCounters& before, const TLineCounters& after) {
    std::uint32_t events = 0;
    events |= before.Cts != after.Cts ? WinComm::EvCts : 0;
    events |= before.Dsr != after.Dsr ? WinComm::EvDsr : 0;
    events |= before.Dcd != after.Dcd ? WinComm::EvRlsd : 0;
    events |= before.Ring != after.Ring ? WinComm::EvRing : 0;
    return events;
}

} // namespace

TModemWatch::TModemWatch(TSysCalls& sys, int fd, int notifyFd)
    : sys_(sys)
    , fd_(fd)
    , notifyFd_(notifyFd) {
    int lines = 0;
    if (sys_.ModemGet(fd_, lines) < 0) {
        return;
    }
    haveCounters_ = sys_.GetCounters(fd_, counters_) == 0;
    InstallInterruptHandler();
    thread_ = std::thread([this, lines] { Run(lines); });
}

TModemWatch::~TModemWatch() {
    if (!thread_.joinable()) {
        return;
    }
    stop_ = true;
    std::unique_lock lock(mutex_);
    while (!finished_) {
        lock.unlock();
        Interrupt();
        lock.lock();
        progress_.wait_for(lock, std::chrono::milliseconds(10), [this] { return finished_; });
    }
    lock.unlock();
    thread_.join();
}

bool TModemWatch::Active() const noexcept {
    return thread_.joinable();
}

std::uint32_t TModemWatch::TakeChanges() {
    const std::lock_guard lock(mutex_);
    const std::uint32_t changes = changes_;
    changes_ = 0;
    return changes;
}

void TModemWatch::Poke() noexcept {
    if (!thread_.joinable()) {
        return;
    }
    // A signal that comes just before the thread enters its wait is lost, so it is sent again
    // until the thread has begun a new round.
    std::unique_lock lock(mutex_);
    const std::uint64_t poke = ++pokes_;
    while (roundsBegun_ < poke && !finished_) {
        lock.unlock();
        Interrupt();
        lock.lock();
        progress_.wait_for(lock, std::chrono::milliseconds(10),
                           [&] { return roundsBegun_ >= poke || finished_; });
    }
}

void TModemWatch::Interrupt() noexcept {
    pthread_kill(thread_.native_handle(), interruptSignal);
}

void TModemWatch::Run(int lines) {
    UnblockInterrupt();
    lines_ = lines;
    while (!stop_) {
        BeginRound();
        if (!SleepUntilChange() || stop_ || !CheckLines()) {
            break;
        }
    }
    const std::lock_guard lock(mutex_);
    finished_ = true;
    progress_.notify_all();
}

void TModemWatch::BeginRound() {
    {
        const std::lock_guard lock(mutex_);
        roundsBegun_ = pokes_;
    }
    progress_.notify_all();
}

bool TModemWatch::SleepUntilChange() {
    if (!pollEvery100ms_) {
        if (sys_.ModemWait(fd_, watchedLines) == 0 || errno == EINTR) {
            return true;
        }
        if (!Refused(errno)) {
            return false;
        }
        pollEvery100ms_ = true;
    }
    sys_.Poll(nullptr, 0, 100);
    return true;
}

bool TModemWatch::CheckLines() {
    int lines = 0;
    if (sys_.ModemGet(fd_, lines) < 0) {
        return errno == EINTR;
    }
    std::uint32_t events = LineEvents((lines ^ lines_) & watchedLines);
    lines_ = lines;
    TLineCounters counters;
    if (haveCounters_ && sys_.GetCounters(fd_, counters) == 0) {
        events |= CounterEvents(counters_, counters);
        counters_ = counters;
    }
    if (events != 0) {
        {
            const std::lock_guard lock(mutex_);
            changes_ |= events;
        }
        const std::uint64_t one = 1;
        static_cast<void>(::write(notifyFd_, &one, sizeof one));
    }
    return true;
}
