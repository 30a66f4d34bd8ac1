// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

// What one call of TInputQueue::Add did.
struct TQueueAddResult {
    std::size_t Added = 0;    // bytes now queued (NULs dropped and bytes refused not counted)
    bool EventChar = false;   // the event character was among the queued bytes
    bool Crossed80 = false;   // the fill went from below 80 % of the capacity to at least 80 %
    std::size_t Overflow = 0; // bytes refused because the queue was full
};

// The device's input queue: received bytes wait here until they are read. It holds at most
// Capacity() bytes (the input size given to SetupComm). Safe to use from several threads.
class TInputQueue {
public:
    explicit TInputQueue(std::size_t capacity);

    // A capacity of 0 is taken as 1. Bytes already queued beyond a smaller capacity stay queued.
    void SetCapacity(std::size_t capacity);
    std::size_t Capacity() const;
    std::size_t Size() const;
    // How many bytes still fit (0 when full).
    std::size_t Room() const;

    // Queues `count` bytes; NUL bytes are dropped when `discardNull` is set, and bytes that do
    // not fit are refused. `eventChar` is the byte whose arrival is reported, if any.
    TQueueAddResult Add(const std::uint8_t* data, std::size_t count, bool discardNull,
                        std::optional<std::uint8_t> eventChar);
    // Moves up to `count` of the oldest bytes to `out`; returns how many.
    std::size_t Take(std::uint8_t* out, std::size_t count);
    void Clear();

private:
    std::size_t Threshold80() const;

    mutable std::mutex mutex_;
    std::deque<std::uint8_t> bytes_;
    std::size_t capacity_;
};
