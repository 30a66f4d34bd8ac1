// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "storage/DateiAufrufe.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <sys/types.h>

// Owns an open file descriptor. Schliessen() reports a failed close as EInOutError; the
// destructor closes quietly, for the paths on which an error is already on its way.
class TDateideskriptor {
public:
    explicit TDateideskriptor(int fd) noexcept
        : fd_(fd) {}
    ~TDateideskriptor();
    TDateideskriptor(const TDateideskriptor&) = delete;
    TDateideskriptor& operator=(const TDateideskriptor&) = delete;

    int Fd() const noexcept { return fd_; }
    void Schliessen();

private:
    int fd_;
};

// Writes all of `daten`, continuing after partial writes and interruptions; raises
// EInOutError with the system's error when the system refuses. `geschrieben`, when given,
// counts the bytes that went out, also when the write fails part-way.
void AllesSchreiben(int fd, std::string_view daten, std::size_t* geschrieben = nullptr);

// The same through `aufrufe`, without raising: the errno of the failure, or 0. A write that
// takes no byte and reports no error counts as ENOSPC (the device has no room left).
int AllesSchreibenMit(TDateiAufrufe& aufrufe, int fd, std::string_view daten,
                      std::size_t& geschrieben);

// Up to `anzahl` bytes from `stelle` on (pread, continuing after short reads); fewer when the
// file ends before, none when it cannot be read.
std::string PositionLesen(int fd, off_t stelle, std::size_t anzahl);
