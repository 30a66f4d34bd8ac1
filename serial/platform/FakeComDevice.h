// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/platform/ComDevice.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

// The device operations whose failure a test can script.
enum class TFakeOp : std::uint8_t {
    Open,
    SetupComm,
    SetCommState,
    SetCommTimeouts,
    SetCommMask,
    WaitCommEvent,
    Write,
    Read,
    ClearCommError,
    GetCommModemStatus,
    PurgeComm,
    OutputQueueCount,
};
inline constexpr std::size_t FakeOpCount = 12;

// A device for tests: bytes, line errors, modem status changes and events are injected by the
// test; failures are scripted per operation with an errno; calls are counted and the values last
// applied are kept. Events are recorded as the Win32 interface does, only those of the current
// event mask; a test may also queue whole batches that one wait each reports, in order.
// WaitCommEvent sleeps on an eventfd of its own together with the stop signal, so a waiting
// event thread costs nothing. Every member may be called from any thread.
class TFakeComDevice final : public TComDevice {
public:
    TFakeComDevice();
    ~TFakeComDevice() override;
    TFakeComDevice(const TFakeComDevice&) = delete;
    TFakeComDevice& operator=(const TFakeComDevice&) = delete;

    // TComDevice
    int Open(const std::string& portName) override;
    void Close() noexcept override;
    bool IsOpen() const noexcept override;
    int SetupComm(std::uint32_t inputSize, std::uint32_t outputSize) override;
    int SetCommState(const TDCB& dcb) override;
    int SetCommTimeouts(const TCommTimeouts& timeouts) override;
    int SetCommMask(std::uint32_t mask) override;
    int WaitCommEvent(std::uint32_t& events, const TStopSignal& stop) override;
    int Write(const void* data, std::size_t count, std::size_t& written) override;
    int Read(void* data, std::size_t count, std::size_t& read) override;
    int ClearCommError(std::uint32_t& errors, std::uint32_t& inputQueue) override;
    int OutputQueueCount(std::uint32_t& count) override;
    int GetCommModemStatus(std::uint32_t& status) override;
    int PurgeComm(std::uint32_t flags) override;

    // Scripting. `error` 0 lets the operation succeed again.
    void FailWith(TFakeOp operation, int error);
    // Bytes arrive: queued (NULs dropped when the line settings discard them), EV_RXCHAR, and
    // EV_RXFLAG for the event character, EV_RX80FULL past 80 % of the input queue size.
    void InjectReceived(const std::string& bytes);
    // Line errors (CE_* bits) are added to the pending ones; EV_ERR.
    void InjectLineErrors(std::uint32_t errorWord);
    // A new modem status word (MS_*_ON bits); EV_CTS, EV_DSR, EV_RLSD for the changed
    // signals and EV_RING when the ring indicator comes on.
    void SetModemStatus(std::uint32_t status);
    // Any events (EV_* bits), as far as the event mask lets them through.
    void InjectEvents(std::uint32_t events);
    // Between BeginBatch and EndBatch whatever is raised is held back and then reported by one
    // wait, as one batch.
    void BeginBatch();
    void EndBatch();
    // Events (EV_* bits) that one wait reports on their own, after the batches queued before
    // and before anything raised otherwise; the event mask of that wait applies.
    void QueueBatch(std::uint32_t events);
    // The device goes away: waits, reads and writes fail with `error` from now on.
    void HangUp(int error);
    // A write takes at most this many bytes (the rest is cut off as by a write timeout).
    void LimitWrite(std::size_t maximum);
    // The bytes the output queue reports as not yet sent (0 at start; writes do not change it).
    void SetOutputQueue(std::uint32_t count);

    // Observation.
    int CallCount(TFakeOp operation) const;
    int OpenCount() const;
    int CloseCount() const;
    std::string OpenedName() const;
    TDCB LastDCB() const;
    TCommTimeouts LastTimeouts() const;
    TQueueSizes LastQueueSizes() const;
    // Every event mask set and every purge's flags, in call order.
    std::vector<std::uint32_t> Masks() const;
    std::vector<std::uint32_t> Purges() const;
    std::string Written() const;
    std::size_t QueuedCount() const;
    // The batches of QueueBatch that no wait has reported yet.
    std::size_t QueuedBatches() const;
    // The operations that changed the device's configuration or state, by name, in call order
    // (Open, Close, SetupComm, SetCommState, SetCommTimeouts, SetCommMask, PurgeComm).
    std::vector<std::string> ConfigLog() const;
    // True while a WaitCommEvent call is inside the device (about to sleep or sleeping). With
    // CallCount(TFakeOp::WaitCommEvent) it tells that an event thread is back in its wait, so
    // the batch before has been delivered.
    bool IsWaiting() const;
    // The thread id (gettid) of the last caller of WaitCommEvent; 0 before the first call.
    long WaitingThread() const;

private:
    using Lock = std::unique_lock<std::mutex>;

    // The scripted failure of `operation` (counting the call), EBADF when the device is closed
    // and `needsOpen`, else 0.
    int Enter(const Lock& lock, TFakeOp operation, bool needsOpen = true);
    void Raise(const Lock& lock, std::uint32_t events);
    void Wake() const noexcept;
    void DrainWake() const noexcept;
    int TakeEvents(const Lock& lock, std::uint32_t& events);

    mutable std::mutex mutex_;
    int wakeFd_;
    bool open_ = false;
    bool batching_ = false;
    int hangUp_ = 0;
    int waiters_ = 0;
    long waiterTid_ = 0;
    std::array<int, FakeOpCount> failures_{};
    std::array<int, FakeOpCount> calls_{};
    int opens_ = 0;
    int closes_ = 0;
    std::string name_;
    TDCB dcb_{};
    TCommTimeouts timeouts_{};
    TQueueSizes queueSizes_{1024, 1024};
    std::uint32_t mask_ = 0;
    std::uint32_t pending_ = 0;
    std::uint32_t errorWord_ = 0;
    std::uint32_t modemStatus_ = 0;
    std::vector<std::uint32_t> masks_;
    std::vector<std::uint32_t> purges_;
    std::deque<std::uint32_t> batches_;
    std::size_t writeLimit_ = static_cast<std::size_t>(-1);
    std::uint32_t outputQueue_ = 0;
    std::string input_;
    std::string written_;
    std::vector<std::string> configLog_;
};
