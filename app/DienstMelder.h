// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <QObject>

#include <chrono>
#include <functional>
#include <optional>
#include <string>

class QTimer;

// Tells systemd how the service is doing (Type=notify, sd_notify): that it is ready, what it
// does (the status line of `systemctl status`), and, from Qt's event loop, that the loop still
// runs (the watchdog). A quiet meter is normal; a stuck loop misses the watchdog and systemd
// restarts the service. Started without systemd (no NOTIFY_SOCKET), it sends nothing and starts
// no timer.
//
// Create it in the thread whose event loop is to be watched, after the QCoreApplication.
class TDienstMelder {
public:
    // The shortest time between two status messages; a newer text waits and replaces an older
    // waiting one, so a status per reading costs systemd at most one message a second.
    static constexpr std::chrono::milliseconds StatusAbstand{1000};

    TDienstMelder();
    ~TDienstMelder();
    TDienstMelder(const TDienstMelder&) = delete;
    TDienstMelder& operator=(const TDienstMelder&) = delete;

    // Started by systemd with a notify socket.
    bool Aktiv() const noexcept { return aktiv_; }
    // The watchdog's timeout (WatchdogSec=); zero without one. The loop pings at half of it.
    std::chrono::microseconds WachhundFrist() const noexcept { return frist_; }

    // READY=1: the start is done. Only the first call sends.
    void Bereit();
    // STATUS=text (UTF-8): now, or at the latest StatusAbstand after the last one sent.
    void Status(const std::string& text);
    // STOPPING=1, with the newest status text still waiting: the run ends.
    void Endet();

    // Called once, for the first message systemd did not take, with a German text. Messages
    // after a failure are still tried.
    std::function<void(const std::string&)> BeiFehler;

private:
    void WachhundStarten();
    void Senden(const std::string& meldung);
    void WartendenStatusSenden();

    bool aktiv_ = false;
    bool bereit_ = false;
    bool fehlerGemeldet_ = false;
    std::chrono::microseconds frist_{0};
    std::string letzterStatus_;
    std::optional<std::string> wartenderStatus_;
    QObject kontext_;
    QTimer* wachhund_ = nullptr;
    QTimer* statusTakt_ = nullptr;
};
