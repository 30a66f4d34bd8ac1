// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/platform/ComPlatformTypes.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

class TStopSignal;

// One serial device as the port sees it, in the terms of the Win32 communications functions:
// the port builds device control blocks, timeout blocks, event masks and error words exactly as
// that interface defines them, and a device layer realises them on its own platform.
//
// Every operation returns 0 on success or the errno value of the failure; the port turns a
// failure into EComPort with its code and that number. Operations on a device that is not open
// fail with EBADF. Read, Write, ClearCommError, OutputQueueCount, GetCommModemStatus and
// PurgeComm may run on the user-interface thread while WaitCommEvent blocks on the event thread;
// a device layer protects what they share itself.
class TComDevice {
public:
    virtual ~TComDevice() = default;

    // Opens the device named by a port name ("COM1", "ttyUSB0", "/dev/pts/3") for exclusive use.
    virtual int Open(const std::string& portName) = 0;
    // Releases the device; nothing happens when it is not open. A device layer may finish the
    // release on a thread of its own (a driver can wait long in close() for unsent bytes); the
    // device counts as closed at once, and Open waits until the release has finished.
    virtual void Close() noexcept = 0;
    virtual bool IsOpen() const noexcept = 0;
    // False when no release of an earlier Close is under way; otherwise `done` is called once
    // it has finished, on the thread that finished it.
    virtual bool WhenClosed(std::function<void()> /*done*/) { return false; }

    virtual int SetupComm(std::uint32_t inputSize, std::uint32_t outputSize) = 0;
    virtual int SetCommState(const TDCB& dcb) = 0;
    virtual int SetCommTimeouts(const TCommTimeouts& timeouts) = 0;

    // The events (EV_* mask values) that WaitCommEvent reports; 0 reports none.
    virtual int SetCommMask(std::uint32_t mask) = 0;
    // Sleeps until at least one event of the mask has happened and returns them in `events`
    // (EV_* bits), or until `stop` is signalled (returns ECANCELED). Any other result means the
    // device cannot be waited on any more (for instance it was removed: EIO, ENXIO, ENODEV).
    // Never busy-waits. Bytes that arrive are moved into the device's input queue here, so
    // bytes a reader leaves queued are reported again only when new bytes arrive.
    virtual int WaitCommEvent(std::uint32_t& events, const TStopSignal& stop) = 0;

    // Writes `count` bytes within the write timeouts; `written` tells how many went out (also
    // when the timeout ends the write early, which is then not an error).
    virtual int Write(const void* data, std::size_t count, std::size_t& written) = 0;
    // Reads at most `count` bytes from the input queue within the read timeouts (with the
    // default timeouts: at once, what is queued, possibly nothing).
    virtual int Read(void* data, std::size_t count, std::size_t& read) = 0;

    // The pending line errors (CE_* bits, cleared by the call) and the bytes in the input queue.
    virtual int ClearCommError(std::uint32_t& errors, std::uint32_t& inputQueue) = 0;
    // The bytes written but not yet sent (the output queue of ClearCommError's status block).
    // A driver that cannot tell reports 0.
    virtual int OutputQueueCount(std::uint32_t& count) = 0;
    // The modem status word (MS_*_ON bits).
    virtual int GetCommModemStatus(std::uint32_t& status) = 0;
    // Discards queued data and aborts pending transfers (PURGE_* flags).
    virtual int PurgeComm(std::uint32_t flags) = 0;
};
