// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "framework/Meldung.h"

#include <QString>

#include <exception>
#include <functional>
#include <optional>
#include <stdexcept>
#include <utility>

class QWidget;

// The one way the windows report an error to the user: the standard error box, caption
// "Quorlits", with the error's German text.

// What the box needs of the program: the texts of the program's own errors and the queue that
// carries a report to the box.
struct TFehlerWeg {
    // The text of an error the program knows; nothing for any other error.
    std::function<std::optional<QString>(const std::exception_ptr&)> Text;
    // Queues a report; any thread, never throws. The queue hands its reports, one at a time and
    // on the user-interface thread, to the function that FehlerboxEinrichten returned.
    std::function<void(std::exception_ptr)> Melden;
};

// Installs the program's texts and queue. Until then FehlerMelden writes to stderr.
void FehlerWegSetzen(TFehlerWeg weg);

// The text of an error: the program's own text where it has one; for EMeldung the text of the
// component's error it tells of, else its message as it stands; for a lack of memory "Zu wenig
// Arbeitsspeicher."; for any other error a German sentence with its text.
QString FehlerText(const std::exception_ptr& fehler);

// Reports `fehler` through the queue. The box opens after the running handler has returned, one
// box at a time; while a box with the same text is waiting or open, the same error is not
// reported again.
void FehlerMelden(std::exception_ptr fehler) noexcept;

// Shows reports in a modal box over `fenster`; `anzeige` replaces the box (tests record the
// texts instead). Returns the function that shows one queued report: the program's queue calls
// it, also with errors that were queued without FehlerMelden.
[[nodiscard]] std::function<void(std::exception_ptr)>
FehlerboxEinrichten(QWidget* fenster, std::function<void(const QString&)> anzeige = {});

// Reports no longer wait for a box (the window is going away).
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
