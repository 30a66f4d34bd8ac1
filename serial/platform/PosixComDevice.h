// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/platform/ComDevice.h"
#include "serial/platform/DeferredClose.h"
#include "serial/platform/InputQueue.h"
#include "serial/platform/ModemWatch.h"
#include "serial/platform/SysCalls.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

// A serial device of Linux (a UART, a USB adapter, a pseudo-terminal) behind the Win32-style
// device interface.
//
// Received bytes are moved from the descriptor into the device's own input queue by
// WaitCommEvent and by the reads and queries, whichever runs first; the queue holds at most the
// input size of SetupComm, and while it is full the descriptor is left alone so that the
// kernel's buffer fills and hardware flow control stops the sender. Read timeouts, write
// timeouts and the event wait are done with poll(); nothing ever busy-waits.
//
// Like a UART's receive FIFO with its trigger level and character timeout, a stream of small
// arrivals is reported in batches: once received bytes have been reported, further arrivals
// alone are reported a hold-off time later (DefaultRxHoldOff), or at once when the queue is
// half full or any other event comes. The first arrival after a quiet spell is reported at
// once. Handing every few bytes of a fast line to the window separately would cost more than
// handling them.
//
// Threads: Open, Close and the Set* calls belong to one thread (the port's); WaitCommEvent runs
// on one other thread at a time and may overlap Read, Write, ClearCommError, OutputQueueCount,
// GetCommModemStatus, PurgeComm and SetCommMask. Close must not overlap WaitCommEvent.
class TPosixComDevice : public TComDevice {
public:
    static constexpr std::chrono::milliseconds DefaultRxHoldOff{10};

    // On the running system.
    TPosixComDevice();
    // On `sys`, which must outlive the device (tests inject failures and driver behaviour).
    explicit TPosixComDevice(TSysCalls& sys);
    ~TPosixComDevice() override;
    TPosixComDevice(const TPosixComDevice&) = delete;
    TPosixComDevice& operator=(const TPosixComDevice&) = delete;

    // How long further arrivals alone wait after received bytes were reported.
    void SetRxHoldOff(std::chrono::milliseconds holdOff);

    // Opens the device non-blocking, locks it (flock, so that even root cannot open it twice),
    // sets TIOCEXCL where the driver has it and switches the line to raw mode. A second open of
    // an open device fails with EBUSY. The descriptor of the last Close is released first
    // (waiting for it), so that the lock keeps its meaning.
    int Open(const std::string& portName) override;
    // Switches flow control off and closes the descriptor on a thread of its own: with
    // hardware flow control and CTS low (a three-wire cable) the driver's close would wait up
    // to its closing wait for the bytes the adapter still holds. The lock goes with the
    // descriptor.
    void Close() noexcept override;
    bool IsOpen() const noexcept override;
    bool WhenClosed(std::function<void()> done) override;

    // The input size becomes the capacity of the input queue; the output size is the kernel's.
    int SetupComm(std::uint32_t inputSize, std::uint32_t outputSize) override;
    int SetCommState(const TDCB& dcb) override;
    int SetCommTimeouts(const TCommTimeouts& timeouts) override;

    // Also forgets events not yet reported and ends a WaitCommEvent under way with no events.
    int SetCommMask(std::uint32_t mask) override;
    // A mask of 0 fails with EINVAL. After a hang-up (the other end closed, the adapter was
    // pulled) the events already collected are reported first, then this and every later call
    // fails at once with the error (EIO when the system named none).
    int WaitCommEvent(std::uint32_t& events, const TStopSignal& stop) override;

    int Write(const void* data, std::size_t count, std::size_t& written) override;
    int Read(void* data, std::size_t count, std::size_t& read) override;

    int ClearCommError(std::uint32_t& errors, std::uint32_t& inputQueue) override;
    // TIOCOUTQ; a driver without it reports 0 (a pseudo-terminal hands bytes on at once).
    int OutputQueueCount(std::uint32_t& count) override;
    // A driver without modem lines (a pseudo-terminal) reports all lines off.
    int GetCommModemStatus(std::uint32_t& status) override;
    // On a device that is gone there is nothing left to discard: that succeeds. On a
    // pseudo-terminal the output side is not flushed: what was written already lies in the
    // other end's input.
    int PurgeComm(std::uint32_t flags) override;

private:
    int OpenLocked(const std::string& path, int& fd);
    void ResetState(int fd);
    void DropFlowControlOf(int fd) noexcept;
    int ApplyModemLines(int fd, int raise, int drop);
    void RememberLine(const TDCB& dcb);

    // Moves what the descriptor holds into the queue; 0, or the error of a hang-up. The device
    // mutex is held. `byWaiter`: called by WaitCommEvent, which need not be woken.
    int DrainLocked(bool byWaiter);
    void RecordEventsLocked(std::uint32_t events, bool byWaiter);
    void RefreshCountersLocked();
    // Reports EV_TXEMPTY once the output queue is empty; else the poll timeout to check again.
    int CheckTransmitLocked();
    // One round of the event wait: collects events; 0 with events, a failure, or -1 to sleep.
    int CollectLocked(std::uint32_t& events, bool& wantInput, int& timeoutMs);
    // Milliseconds that a report of received bytes alone is still held back, or 0.
    int RxHoldOffLocked(std::chrono::steady_clock::time_point now) const;
    int SleepForEvents(const TStopSignal& stop, bool wantInput, int timeoutMs);
    int WaitForInput(int timeoutMs);
    // After poll() reported a hang-up on the descriptor: takes in what is left and remembers it.
    void NoteHangUp(short revents, bool byWaiter);

    void Wake() const noexcept;
    static void Consume(int eventFd) noexcept;

    TSysCalls& sys_;
    std::atomic<int> fd_{-1};
    // Set by Open; read by PurgeComm.
    bool pseudoTerminal_ = false;
    // Wakes WaitCommEvent (modem changes, room in the queue, a write, a new mask).
    int wakeFd_;
    // Wakes a read waiting for bytes that WaitCommEvent moved into the queue.
    int arrivedFd_;
    TInputQueue queue_;
    std::unique_ptr<TModemWatch> modemWatch_;
    TDeferredClose closer_;
    std::mutex readMutex_;
    std::mutex writeMutex_;
    // Guards everything below.
    std::mutex mutex_;
    std::uint32_t mask_ = 0;
    std::uint64_t maskGeneration_ = 0;
    std::uint32_t pendingEvents_ = 0;
    std::uint32_t pendingErrors_ = 0;
    bool discardNull_ = false;
    std::uint8_t eventChar_ = 0;
    TCommTimeouts timeouts_;
    bool countersSupported_ = false;
    TLineCounters counters_;
    bool txPending_ = false;
    std::uint32_t baudRate_ = 9600;
    std::uint32_t bitsPerChar_ = 10;
    int hangUpError_ = 0;
    int readers_ = 0;
    // When received bytes were last reported (steady clock), for the hold-off.
    std::chrono::steady_clock::time_point lastRxReport_{};
    std::chrono::milliseconds rxHoldOff_ = DefaultRxHoldOff;
    // Bytes the last drain of the descriptor moved; from FastArrival on, the descriptor is
    // watched during a hold-off.
    std::size_t lastDrained_ = 0;
    static constexpr std::size_t FastArrival = 1024;
};
