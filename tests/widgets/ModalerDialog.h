// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>

#include <functional>
#include <utility>
#include <vector>

// Helpers for the option dialogs of the main window.

// Works a modal dialog that a handler opens with exec(): create it before the call that opens
// the dialog; once the dialog is the application's active modal widget, `bedienen` runs on it
// inside the dialog's own event loop. A dialog that `bedienen` leaves open is rejected, so a
// faulty test fails instead of hanging.
template <typename D>
class TModalerDialog {
public:
    explicit TModalerDialog(std::function<void(D&)> bedienen)
        : bedienen_(std::move(bedienen)) {
        takt_.setInterval(10);
        QObject::connect(&takt_, &QTimer::timeout, [this] { Pruefen(); });
        takt_.start();
    }

    bool Bedient() const { return bedient_; }
    bool OffenGelassen() const { return offenGelassen_; }

private:
    void Pruefen() {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        takt_.stop();
        bedient_ = true;
        bedienen_(*dialog);
        if (dialog->isVisible()) {
            offenGelassen_ = true;
            dialog->reject();
        }
    }

    std::function<void(D&)> bedienen_;
    QTimer takt_;
    bool bedient_ = false;
    bool offenGelassen_ = false;
};

// The widgets that Tab visits in `dialog`, from the focus on, until it comes back.
inline std::vector<QWidget*> Tabfolge(QWidget& dialog) {
    std::vector<QWidget*> folge;
    QWidget* erstes = QApplication::focusWidget();
    for (int i = 0; i < 30 && QApplication::focusWidget() != nullptr; ++i) {
        folge.push_back(QApplication::focusWidget());
        QTest::keyClick(&dialog, Qt::Key_Tab);
        if (QApplication::focusWidget() == erstes) {
            break;
        }
    }
    return folge;
}
