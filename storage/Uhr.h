// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "storage/Zeitpunkt.h"

#include <cstdint>
#include <ctime>
#include <functional>

// The PC clock. Every time the program stamps, shows or names a file after is one reading of
// one injected clock, so the window, the saving and the tests agree on "now", and tests fix it.

// One reading of the clock: the local wall-clock time, the same moment as UTC milliseconds
// since 1970 (unambiguous where the local time repeats in autumn) and the UTC offset in effect.
struct TUhrzeit {
    TZeitpunkt Lokal;
    std::int64_t UtcMs = 0;
    std::int32_t UtcVersatz = 0; // seconds east of UTC: 3600 in CET, 7200 in CEST

    friend bool operator==(const TUhrzeit&, const TUhrzeit&) = default;
};

using TUhr = std::function<TUhrzeit()>;

// The reading for `utcMs` in the process's time zone (TZ, localtime_r).
TUhrzeit UhrzeitAusUtc(std::int64_t utcMs);

// The reading for `utcMs` at the fixed offset `utcVersatz`, whatever the process's time zone:
// a recorded clock value gives the same local time on every machine.
TUhrzeit UhrzeitAusVersatz(std::int64_t utcMs, std::int32_t utcVersatz);

// The machine's real-time clock, read now.
TUhrzeit SystemUhrLesen();
TUhr SystemUhr();

// The reading whose local time is `lokal` at the offset `utcVersatz`; UtcMs follows from both.
TUhrzeit UhrzeitAusLokal(const TZeitpunkt& lokal, std::int32_t utcVersatz);

// A clock that always reads `lokal` at `utcVersatz` (for tests and fixed stamps).
TUhr FesteUhr(const TZeitpunkt& lokal, std::int32_t utcVersatz);

// `uhr` read once; the machine's clock when `uhr` is empty.
TUhrzeit UhrLesen(const TUhr& uhr);

// Nanoseconds of the monotonic clock (CLOCK_MONOTONIC): for intervals only (a sync a second, a
// check a second), never shown. Injected like the PC clock, so tests step it by hand.
using TMonoUhr = std::function<std::int64_t()>;

// The monotonic clock, read now.
std::int64_t MonotonJetzt();

// `uhr` read once; the monotonic clock when `uhr` is empty.
std::int64_t MonoLesen(const TMonoUhr& uhr);
