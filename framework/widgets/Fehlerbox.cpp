// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "framework/widgets/Fehlerbox.h"

#include <QHash>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include <cstdio>
#include <mutex>
#include <new>
#include <optional>
#include <stdexcept>
#include <utility>

namespace {

// The program's texts and queue, and the reports of FehlerMelden that are waiting for their box
// or whose box is open, by text. The exception tells a report of FehlerMelden apart from one
// that reached the queue another way with the same text.
struct TOffeneMeldungen {
    std::mutex mutex;
    TFehlerWeg weg;
    bool eingerichtet = false;
    QHash<QString, std::exception_ptr> offen;
};

TOffeneMeldungen& Offene() {
    static TOffeneMeldungen offene;
    return offene;
}

TFehlerWeg Weg() {
    std::lock_guard lock(Offene().mutex);
    return Offene().weg;
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

// The last way out when there is no queue or it failed: the report must not get lost.
void AufStderr(const std::exception_ptr& fehler) noexcept {
    try {
        const QString text = FehlerText(fehler);
        std::fprintf(stderr, "Quorlits: %s\n", text.toLocal8Bit().constData());
        Erledigt(text, fehler);
    } catch (...) {
        std::fprintf(stderr, "Quorlits: Unbekannter Fehler.\n");
    }
}

} // namespace

void FehlerWegSetzen(TFehlerWeg weg) {
    std::lock_guard lock(Offene().mutex);
    Offene().weg = std::move(weg);
}

QString FehlerText(const std::exception_ptr& fehler) {
    if (!fehler) {
        return QStringLiteral("Unbekannter Fehler.");
    }
    if (const TFehlerWeg weg = Weg(); weg.Text) {
        if (std::optional<QString> eigener = weg.Text(fehler)) {
            return *std::move(eigener);
        }
    }
    try {
        std::rethrow_exception(fehler);
    } catch (const EMeldung& e) {
        // The window keeps the serial component's and the file layer's own texts, and says in
        // German below them what is wrong with the device.
        if (!e.Komponente()) {
            return AusUtf8(e.what());
        }
        const std::string zeile = GeraeteZeile(e.Bezug());
        return FehlerText(e.Komponente()) +
               (zeile.empty() ? QString() : QLatin1Char('\n') + AusUtf8(zeile.c_str()));
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
    try {
        if (const TFehlerWeg weg = Weg(); weg.Melden) {
            weg.Melden(fehler);
            return;
        }
    } catch (...) {
        // Without a queue the report goes to stderr.
    }
    AufStderr(fehler);
}

std::function<void(std::exception_ptr)>
FehlerboxEinrichten(QWidget* fenster, std::function<void(const QString&)> anzeige) {
    QPointer<QWidget> eltern(fenster);
    if (!anzeige) {
        anzeige = [eltern](const QString& text) {
            QMessageBox::critical(eltern.data(), QStringLiteral("Quorlits"), text);
        };
    }
    Einrichten(true);
    return [anzeige = std::move(anzeige)](std::exception_ptr fehler) {
        const QString text = FehlerText(fehler);
        try {
            anzeige(text);
        } catch (...) {
            Erledigt(text, fehler);
            throw; // the queue writes the report to stderr
        }
        Erledigt(text, fehler);
    };
}

void FehlerboxAbbauen() noexcept {
    try {
        Einrichten(false);
    } catch (...) {
        // Only a failing mutex gets here; the window is going away either way.
    }
}
