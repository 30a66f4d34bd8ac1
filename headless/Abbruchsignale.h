// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

// SIGINT and SIGTERM as events of Qt's loop: the signal handler only writes the signal's
// number into a pipe, and the loop calls `beiSignal` with it, where ending a run is safe. One
// object at a time; the previous handlers come back when it goes.
class TAbbruchsignale {
public:
    explicit TAbbruchsignale(std::function<void(int)> beiSignal);
    ~TAbbruchsignale();
    TAbbruchsignale(const TAbbruchsignale&) = delete;
    TAbbruchsignale& operator=(const TAbbruchsignale&) = delete;

private:
    void Lesen();

    std::function<void(int)> beiSignal_;
    int rohr_[2] = {-1, -1};
    QObject kontext_;
    QSocketNotifier* melder_ = nullptr;
};
