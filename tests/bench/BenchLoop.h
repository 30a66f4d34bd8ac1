// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <sys/resource.h>

// Helpers of the window benchmarks.

// CPU seconds (user and system) of RUSAGE_SELF or RUSAGE_THREAD.
inline double CpuSeconds(int who) {
    rusage usage{};
    ::getrusage(who, &usage);
    const auto sec = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return sec(usage.ru_utime) + sec(usage.ru_stime);
}

// Runs the event loop for `duration` with no other wake-up of its own (QTest::qWait would poll).
inline void RunFor(std::chrono::steady_clock::duration duration) {
    QEventLoop loop;
    QTimer::singleShot(std::chrono::duration_cast<std::chrono::milliseconds>(duration), &loop,
                       &QEventLoop::quit);
    loop.exec();
}
