// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "app/Abbruchsignale.h"

#include "storage/EInOutError.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace {

int schreibEnde = -1; // the pipe's write end for the signal handler

// The signals that end a run, with the handlers they had before.
struct TAbbruchsignal {
    int Nummer;
    const char* Name;
    struct sigaction Vorher;
};
std::array<TAbbruchsignal, 3> Signale = {{
    {SIGINT, "SIGINT", {}},
    {SIGTERM, "SIGTERM", {}},
    {SIGHUP, "SIGHUP", {}},
}};

extern "C" void SignalSchreiben(int signal) {
    const int gesichert = errno;
    const auto nummer = static_cast<unsigned char>(signal);
    // A full pipe already holds a signal that ends the run.
    [[maybe_unused]] const ssize_t geschrieben = ::write(schreibEnde, &nummer, 1);
    errno = gesichert;
}

} // namespace

TAbbruchsignale::TAbbruchsignale(std::function<void(int)> beiSignal)
    : beiSignal_(std::move(beiSignal)) {
    if (::pipe2(rohr_, O_CLOEXEC | O_NONBLOCK) != 0) {
        throw EInOutError::AusErrno(errno);
    }
    schreibEnde = rohr_[1];
    melder_ = new QSocketNotifier(rohr_[0], QSocketNotifier::Read, &kontext_);
    QObject::connect(melder_, &QSocketNotifier::activated, &kontext_, [this] { Lesen(); });
    struct sigaction aktion {};
    aktion.sa_handler = SignalSchreiben;
    sigemptyset(&aktion.sa_mask);
    aktion.sa_flags = SA_RESTART;
    for (TAbbruchsignal& signal : Signale) {
        sigaction(signal.Nummer, &aktion, &signal.Vorher);
    }
}

TAbbruchsignale::~TAbbruchsignale() {
    for (const TAbbruchsignal& signal : Signale) {
        sigaction(signal.Nummer, &signal.Vorher, nullptr);
    }
    schreibEnde = -1;
    delete melder_;
    ::close(rohr_[0]);
    ::close(rohr_[1]);
}

std::string TAbbruchsignale::Name(int signal) {
    for (const TAbbruchsignal& bekannt : Signale) {
        if (bekannt.Nummer == signal) {
            return bekannt.Name;
        }
    }
    return "Signal " + std::to_string(signal);
}

void TAbbruchsignale::Lesen() {
    unsigned char nummer = 0;
    while (::read(rohr_[0], &nummer, 1) == 1) {
        beiSignal_(nummer);
    }
}
