// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mainwindow/ComMainForm.h"

#include "framework/widgets/Fehlerbox.h"
#include "measurement/Messung.h"

#include <QApplication>
#include <QLineEdit>

// Sample, operator and electrode as the row above the saving area shows them. A field's value
// goes to the measurement when its editing is finished (Return or leaving the field), not per
// keystroke: a half-typed sample ID never reaches a data line or the trail. Return in "Probe"
// gives the focus back to where it was, so a barcode scanner (which types the ID and Return)
// leaves the window as it found it.

QLineEdit* TForm1::AngabeFeld(TAngabe angabe) const {
    switch (angabe) {
    case TAngabe::Probe:
        return ProbeEdit;
    case TAngabe::Bediener:
        return BedienerEdit;
    case TAngabe::Elektrode:
        break;
    }
    return ElektrodeEdit;
}

void TForm1::AngabenVerbinden() {
    for (const TAngabe angabe : AlleAngaben) {
        connect(AngabeFeld(angabe), &QLineEdit::editingFinished, this,
                [this, angabe] { Behandeln([this, angabe] { AngabeNehmen(angabe); }); });
    }
    // Disconnected by the destructor: the widgets going away move the focus while the window is
    // no TForm1 any more.
    fokusVerbindung_ =
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget* alt, QWidget* neu) {
            if (neu == ProbeEdit && alt != nullptr && alt->window() == this) {
                vorProbe_ = alt;
            }
        });
    connect(ProbeEdit, &QLineEdit::returnPressed, this, [this] {
        if (vorProbe_ && vorProbe_->isEnabled() && vorProbe_->isVisible()) {
            vorProbe_->setFocus(Qt::OtherFocusReason);
        }
    });
    connect(&Messung(), &TMessung::AngabeGeaendert, this, [this] { AngabenZeigen(); });
    AngabenZeigen();
}

// A value that differs from the measurement's is taken; the reason goes with a new sample only,
// and is used up by it.
void TForm1::AngabeNehmen(TAngabe angabe) {
    const std::string wert = AngabeFeld(angabe)->text().toStdString();
    if (wert == Messung().Angaben()[angabe]) {
        return;
    }
    std::string grund;
    if (angabe == TAngabe::Probe) {
        grund = GrundEdit->text().trimmed().toStdString();
        GrundEdit->clear();
    }
    Messung().AngabeSetzen(angabe, wert, grund);
}

void TForm1::AngabenZeigen() {
    for (const TAngabe angabe : AlleAngaben) {
        const QString wert = QString::fromStdString(Messung().Angaben()[angabe]);
        if (AngabeFeld(angabe)->text() != wert) {
            AngabeFeld(angabe)->setText(wert);
        }
    }
}
