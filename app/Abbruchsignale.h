// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <QObject>

#include <functional>
#include <string>

class QSocketNotifier;

// SIGINT, SIGTERM and SIGHUP as events of Qt's loop: the signal handler only writes the signal's
// number into a pipe, and the loop calls `beiSignal` with it, where ending a run is safe. SIGHUP
// ends a run too: a closed terminal or a service manager's hang-up must not kill the process
// before its files are closed. One object at a time; the previous handlers come back when it
// goes.
class TAbbruchsignale {
public:
    explicit TAbbruchsignale(std::function<void(int)> beiSignal);
    ~TAbbruchsignale();
    TAbbruchsignale(const TAbbruchsignale&) = delete;
    TAbbruchsignale& operator=(const TAbbruchsignale&) = delete;

    // The name of a signal that `beiSignal` receives ("SIGINT", "SIGTERM", "SIGHUP").
    static std::string Name(int signal);

private:
    void Lesen();

    std::function<void(int)> beiSignal_;
    int rohr_[2] = {-1, -1};
    QObject kontext_;
    QSocketNotifier* melder_ = nullptr;
};
