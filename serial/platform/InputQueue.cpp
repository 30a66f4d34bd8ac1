// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/platform/InputQueue.h"

#include <algorithm>

TInputQueue::TInputQueue(std::size_t capacity)
    : capacity_(std::max<std::size_t>(capacity, 1)) {}

void TInputQueue::SetCapacity(std::size_t capacity) {
    const std::lock_guard lock(mutex_);
    capacity_ = std::max<std::size_t>(capacity, 1);
}

std::size_t TInputQueue::Capacity() const {
    const std::lock_guard lock(mutex_);
    return capacity_;
}

std::size_t TInputQueue::Size() const {
    const std::lock_guard lock(mutex_);
    return bytes_.size();
}

std::size_t TInputQueue::Room() const {
    const std::lock_guard lock(mutex_);
    return bytes_.size() >= capacity_ ? 0 : capacity_ - bytes_.size();
}

std::size_t TInputQueue::Threshold80() const {
    // Capacities come from a 32-bit size, so the product cannot overflow.
    return std::max<std::size_t>(capacity_ * 8 / 10, 1);
}

TQueueAddResult TInputQueue::Add(const std::uint8_t* data, std::size_t count, bool discardNull,
                                 std::optional<std::uint8_t> eventChar) {
    const std::lock_guard lock(mutex_);
    TQueueAddResult result;
    const std::size_t before = bytes_.size();
    // Runs of bytes are queued at once: a flooded line sends whole reads through here, often
    // into a full queue, and a byte-by-byte loop would cost more than the read itself.
    const std::uint8_t* pos = data;
    const std::uint8_t* const end = data + count;
    while (pos != end) {
        const std::uint8_t* runEnd = discardNull ? std::find(pos, end, std::uint8_t{0}) : end;
        const std::size_t room = bytes_.size() >= capacity_ ? 0 : capacity_ - bytes_.size();
        const std::size_t take =
            std::min<std::size_t>(room, static_cast<std::size_t>(runEnd - pos));
        bytes_.insert(bytes_.end(), pos, pos + take);
        result.Added += take;
        result.Overflow += static_cast<std::size_t>(runEnd - pos) - take;
        result.EventChar =
            result.EventChar || (eventChar && std::find(pos, pos + take, *eventChar) != pos + take);
        pos = runEnd == end ? end : runEnd + 1; // skips the dropped NUL
    }
    const std::size_t threshold = Threshold80();
    result.Crossed80 = before < threshold && bytes_.size() >= threshold;
    return result;
}

std::size_t TInputQueue::Take(std::uint8_t* out, std::size_t count) {
    const std::lock_guard lock(mutex_);
    const std::size_t n = std::min(count, bytes_.size());
    std::copy_n(bytes_.begin(), n, out);
    bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(n));
    return n;
}

void TInputQueue::Clear() {
    const std::lock_guard lock(mutex_);
    bytes_.clear();
}
