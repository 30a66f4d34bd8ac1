// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/platform/SerialDeviceMonitor.h"

#include <QObject>

#include <memory>

class QSocketNotifier;
class QTimer;

// Tells when serial devices were plugged in or out, for lists that follow the devices and for a
// port that waits for its adapter to come back. It waits on the monitor's descriptor in the
// event loop of its thread and wakes only for events; where no event source can be had, it
// compares the device list once a second. Needs a QCoreApplication, no window.
class TComPortWatch : public QObject {
    Q_OBJECT
public:
    // Watches the devices of ComPortDeviceTree(); a fake tree is polled.
    explicit TComPortWatch(QObject* parent = nullptr);
    explicit TComPortWatch(TMonitorSource source, QObject* parent = nullptr);
    ~TComPortWatch() override;

    TMonitorSource Source() const noexcept { return monitor_->Source(); }

signals:
    // Serial devices appeared or disappeared; the list is to be read anew. A burst of events
    // (the ports of one adapter) that arrives together gives one signal.
    void DevicesChanged();

private:
    void Check();

    std::unique_ptr<TSerialDeviceMonitor> monitor_;
    QSocketNotifier* notifier_ = nullptr;
    QTimer* timer_ = nullptr;
};
