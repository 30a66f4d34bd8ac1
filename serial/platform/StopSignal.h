// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

// The stop signal of an event thread: an eventfd that a device layer waits on together with its
// device, so that Close can wake a sleeping thread at once. Signal() may be called from any
// thread and any number of times; the signal stays set until Reset().
class TStopSignal {
public:
    TStopSignal();
    ~TStopSignal();
    TStopSignal(const TStopSignal&) = delete;
    TStopSignal& operator=(const TStopSignal&) = delete;

    void Signal() const noexcept;
    void Reset() const noexcept;
    bool IsSignalled() const noexcept;
    // The descriptor to poll for readability (set while signalled).
    int Fd() const noexcept { return fd_; }

private:
    int fd_;
};
