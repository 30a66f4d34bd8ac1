// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "app/DienstMelder.h"

#include "storage/EInOutError.h"

#include <QTimer>

#include <systemd/sd-daemon.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>

TDienstMelder::TDienstMelder() {
    const char* socket = std::getenv("NOTIFY_SOCKET");
    aktiv_ = socket != nullptr && *socket != '\0';
    if (!aktiv_) {
        return;
    }
    statusTakt_ = new QTimer(&kontext_);
    statusTakt_->setSingleShot(true);
    statusTakt_->setInterval(StatusAbstand);
    QObject::connect(statusTakt_, &QTimer::timeout, &kontext_, [this] { WartendenStatusSenden(); });

    WachhundStarten();
}

TDienstMelder::~TDienstMelder() = default;

// WATCHDOG_USEC for this process (WATCHDOG_PID names it): the loop pings at half the timeout.
void TDienstMelder::WachhundStarten() {
    std::uint64_t mikro = 0;
    if (sd_watchdog_enabled(0, &mikro) <= 0 || mikro == 0) {
        return;
    }
    frist_ = std::chrono::microseconds(mikro);
    wachhund_ = new QTimer(&kontext_);
    wachhund_->setInterval(
        std::max(std::chrono::milliseconds(1),
                 std::chrono::duration_cast<std::chrono::milliseconds>(frist_ / 2)));
    QObject::connect(wachhund_, &QTimer::timeout, &kontext_, [this] { Senden("WATCHDOG=1"); });
    wachhund_->start();
}

void TDienstMelder::Bereit() {
    if (aktiv_ && !bereit_) {
        bereit_ = true;
        Senden("READY=1");
    }
}

void TDienstMelder::Status(const std::string& text) {
    if (!aktiv_) {
        return;
    }
    if (statusTakt_->isActive()) {
        wartenderStatus_ = text;
        return;
    }
    if (text != letzterStatus_) {
        letzterStatus_ = text;
        Senden("STATUS=" + text);
        statusTakt_->start();
    }
}

void TDienstMelder::Endet() {
    if (!aktiv_) {
        return;
    }
    statusTakt_->stop();
    WartendenStatusSenden();
    Senden("STOPPING=1");
}

void TDienstMelder::WartendenStatusSenden() {
    if (!wartenderStatus_) {
        return;
    }
    const std::string text = std::move(*wartenderStatus_);
    wartenderStatus_.reset();
    Status(text);
}

void TDienstMelder::Senden(const std::string& meldung) {
    const int ergebnis = sd_notify(0, meldung.c_str());
    if (ergebnis < 0 && !fehlerGemeldet_) {
        fehlerGemeldet_ = true;
        if (BeiFehler) {
            BeiFehler("systemd nimmt die Meldung „" + meldung +
                      "“ nicht an: " + EInOutError::AusErrno(-ergebnis).what());
        }
    }
}
