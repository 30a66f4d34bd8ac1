// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <sys/resource.h>

// CPU seconds (user and system) of RUSAGE_SELF or RUSAGE_THREAD.
inline double CpuSeconds(int who) {
    rusage usage{};
    ::getrusage(who, &usage);
    const auto sec = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return sec(usage.ru_utime) + sec(usage.ru_stime);
}
