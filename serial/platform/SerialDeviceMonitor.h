// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/platform/SerialDevice.h"

#include <chrono>
#include <optional>
#include <vector>

struct udev;
struct udev_monitor;

// Where plug events come from: udev's after its daemon has set the device up, the kernel's
// where no udev daemon runs (a container), or none at all, so the device list is compared.
enum class TMonitorSource { Udev, Kernel, Polling };

// udev's events when its daemon runs here, else the kernel's.
TMonitorSource DefaultMonitorSource();

// Notices serial devices being plugged in and out. With an event source its descriptor becomes
// readable when events are pending and stays quiet otherwise; without one (no netlink socket
// can be made, or `tree` is a fake tree no event reaches) the caller calls Drain at most once
// per PollInterval and the monitor compares the device list with the one it saw before.
class TSerialDeviceMonitor {
public:
    static constexpr std::chrono::milliseconds PollInterval{1000};

    // Falls back from `wanted` to polling when its socket cannot be made.
    explicit TSerialDeviceMonitor(TMonitorSource wanted = DefaultMonitorSource(),
                                  TDeviceTree tree = {});
    ~TSerialDeviceMonitor();
    TSerialDeviceMonitor(const TSerialDeviceMonitor&) = delete;
    TSerialDeviceMonitor& operator=(const TSerialDeviceMonitor&) = delete;

    TMonitorSource Source() const noexcept { return source_; }
    // The descriptor to wait on for reading; -1 while polling.
    int Fd() const noexcept;

    // Takes every pending event without waiting; true when a serial device came or went since
    // the last call (also when events were lost, so the caller reads the list anew). While
    // polling: true when the device list differs from the last call's, or could be read then
    // and not now, or the other way round.
    bool Drain();

private:
    bool Listen(const char* source);
    bool DrainEvents();
    bool Poll();

    TDeviceTree tree_;
    TMonitorSource source_ = TMonitorSource::Polling;
    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    // The list of the last poll; nullopt when it could not be read.
    std::optional<std::vector<TSerialDevice>> seen_;
};
