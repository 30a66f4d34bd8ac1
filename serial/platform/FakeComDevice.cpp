// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/platform/FakeComDevice.h"

#include "serial/platform/ComPlatformTypes.h"
#include "serial/platform/StopSignal.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

std::size_t Index(TFakeOp operation) {
    return static_cast<std::size_t>(operation);
}

// The events that a change of the modem status word raises.
std::uint32_t ModemEvents(std::uint32_t before, std::uint32_t after) {
    const std::uint32_t changed = before ^ after;
    std::uint32_t events = 0;
    if ((changed & WinComm::MsCtsOn) != 0) {
        events |= WinComm::EvCts;
    }
    if ((changed & WinComm::MsDsrOn) != 0) {
        events |= WinComm::EvDsr;
    }
    if ((changed & WinComm::MsRlsdOn) != 0) {
        events |= WinComm::EvRlsd;
    }
    if ((changed & after & WinComm::MsRingOn) != 0) {
        events |= WinComm::EvRing;
    }
    return events;
}

} // namespace

TFakeComDevice::TFakeComDevice()
    : wakeFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (wakeFd_ < 0) {
        throw std::runtime_error("eventfd failed");
    }
}

TFakeComDevice::~TFakeComDevice() {
    ::close(wakeFd_);
}

int TFakeComDevice::Enter(const Lock& /*lock*/, TFakeOp operation, bool needsOpen) {
    ++calls_[Index(operation)];
    if (failures_[Index(operation)] != 0) {
        return failures_[Index(operation)];
    }
    return needsOpen && !open_ ? EBADF : 0;
}

void TFakeComDevice::Raise(const Lock& /*lock*/, std::uint32_t events) {
    pending_ |= events & mask_;
    Wake();
}

void TFakeComDevice::Wake() const noexcept {
    const std::uint64_t one = 1;
    while (::write(wakeFd_, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void TFakeComDevice::DrainWake() const noexcept {
    std::uint64_t value = 0;
    while (::read(wakeFd_, &value, sizeof value) < 0 && errno == EINTR) {
    }
}

// Device operations

int TFakeComDevice::Open(const std::string& portName) {
    const Lock lock(mutex_);
    configLog_.emplace_back("Open");
    if (const int error = Enter(lock, TFakeOp::Open, false)) {
        return error;
    }
    if (open_) {
        return EBUSY;
    }
    open_ = true;
    ++opens_;
    name_ = portName;
    hangUp_ = 0;
    mask_ = pending_ = errorWord_ = 0;
    input_.clear();
    return 0;
}

void TFakeComDevice::Close() noexcept {
    const Lock lock(mutex_);
    if (!open_) {
        return;
    }
    open_ = false;
    ++closes_;
    mask_ = pending_ = 0;
    configLog_.emplace_back("Close");
    Wake();
}

bool TFakeComDevice::IsOpen() const noexcept {
    const Lock lock(mutex_);
    return open_;
}

int TFakeComDevice::SetupComm(std::uint32_t inputSize, std::uint32_t outputSize) {
    const Lock lock(mutex_);
    configLog_.emplace_back("SetupComm");
    if (const int error = Enter(lock, TFakeOp::SetupComm)) {
        return error;
    }
    queueSizes_ = {inputSize, outputSize};
    return 0;
}

int TFakeComDevice::SetCommState(const TDCB& dcb) {
    const Lock lock(mutex_);
    configLog_.emplace_back("SetCommState");
    if (const int error = Enter(lock, TFakeOp::SetCommState)) {
        return error;
    }
    dcb_ = dcb;
    return 0;
}

int TFakeComDevice::SetCommTimeouts(const TCommTimeouts& timeouts) {
    const Lock lock(mutex_);
    configLog_.emplace_back("SetCommTimeouts");
    if (const int error = Enter(lock, TFakeOp::SetCommTimeouts)) {
        return error;
    }
    timeouts_ = timeouts;
    return 0;
}

int TFakeComDevice::SetCommMask(std::uint32_t mask) {
    const Lock lock(mutex_);
    configLog_.emplace_back("SetCommMask");
    if (const int error = Enter(lock, TFakeOp::SetCommMask)) {
        return error;
    }
    mask_ = mask;
    masks_.push_back(mask);
    pending_ &= mask;
    Wake();
    return 0;
}

int TFakeComDevice::TakeEvents(const Lock& /*lock*/, std::uint32_t& events) {
    if (hangUp_ != 0) {
        return hangUp_;
    }
    if (!open_) {
        return EBADF;
    }
    if (batching_) {
        return EAGAIN;
    }
    while (!batches_.empty()) {
        events = batches_.front() & mask_;
        batches_.pop_front();
        if (events != 0) {
            return 0;
        }
    }
    events = pending_ & mask_;
    pending_ = 0;
    return events != 0 ? 0 : EAGAIN;
}

int TFakeComDevice::WaitCommEvent(std::uint32_t& events, const TStopSignal& stop) {
    events = 0;
    {
        const Lock lock(mutex_);
        waiterTid_ = static_cast<long>(::syscall(SYS_gettid));
        if (const int error = Enter(lock, TFakeOp::WaitCommEvent)) {
            return error;
        }
        ++waiters_;
    }
    int result = 0;
    for (;;) {
        if (stop.IsSignalled()) {
            result = ECANCELED;
            break;
        }
        // Drained before looking, so that whatever is raised afterwards wakes the poll.
        DrainWake();
        {
            const Lock lock(mutex_);
            result = TakeEvents(lock, events);
        }
        if (result != EAGAIN) {
            break;
        }
        pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {stop.Fd(), POLLIN, 0}};
        ::poll(fds, 2, -1);
    }
    const Lock lock(mutex_);
    --waiters_;
    return result;
}

int TFakeComDevice::Write(const void* data, std::size_t count, std::size_t& written) {
    written = 0;
    const Lock lock(mutex_);
    if (const int error = Enter(lock, TFakeOp::Write)) {
        return error;
    }
    if (hangUp_ != 0) {
        return hangUp_;
    }
    written = std::min(count, writeLimit_);
    written_.append(static_cast<const char*>(data), written);
    return 0;
}

int TFakeComDevice::Read(void* data, std::size_t count, std::size_t& read) {
    read = 0;
    const Lock lock(mutex_);
    if (const int error = Enter(lock, TFakeOp::Read)) {
        return error;
    }
    if (hangUp_ != 0) {
        return hangUp_;
    }
    read = std::min(count, input_.size());
    std::memcpy(data, input_.data(), read);
    input_.erase(0, read);
    return 0;
}

int TFakeComDevice::ClearCommError(std::uint32_t& errors, std::uint32_t& inputQueue) {
    errors = inputQueue = 0;
    const Lock lock(mutex_);
    if (const int error = Enter(lock, TFakeOp::ClearCommError)) {
        return error;
    }
    errors = errorWord_;
    errorWord_ = 0;
    inputQueue = static_cast<std::uint32_t>(input_.size());
    return 0;
}

int TFakeComDevice::OutputQueueCount(std::uint32_t& count) {
    count = 0;
    const Lock lock(mutex_);
    if (const int error = Enter(lock, TFakeOp::OutputQueueCount)) {
        return error;
    }
    count = outputQueue_;
    return 0;
}

int TFakeComDevice::GetCommModemStatus(std::uint32_t& status) {
    status = 0;
    const Lock lock(mutex_);
    if (const int error = Enter(lock, TFakeOp::GetCommModemStatus)) {
        return error;
    }
    status = modemStatus_;
    return 0;
}

int TFakeComDevice::PurgeComm(std::uint32_t flags) {
    const Lock lock(mutex_);
    configLog_.emplace_back("PurgeComm");
    if (const int error = Enter(lock, TFakeOp::PurgeComm)) {
        return error;
    }
    purges_.push_back(flags);
    if ((flags & (WinComm::PurgeRxAbort | WinComm::PurgeRxClear)) != 0) {
        input_.clear();
    }
    return 0;
}

// Scripting

void TFakeComDevice::FailWith(TFakeOp operation, int error) {
    const Lock lock(mutex_);
    failures_[Index(operation)] = error;
}

void TFakeComDevice::InjectReceived(const std::string& bytes) {
    const Lock lock(mutex_);
    std::uint32_t events = 0;
    for (char byte : bytes) {
        if (byte == '\0' && dcb_.fNull) {
            continue;
        }
        input_ += byte;
        events |= WinComm::EvRxChar;
        if (byte == dcb_.EvtChar) {
            events |= WinComm::EvRxFlag;
        }
    }
    if (input_.size() * 10 > static_cast<std::size_t>(queueSizes_.InputSize) * 8) {
        events |= WinComm::EvRx80Full;
    }
    Raise(lock, events);
}

void TFakeComDevice::InjectLineErrors(std::uint32_t errorWord) {
    const Lock lock(mutex_);
    errorWord_ |= errorWord;
    Raise(lock, WinComm::EvErr);
}

void TFakeComDevice::SetModemStatus(std::uint32_t status) {
    const Lock lock(mutex_);
    const std::uint32_t events = ModemEvents(modemStatus_, status);
    modemStatus_ = status;
    Raise(lock, events);
}

void TFakeComDevice::InjectEvents(std::uint32_t events) {
    const Lock lock(mutex_);
    Raise(lock, events);
}

void TFakeComDevice::BeginBatch() {
    const Lock lock(mutex_);
    batching_ = true;
}

void TFakeComDevice::EndBatch() {
    const Lock lock(mutex_);
    batching_ = false;
    Wake();
}

void TFakeComDevice::QueueBatch(std::uint32_t events) {
    const Lock lock(mutex_);
    batches_.push_back(events);
    Wake();
}

void TFakeComDevice::HangUp(int error) {
    const Lock lock(mutex_);
    hangUp_ = error;
    Wake();
}

void TFakeComDevice::LimitWrite(std::size_t maximum) {
    const Lock lock(mutex_);
    writeLimit_ = maximum;
}

void TFakeComDevice::SetOutputQueue(std::uint32_t count) {
    const Lock lock(mutex_);
    outputQueue_ = count;
}

// Observation

int TFakeComDevice::CallCount(TFakeOp operation) const {
    const Lock lock(mutex_);
    return calls_[Index(operation)];
}

int TFakeComDevice::OpenCount() const {
    const Lock lock(mutex_);
    return opens_;
}

int TFakeComDevice::CloseCount() const {
    const Lock lock(mutex_);
    return closes_;
}

std::string TFakeComDevice::OpenedName() const {
    const Lock lock(mutex_);
    return name_;
}

TDCB TFakeComDevice::LastDCB() const {
    const Lock lock(mutex_);
    return dcb_;
}

TCommTimeouts TFakeComDevice::LastTimeouts() const {
    const Lock lock(mutex_);
    return timeouts_;
}

TQueueSizes TFakeComDevice::LastQueueSizes() const {
    const Lock lock(mutex_);
    return queueSizes_;
}

std::vector<std::uint32_t> TFakeComDevice::Masks() const {
    const Lock lock(mutex_);
    return masks_;
}

std::vector<std::uint32_t> TFakeComDevice::Purges() const {
    const Lock lock(mutex_);
    return purges_;
}

std::string TFakeComDevice::Written() const {
    const Lock lock(mutex_);
    return written_;
}

std::size_t TFakeComDevice::QueuedCount() const {
    const Lock lock(mutex_);
    return input_.size();
}

std::size_t TFakeComDevice::QueuedBatches() const {
    const Lock lock(mutex_);
    return batches_.size();
}

std::vector<std::string> TFakeComDevice::ConfigLog() const {
    const Lock lock(mutex_);
    return configLog_;
}

bool TFakeComDevice::IsWaiting() const {
    const Lock lock(mutex_);
    return waiters_ > 0;
}

long TFakeComDevice::WaitingThread() const {
    const Lock lock(mutex_);
    return waiterTid_;
}
