// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <QString>

#include <exception>
#include <functional>
#include <stdexcept>
#include <utility>

class QWidget;

// An error whose text is already the German sentence for the user (for instance why a start of
// saving failed).
class EMeldung : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The one way the windows report an error to the user: the standard error box, caption
// "Quorlits", with the error's German text.

// The text of an error: the message of EComPort, EInOutError and EMeldung as it stands; for a lack
// of memory "Zu wenig Arbeitsspeicher."; for any other error a German sentence with its text.
QString FehlerText(const std::exception_ptr& fehler);

// Reports `fehler`. The box opens queued, after the running handler (and a running delivery of
// the serial port) has returned, one box at a time; while a box with the same text is waiting
// or open, the same error is not reported again.
void FehlerMelden(std::exception_ptr fehler) noexcept;

// Shows reports (from FehlerMelden and from the serial component's error hook) in a modal box
// over `fenster`. `anzeige` replaces the box (tests record the texts instead).
void FehlerboxEinrichten(QWidget* fenster, std::function<void(const QString&)> anzeige = {});

// Back to reports on stderr (the window is going away).
void FehlerboxAbbauen() noexcept;

// Every entry point of a window (click, menu, port event) runs its handler through this, so no
// exception crosses Qt's event loop.
template <typename F>
void Behandeln(F&& handler) noexcept {
    try {
        std::forward<F>(handler)();
    } catch (...) {
        FehlerMelden(std::current_exception());
    }
}
