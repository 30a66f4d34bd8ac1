// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/platform/StopSignal.h"

#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <unistd.h>

TStopSignal::TStopSignal()
    : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (fd_ < 0) {
        throw std::runtime_error("eventfd failed");
    }
}

TStopSignal::~TStopSignal() {
    ::close(fd_);
}

void TStopSignal::Signal() const noexcept {
    const std::uint64_t eins = 1;
    // The counter only grows while set; a full counter (EAGAIN) is set as well.
    while (::write(fd_, &eins, sizeof eins) < 0 && errno == EINTR) {
    }
}

void TStopSignal::Reset() const noexcept {
    std::uint64_t wert = 0;
    while (::read(fd_, &wert, sizeof wert) < 0 && errno == EINTR) {
    }
}

bool TStopSignal::IsSignalled() const noexcept {
    pollfd p{fd_, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & POLLIN) != 0;
}
