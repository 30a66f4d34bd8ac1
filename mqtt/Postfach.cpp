// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mqtt/Postfach.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstdint>
#include <sys/eventfd.h>
#include <system_error>
#include <unistd.h>
#include <utility>

TPostfach::TPostfach()
    : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (fd_ < 0) {
        throw std::system_error(errno, std::generic_category(), "eventfd");
    }
}

TPostfach::~TPostfach() {
    ::close(fd_);
}

void TPostfach::Einwerfen(std::function<void()> arbeit) {
    {
        const std::lock_guard sperre(mutex_);
        arbeiten_.push_back(std::move(arbeit));
    }
    const std::uint64_t eins = 1;
    // Fails only when the counter is full, and a full counter wakes the loop as well.
    (void)!::write(fd_, &eins, sizeof eins);
}

QSocketNotifier* TPostfach::Empfangen(QObject* kontext) {
    auto* melder = new QSocketNotifier(fd_, QSocketNotifier::Read, kontext);
    QObject::connect(melder, &QSocketNotifier::activated, kontext, [this] { Abarbeiten(); });
    return melder;
}

void TPostfach::Abarbeiten() {
    std::uint64_t zaehler = 0;
    (void)!::read(fd_, &zaehler, sizeof zaehler); // empty: woken for work already done
    std::deque<std::function<void()>> jetzt;
    {
        const std::lock_guard sperre(mutex_);
        jetzt.swap(arbeiten_);
    }
    for (std::function<void()>& arbeit : jetzt) {
        arbeit();
    }
}
