// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The memory figures of the about box: the computer's physical memory and how much of it is in
// use, as the Linux kernel reports them.
struct TSpeicherStand {
    std::uint64_t GesamtBytes = 0; // total physical memory
    unsigned LastProzent = 0;      // memory in use, 0 … 100
};

// Reads the figures from the text of /proc/meminfo: MemTotal, and MemAvailable as the memory
// not in use (kernels before 3.14 lack it; then MemFree + Buffers + Cached). The load is
// rounded to the nearest whole percent. Empty when MemTotal or the free memory is missing,
// zero or too large to be a real figure.
std::optional<TSpeicherStand> MeminfoAuswerten(std::string_view text);

// The figures of this computer: from `meminfo`, or from sysinfo(2) when that file cannot be
// read or understood; all zero when neither works.
TSpeicherStand SpeicherStandLesen(const std::filesystem::path& meminfo = "/proc/meminfo");

// The total in kilobytes, rounded to whole kilobytes, its digits grouped in threes by ".", with
// no digit forced (as the number pattern #,###: less than half a kilobyte gives no digit),
// followed by " KB": 536870912 bytes give "524.288 KB".
std::string PhysMemText(std::uint64_t bytes);

// The load as "%d %%": 37 gives "37 %".
std::string FreeResText(unsigned prozent);
