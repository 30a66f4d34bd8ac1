// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

// What an operation record was last used for.
enum TAsyncKind : std::uint8_t { akWrite, akRead };

// The record of one read or write of a port. The device layer of this system completes every
// transfer inside the call that starts it (within the port's timeouts), so the record keeps the
// outcome until the port's WaitForCompletion collects it and raises the link notifications.
// A new record has no kind and a count of 0: waiting on it returns 0 and notifies nobody.
struct TAsyncOperation {
    std::optional<TAsyncKind> Kind;
    // The port's private copy of the bytes of the last write started with this record.
    std::vector<std::byte> Data;
    // The byte count of the last operation started with this record.
    std::size_t Count = 0;
};

using PAsyncOperation = std::unique_ptr<TAsyncOperation>;
