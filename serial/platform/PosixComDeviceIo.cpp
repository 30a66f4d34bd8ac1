// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The data side of TPosixComDevice: moving received bytes into the queue, the event wait,
// reads and writes.
#include "serial/platform/PosixComDevice.h"

#include "serial/platform/ComPlatformTypes.h"
#include "serial/platform/CommTimeoutPlan.h"
#include "serial/platform/LineErrors.h"
#include "serial/platform/StopSignal.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <climits>
#include <optional>
#include <unistd.h>

namespace {

using TClock = std::chrono::steady_clock;

constexpr int sleepForEvents = -1;
constexpr short hangUpEvents = POLLHUP | POLLERR | POLLNVAL;

// Milliseconds until `deadline` for poll(): -1 without a deadline, 0 once it has passed.
int PollTimeout(std::optional<TClock::time_point> deadline) {
    if (!deadline) {
        return -1;
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - TClock::now());
    return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(left.count(), 0, INT_MAX));
}

std::optional<TClock::time_point> Earlier(std::optional<TClock::time_point> a,
                                          std::optional<TClock::time_point> b) {
    if (!a || !b) {
        return a ? a : b;
    }
    return std::min(*a, *b);
}

} // namespace

int TPosixComDevice::DrainLocked(bool byWaiter) {
    if (hangUpError_ != 0) {
        return hangUpError_;
    }
    std::array<std::uint8_t, 4096> buffer{};
    lastDrained_ = 0;
    for (;;) {
        const std::size_t want = std::min(queue_.Room(), buffer.size());
        if (want == 0) {
            return 0;
        }
        const ssize_t got = sys_.Read(fd_, buffer.data(), want);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return 0;
        }
        if (got <= 0) {
            // With VMIN=1 and a non-blocking descriptor, a read of 0 bytes is a hang-up.
            hangUpError_ = got == 0 ? EIO : errno;
            return hangUpError_;
        }
        lastDrained_ += static_cast<std::size_t>(got);
        const auto added =
            queue_.Add(buffer.data(), static_cast<std::size_t>(got), discardNull_, eventChar_);
        std::uint32_t events = added.Added > 0 ? WinComm::EvRxChar : 0;
        events |= added.EventChar ? WinComm::EvRxFlag : 0;
        events |= added.Crossed80 ? WinComm::EvRx80Full : 0;
        if (added.Overflow > 0) {
            pendingErrors_ |= WinComm::CeRxOver;
            events |= WinComm::EvErr;
        }
        RecordEventsLocked(events, byWaiter);
        if (added.Added > 0 && readers_ > 0) {
            const std::uint64_t one = 1;
            static_cast<void>(::write(arrivedFd_, &one, sizeof one));
        }
        if (static_cast<std::size_t>(got) < want) {
            return 0;
        }
    }
}

void TPosixComDevice::RecordEventsLocked(std::uint32_t events, bool byWaiter) {
    const std::uint32_t wanted = events & mask_ & ~pendingEvents_;
    pendingEvents_ |= wanted;
    if (wanted != 0 && !byWaiter) {
        Wake();
    }
}

void TPosixComDevice::RefreshCountersLocked() {
    if (!countersSupported_) {
        return;
    }
    TLineCounters now;
    if (sys_.GetCounters(fd_, now) < 0) {
        // A device that is gone has no more errors to count.
        countersSupported_ = false;
        return;
    }
    const TLineErrorReport report = LineErrorsBetween(counters_, now);
    counters_ = now;
    pendingErrors_ |= report.Errors;
    pendingEvents_ |= report.Events & mask_;
}

int TPosixComDevice::CheckTransmitLocked() {
    if (!txPending_) {
        return -1;
    }
    int queued = 0;
    if (sys_.OutputQueue(fd_, queued) < 0 || queued <= 0) {
        txPending_ = false;
        pendingEvents_ |= WinComm::EvTxEmpty & mask_;
        return -1;
    }
    // Look again when the queued bytes should have left at the line's rate (no busy wait: at
    // least 1 ms, and a line stopped by flow control is looked at five times a second).
    const std::uint64_t ms =
        static_cast<std::uint64_t>(queued) * bitsPerChar_ * 1000 / std::max(baudRate_, 1U) + 1;
    return static_cast<int>(std::clamp<std::uint64_t>(ms, 1, 200));
}

int TPosixComDevice::CollectLocked(std::uint32_t& events, bool& wantInput, int& timeoutMs) {
    const int error = DrainLocked(true);
    RefreshCountersLocked();
    pendingEvents_ |= modemWatch_->TakeChanges() & mask_;
    timeoutMs = CheckTransmitLocked();
    wantInput = queue_.Room() > 0;
    if (pendingEvents_ == WinComm::EvRxChar && error == 0) {
        const auto now = TClock::now();
        if (const int hold = RxHoldOffLocked(now); hold > 0) {
            timeoutMs = timeoutMs < 0 ? hold : std::min(timeoutMs, hold);
            // A slow line leaves its next bytes in the kernel meanwhile (at 115200 baud a
            // hold-off brings about a hundred bytes; the kernel keeps 4 KiB), so the thread
            // sleeps through the hold-off instead of waking for each arrival. A line that
            // brought a lot at once is watched on, so a flood never waits for the timer.
            wantInput = wantInput && lastDrained_ >= FastArrival;
            return sleepForEvents;
        }
    }
    if (pendingEvents_ != 0) {
        if ((pendingEvents_ & WinComm::EvRxChar) != 0) {
            lastRxReport_ = TClock::now();
        }
        events = pendingEvents_;
        pendingEvents_ = 0;
        return 0;
    }
    return error != 0 ? error : sleepForEvents;
}

void TPosixComDevice::SetRxHoldOff(std::chrono::milliseconds holdOff) {
    const std::lock_guard lock(mutex_);
    rxHoldOff_ = holdOff;
}

int TPosixComDevice::RxHoldOffLocked(TClock::time_point now) const {
    if (lastRxReport_ == TClock::time_point{} || queue_.Size() * 2 >= queue_.Capacity()) {
        return 0;
    }
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(lastRxReport_ + rxHoldOff_ - now);
    return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(left.count(), 0, INT_MAX));
}

int TPosixComDevice::WaitCommEvent(std::uint32_t& events, const TStopSignal& stop) {
    events = 0;
    if (!IsOpen()) {
        return EBADF;
    }
    std::uint64_t generation = 0;
    {
        const std::lock_guard lock(mutex_);
        if (mask_ == 0) {
            return EINVAL;
        }
        generation = maskGeneration_;
    }
    for (;;) {
        if (stop.IsSignalled()) {
            return ECANCELED;
        }
        bool wantInput = false;
        int timeoutMs = -1;
        {
            const std::lock_guard lock(mutex_);
            if (generation != maskGeneration_) {
                return 0;
            }
            const int result = CollectLocked(events, wantInput, timeoutMs);
            if (result != sleepForEvents) {
                return result;
            }
        }
        if (const int error = SleepForEvents(stop, wantInput, timeoutMs)) {
            return error;
        }
    }
}

int TPosixComDevice::SleepForEvents(const TStopSignal& stop, bool wantInput, int timeoutMs) {
    // While the queue is full the descriptor is watched only for a hang-up.
    std::array<pollfd, 3> fds{{
        {stop.Fd(), POLLIN, 0},
        {wakeFd_, POLLIN, 0},
        {fd_, static_cast<short>(wantInput ? POLLIN : 0), 0},
    }};
    if (sys_.Poll(fds.data(), fds.size(), timeoutMs) < 0) {
        return errno == EINTR ? 0 : errno;
    }
    if ((fds[1].revents & POLLIN) != 0) {
        Consume(wakeFd_);
    }
    NoteHangUp(fds[2].revents, true);
    return 0;
}

void TPosixComDevice::NoteHangUp(short revents, bool byWaiter) {
    if ((revents & hangUpEvents) == 0) {
        return;
    }
    const std::lock_guard lock(mutex_);
    // Bytes that came before the hang-up still go into the queue and are reported first.
    if (DrainLocked(byWaiter) == 0) {
        hangUpError_ = (revents & POLLNVAL) != 0 ? EBADF : EIO;
    }
}

int TPosixComDevice::Write(const void* data, std::size_t count, std::size_t& written) {
    written = 0;
    const int fd = fd_;
    if (fd < 0) {
        return EBADF;
    }
    if (count == 0) {
        return 0;
    }
    const std::lock_guard writeLock(writeMutex_);
    std::optional<TClock::time_point> deadline;
    {
        const std::lock_guard lock(mutex_);
        if (const auto limit = WriteLimit(timeouts_, count)) {
            deadline = TClock::now() + *limit;
        }
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    int error = 0;
    while (written < count && error == 0) {
        const ssize_t sent = sys_.Write(fd, bytes + written, count - written);
        if (sent > 0) {
            written += static_cast<std::size_t>(sent);
        } else if (sent < 0 && errno == EINTR) {
            continue;
        } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            const int timeoutMs = PollTimeout(deadline);
            if (timeoutMs == 0) {
                // The write timeout ends the write early; that is not a failure.
                break;
            }
            pollfd p{fd, POLLOUT, 0};
            if (sys_.Poll(&p, 1, timeoutMs) < 0 && errno != EINTR) {
                error = errno;
            } else if ((p.revents & hangUpEvents) != 0) {
                error = EIO;
            }
        } else {
            error = sent == 0 ? EIO : errno;
        }
    }
    if (written > 0) {
        const std::lock_guard lock(mutex_);
        if ((mask_ & WinComm::EvTxEmpty) != 0) {
            txPending_ = true;
            Wake();
        }
    }
    return error;
}

int TPosixComDevice::Read(void* data, std::size_t count, std::size_t& read) {
    read = 0;
    if (!IsOpen()) {
        return EBADF;
    }
    if (count == 0) {
        return 0;
    }
    const std::lock_guard readLock(readMutex_);
    TReadPlan plan;
    {
        const std::lock_guard lock(mutex_);
        plan = PlanRead(timeouts_, count);
        ++readers_;
    }
    const auto start = TClock::now();
    auto* bytes = static_cast<std::uint8_t*>(data);
    std::optional<TClock::time_point> lastByte;
    int error = 0;
    for (;;) {
        // Cleared before looking at the queue, so that no arrival after the look is missed.
        Consume(arrivedFd_);
        {
            const std::lock_guard lock(mutex_);
            error = DrainLocked(false);
        }
        const bool wasFull = queue_.Room() == 0;
        const std::size_t took = queue_.Take(bytes + read, count - read);
        if (took > 0) {
            read += took;
            lastByte = TClock::now();
            if (wasFull) {
                // WaitCommEvent stopped draining the descriptor; let it go on.
                Wake();
            }
        }
        if (read == count || error != 0 || plan.ReturnAtOnce ||
            (plan.ReturnOnFirstByte && read > 0)) {
            break;
        }
        std::optional<TClock::time_point> deadline;
        if (plan.Total) {
            deadline = start + *plan.Total;
        }
        if (plan.Interval && lastByte) {
            deadline = Earlier(deadline, *lastByte + *plan.Interval);
        }
        const int timeoutMs = PollTimeout(deadline);
        if (timeoutMs == 0 || (error = WaitForInput(timeoutMs)) != 0) {
            break;
        }
    }
    {
        const std::lock_guard lock(mutex_);
        --readers_;
    }
    // Bytes read before a failure are delivered; the failure shows at the next read.
    return read > 0 ? 0 : error;
}

int TPosixComDevice::WaitForInput(int timeoutMs) {
    std::array<pollfd, 2> fds{{
        {arrivedFd_, POLLIN, 0},
        {fd_, static_cast<short>(queue_.Room() > 0 ? POLLIN : 0), 0},
    }};
    if (sys_.Poll(fds.data(), fds.size(), timeoutMs) < 0) {
        return errno == EINTR ? 0 : errno;
    }
    NoteHangUp(fds[1].revents, false);
    return 0;
}
