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
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t byte = data[i];
        if (discardNull && byte == 0) {
            continue;
        }
        if (bytes_.size() >= capacity_) {
            ++result.Overflow;
            continue;
        }
        bytes_.push_back(byte);
        ++result.Added;
        result.EventChar = result.EventChar || (eventChar && *eventChar == byte);
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
