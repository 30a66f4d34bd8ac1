// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// Reads, writes and the queries of the input side.
#include "serial/CustomComPort.h"

#include "serial/ComEventMask.h"
#include "serial/EComPort.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstddef>
#include <thread>

namespace {

// A count as the device takes it; a negative count moves nothing.
std::size_t ByteCount(int count) {
    return count > 0 ? static_cast<std::size_t>(count) : 0;
}

int ToInt(std::size_t count) {
    return count > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(count);
}

// How often WaitForOutputEmpty looks at the output queue: a byte takes 2 ms at 4800 baud.
constexpr std::chrono::milliseconds OutputPollStep{5};

TAsyncOperation& Require(TAsyncOperation* operation) {
    if (operation == nullptr) {
        throw EComPort(CError_InvalidAsync);
    }
    return *operation;
}

} // namespace

PAsyncOperation TCustomComPort::NewAsyncOperation() {
    return std::make_unique<TAsyncOperation>();
}

void TCustomComPort::FreeAsyncOperation(PAsyncOperation& Operation) noexcept {
    Operation.reset();
}

// Writing

int TCustomComPort::WriteAsync(const void* Buffer, int Count, TAsyncOperation* Operation) {
    TAsyncOperation& operation = Require(Operation);
    const std::size_t size = Buffer != nullptr ? ByteCount(Count) : 0;
    operation.Kind = akWrite;
    operation.Count = 0;
    const auto* bytes = static_cast<const std::byte*>(Buffer);
    operation.Data.assign(bytes, bytes + size);
    std::size_t written = 0;
    Check(device_->Write(Buffer, size, written), CError_WriteFailed);
    operation.Count = written;
    transmitting_ = true;
    NotifyLinks(&TComLink::OnTransmitting, true);
    return ToInt(written);
}

int TCustomComPort::WriteTextAsync(const std::string& Text, TAsyncOperation* Operation) {
    if (Text.empty()) {
        return 0;
    }
    return WriteAsync(Text.data(), ToInt(Text.size()), Operation);
}

int TCustomComPort::Write(const void* Buffer, int Count) {
    const PAsyncOperation operation = NewAsyncOperation();
    WriteAsync(Buffer, Count, operation.get());
    return WaitForCompletion(operation.get());
}

int TCustomComPort::WriteText(const std::string& Text) {
    const PAsyncOperation operation = NewAsyncOperation();
    WriteTextAsync(Text, operation.get());
    return WaitForCompletion(operation.get());
}

int TCustomComPort::OutputQueueCount() {
    std::uint32_t queued = 0;
    Check(device_->OutputQueueCount(queued), CError_ClearComFailed);
    return ToInt(queued);
}

bool TCustomComPort::WaitForOutputEmpty(int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    for (;;) {
        if (OutputQueueCount() == 0) {
            return true;
        }
        const Clock::time_point now = Clock::now();
        if (now >= end) {
            return false;
        }
        std::this_thread::sleep_for(std::min<Clock::duration>(OutputPollStep, end - now));
    }
}

// Reading

int TCustomComPort::ReadAsync(void* Buffer, int Count, TAsyncOperation* Operation) {
    TAsyncOperation& operation = Require(Operation);
    operation.Kind = akRead;
    operation.Count = 0;
    std::size_t read = 0;
    Check(device_->Read(Buffer, Buffer != nullptr ? ByteCount(Count) : 0, read), CError_ReadFailed);
    operation.Count = read;
    return ToInt(read);
}

int TCustomComPort::ReadTextAsync(std::string& Text, int Count, TAsyncOperation* Operation) {
    Text.assign(ByteCount(Count), '\0');
    if (Count <= 0) {
        return 0;
    }
    return ReadAsync(Text.data(), Count, Operation);
}

int TCustomComPort::Read(void* Buffer, int Count) {
    const PAsyncOperation operation = NewAsyncOperation();
    ReadAsync(Buffer, Count, operation.get());
    return WaitForCompletion(operation.get());
}

int TCustomComPort::ReadText(std::string& Text, int Count) {
    const PAsyncOperation operation = NewAsyncOperation();
    ReadTextAsync(Text, Count, operation.get());
    const int read = WaitForCompletion(operation.get());
    Text.resize(static_cast<std::size_t>(read));
    return read;
}

// Completion

int TCustomComPort::WaitForCompletion(TAsyncOperation* Operation) {
    const TAsyncOperation& operation = Require(Operation);
    if (operation.Kind == akRead) {
        if (InputQueueCount() == 0) {
            NotifyLinks(&TComLink::OnReceiving, false);
        }
    } else if (!operation.Data.empty()) {
        NotifyLinks(&TComLink::OnTransmitBuffer, static_cast<const void*>(operation.Data.data()),
                    operation.Data.size());
    }
    return ToInt(operation.Count);
}

// Input side

int TCustomComPort::InputQueueCount() {
    std::uint32_t errors = 0;
    std::uint32_t queued = 0;
    Check(device_->ClearCommError(errors, queued), CError_ClearComFailed);
    return ToInt(queued);
}

TComErrors TCustomComPort::ReadLineErrors() {
    std::uint32_t errors = 0;
    std::uint32_t queued = 0;
    Check(device_->ClearCommError(errors, queued), CError_ClearComFailed);
    return ErrorWordToErrors(errors, Parity().Check());
}
