// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mainwindow/FehlerboxAnschluss.h"

#include "framework/Meldung.h"
#include "framework/widgets/Fehlerbox.h"
#include "serial/ComErrorHook.h"
#include "serial/EComPort.h"
#include "storage/EInOutError.h"

#include <utility>

std::optional<QString> EigenerFehlerText(const std::exception_ptr& fehler) {
    if (!fehler) {
        return std::nullopt;
    }
    try {
        std::rethrow_exception(fehler);
    } catch (const EComPort& e) {
        return QString::fromUtf8(e.what());
    } catch (const EInOutError& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return std::nullopt;
    }
}

void FehlerboxAnschliessen(QWidget* fenster, std::function<void(const QString&)> anzeige) {
    FehlerWegSetzen({EigenerFehlerText, ReportComError});
    SetComErrorHook(FehlerboxEinrichten(fenster, std::move(anzeige)));
}

void HinweisMelden(const QString& text) noexcept {
    Behandeln([&text] { FehlerMelden(std::make_exception_ptr(EMeldung(text.toStdString()))); });
}

void FehlerboxTrennen() noexcept {
    try {
        SetComErrorHook({});
    } catch (...) {
        // Only a failing mutex gets here; the window is going away either way.
    }
    FehlerboxAbbauen();
}
