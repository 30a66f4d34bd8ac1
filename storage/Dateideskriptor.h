// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <cstddef>
#include <string_view>

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
