// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/Dateideskriptor.h"

#include "storage/EInOutError.h"

#include <cerrno>
#include <unistd.h>

TDateideskriptor::~TDateideskriptor() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void TDateideskriptor::Schliessen() {
    const int fd = fd_;
    fd_ = -1;
    // Linux releases the descriptor even when close fails, so it is never closed twice.
    if (fd >= 0 && ::close(fd) != 0 && errno != EINTR) {
        throw EInOutError::AusErrno(errno);
    }
}

void AllesSchreiben(int fd, std::string_view daten, std::size_t* geschrieben) {
    std::size_t zaehler = 0;
    if (geschrieben == nullptr) {
        geschrieben = &zaehler;
    }
    *geschrieben = 0;
    while (!daten.empty()) {
        const ssize_t ergebnis = ::write(fd, daten.data(), daten.size());
        if (ergebnis < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw EInOutError::AusErrno(errno);
        }
        if (ergebnis == 0) {
            // No byte taken and no error: the device has no room left.
            throw EInOutError::AusErrno(ENOSPC);
        }
        daten.remove_prefix(static_cast<std::size_t>(ergebnis));
        *geschrieben += static_cast<std::size_t>(ergebnis);
    }
}
