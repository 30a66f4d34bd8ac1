// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <QString>

#include <exception>
#include <functional>
#include <optional>

class QWidget;

// The error box joined to the program: it knows the program's own errors, and its reports travel
// through the serial component's error queue, so they wait for a running delivery of the port and
// share the box with the errors that the serial component reports itself.

// The message of EComPort and EInOutError as it stands; nothing for any other error.
std::optional<QString> EigenerFehlerText(const std::exception_ptr& fehler);

// Shows reports (from FehlerMelden and from the serial component's error hook) in a modal box
// over `fenster`. `anzeige` replaces the box (tests record the texts instead).
void FehlerboxAnschliessen(QWidget* fenster, std::function<void(const QString&)> anzeige = {});

// A notice for the user (German), shown in the error box as an error is.
void HinweisMelden(const QString& text) noexcept;

// Back to reports on stderr (the window is going away).
void FehlerboxTrennen() noexcept;
