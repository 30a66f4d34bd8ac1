// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/ComPortWatch.h"

#include "serial/ComPortDevices.h"

#include <QSocketNotifier>
#include <QTimer>

TComPortWatch::TComPortWatch(QObject* parent)
    : TComPortWatch(DefaultMonitorSource(), parent) {}

TComPortWatch::TComPortWatch(TMonitorSource source, QObject* parent)
    : QObject(parent)
    , monitor_(std::make_unique<TSerialDeviceMonitor>(source, ComPortDeviceTree())) {
    if (monitor_->Fd() >= 0) {
        notifier_ = new QSocketNotifier(monitor_->Fd(), QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, &TComPortWatch::Check);
    } else {
        timer_ = new QTimer(this);
        timer_->setInterval(TSerialDeviceMonitor::PollInterval);
        connect(timer_, &QTimer::timeout, this, &TComPortWatch::Check);
        timer_->start();
    }
}

// The notifier goes with its parent, before the monitor closes the descriptor it watches.
TComPortWatch::~TComPortWatch() {
    delete notifier_;
}

void TComPortWatch::Check() {
    if (monitor_->Drain()) {
        emit DevicesChanged();
    }
}
