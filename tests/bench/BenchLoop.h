// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "CpuSeconds.h"

#include <QEventLoop>
#include <QTimer>

#include <chrono>

// Helpers of the window benchmarks.

// Runs the event loop for `duration` with no other wake-up of its own (QTest::qWait would poll).
inline void RunFor(std::chrono::steady_clock::duration duration) {
    QEventLoop loop;
    QTimer::singleShot(std::chrono::duration_cast<std::chrono::milliseconds>(duration), &loop,
                       &QEventLoop::quit);
    loop.exec();
}
