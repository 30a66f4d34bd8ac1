// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/platform/SerialDeviceMonitor.h"

#include "serial/platform/SerialDeviceList.h"

#include <libudev.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>
#include <system_error>
#include <utility>

namespace {

// Events a single Drain takes at most; the rest keep the descriptor readable for the next one.
constexpr int MaxEventsPerDrain = 256;

bool Pending(int fd) {
    pollfd waiting{fd, POLLIN, 0};
    return ::poll(&waiting, 1, 0) > 0;
}

// A tty with a device behind it came, went or was renamed. Virtual terminals live below
// /devices/virtual; a removed device can no longer be looked at in sysfs, its path still tells.
bool IsPlugEvent(udev_device* event) {
    const char* action = udev_device_get_action(event);
    const char* subsystem = udev_device_get_subsystem(event);
    const char* devpath = udev_device_get_devpath(event);
    if (action == nullptr || subsystem == nullptr || devpath == nullptr ||
        std::string_view(subsystem) != "tty" ||
        std::string_view(devpath).starts_with("/devices/virtual/")) {
        return false;
    }
    const std::string_view what(action);
    return what == "add" || what == "remove" || what == "move";
}

std::optional<std::vector<TSerialDevice>> ReadList(const TDeviceTree& tree) {
    try {
        return ListSerialDevices(tree);
    } catch (const std::system_error&) {
        // Kept as a state of its own: whoever reads the list next gets the error itself.
        return std::nullopt;
    }
}

} // namespace

TMonitorSource DefaultMonitorSource() {
    return ::access("/run/udev/control", F_OK) == 0 ? TMonitorSource::Udev : TMonitorSource::Kernel;
}

TSerialDeviceMonitor::TSerialDeviceMonitor(TMonitorSource wanted, TDeviceTree tree)
    : tree_(std::move(tree)) {
    const bool listening =
        tree_.IsSystem() && ((wanted == TMonitorSource::Udev && Listen("udev")) ||
                             (wanted == TMonitorSource::Kernel && Listen("kernel")));
    if (listening) {
        source_ = wanted;
    } else {
        source_ = TMonitorSource::Polling;
        seen_ = ReadList(tree_);
    }
}

TSerialDeviceMonitor::~TSerialDeviceMonitor() {
    if (monitor_ != nullptr) {
        udev_monitor_unref(monitor_);
    }
    if (udev_ != nullptr) {
        udev_unref(udev_);
    }
}

bool TSerialDeviceMonitor::Listen(const char* source) {
    udev_ = udev_new();
    if (udev_ != nullptr) {
        monitor_ = udev_monitor_new_from_netlink(udev_, source);
    }
    if (monitor_ != nullptr &&
        udev_monitor_filter_add_match_subsystem_devtype(monitor_, "tty", nullptr) >= 0 &&
        udev_monitor_enable_receiving(monitor_) >= 0) {
        return true;
    }
    if (monitor_ != nullptr) {
        udev_monitor_unref(monitor_);
        monitor_ = nullptr;
    }
    if (udev_ != nullptr) {
        udev_unref(udev_);
        udev_ = nullptr;
    }
    return false;
}

int TSerialDeviceMonitor::Fd() const noexcept {
    return monitor_ != nullptr ? udev_monitor_get_fd(monitor_) : -1;
}

bool TSerialDeviceMonitor::Drain() {
    return monitor_ != nullptr ? DrainEvents() : Poll();
}

bool TSerialDeviceMonitor::DrainEvents() {
    bool changed = false;
    for (int i = 0; i < MaxEventsPerDrain; ++i) {
        errno = 0;
        udev_device* event = udev_monitor_receive_device(monitor_);
        if (event != nullptr) {
            changed = IsPlugEvent(event) || changed;
            udev_device_unref(event);
            continue;
        }
        // Nothing received: the queue is empty, or a message could not be taken. ENOBUFS says
        // the socket overflowed and events were lost; after any such failure no one knows what
        // changed, so the caller reads the list anew.
        if (errno != 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            changed = true;
        }
        if (!Pending(Fd())) {
            break;
        }
    }
    return changed;
}

bool TSerialDeviceMonitor::Poll() {
    auto now = ReadList(tree_);
    const bool changed = now != seen_;
    seen_ = std::move(now);
    return changed;
}
