// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "framework/Fehlerbox.h"

#include "serial/ComErrorHook.h"
#include "serial/EComPort.h"
#include "storage/EInOutError.h"

#include <QHash>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include <mutex>
#include <new>
#include <stdexcept>
#include <utility>

namespace {

// The reports of FehlerMelden that are waiting for their box or whose box is open, by text.
// The exception tells a report of FehlerMelden apart from one that the serial component made
// directly with the same text.
struct TOffeneMeldungen {
    std::mutex mutex;
    bool eingerichtet = false;
    QHash<QString, std::exception_ptr> offen;
};

TOffeneMeldungen& Offene() {
    static TOffeneMeldungen offene;
    return offene;
}

// False when a report with the same text is already waiting or shown.
bool Vormerken(const QString& text, const std::exception_ptr& fehler) {
    std::lock_guard lock(Offene().mutex);
    if (!Offene().eingerichtet) {
        return true; // no box to wait for; each report goes to stderr
    }
    if (Offene().offen.contains(text)) {
        return false;
    }
    Offene().offen.insert(text, fehler);
    return true;
}

void Erledigt(const QString& text, const std::exception_ptr& fehler) {
    std::lock_guard lock(Offene().mutex);
    const auto eintrag = Offene().offen.constFind(text);
    if (eintrag != Offene().offen.cend() && eintrag.value() == fehler) {
        Offene().offen.erase(eintrag);
    }
}

void Einrichten(bool eingerichtet) {
    std::lock_guard lock(Offene().mutex);
    Offene().eingerichtet = eingerichtet;
    Offene().offen.clear();
}

QString AusUtf8(const char* text) {
    return QString::fromUtf8(text);
}

} // namespace

QString FehlerText(const std::exception_ptr& fehler) {
    if (!fehler) {
        return QStringLiteral("Unbekannter Fehler.");
    }
    try {
        std::rethrow_exception(fehler);
    } catch (const EComPort& e) {
        return AusUtf8(e.what());
    } catch (const EInOutError& e) {
        return AusUtf8(e.what());
    } catch (const EMeldung& e) {
        return AusUtf8(e.what());
    } catch (const std::bad_alloc&) {
        return QStringLiteral("Zu wenig Arbeitsspeicher.");
    } catch (const std::exception& e) {
        return QStringLiteral("Unerwarteter Fehler: %1").arg(AusUtf8(e.what()));
    } catch (...) {
        return QStringLiteral("Unbekannter Fehler.");
    }
}

void FehlerMelden(std::exception_ptr fehler) noexcept {
    if (!fehler) {
        return;
    }
    try {
        if (!Vormerken(FehlerText(fehler), fehler)) {
            return;
        }
    } catch (...) {
        // Without memory for the bookkeeping the report still goes out, undeduplicated.
    }
    ReportComError(std::move(fehler));
}

void FehlerboxEinrichten(QWidget* fenster, std::function<void(const QString&)> anzeige) {
    QPointer<QWidget> eltern(fenster);
    if (!anzeige) {
        anzeige = [eltern](const QString& text) {
            QMessageBox::critical(eltern.data(), QStringLiteral("Quorlits"), text);
        };
    }
    Einrichten(true);
    SetComErrorHook([anzeige = std::move(anzeige)](std::exception_ptr fehler) {
        const QString text = FehlerText(fehler);
        try {
            anzeige(text);
        } catch (...) {
            Erledigt(text, fehler);
            throw; // the hook's caller writes the report to stderr
        }
        Erledigt(text, fehler);
    });
}

void FehlerboxAbbauen() noexcept {
    try {
        SetComErrorHook({});
        Einrichten(false);
    } catch (...) {
        // Only a failing mutex gets here; the window is going away either way.
    }
}
