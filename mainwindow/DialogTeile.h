// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "framework/widgets/PBSpinEdit.h"

#include <QDialog>
#include <QScreen>
#include <QString>
#include <QWidget>

// Pieces shared by the table options, program options and publishing dialogs.

// `widget` with its objectName set to the control's name.
template <typename W>
W* Benannt(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A number field of the table layout, bounded and filled with its default.
inline TPBSpinEdit* Zahlfeld(const char* name, int minimum, int maximum, int wert,
                             QWidget* parent) {
    auto* feld = Benannt(new TPBSpinEdit(parent), name);
    feld->SetMinValue(minimum);
    feld->SetMaxValue(maximum);
    feld->SetValue(wert);
    feld->setFixedWidth(57);
    return feld;
}

// How the dialogs open: in the middle of the screen, with the focus on `fokus` (their OK
// button), whatever had the focus when they last closed. Called from showEvent.
inline void DialogZeigen(QDialog& dialog, QWidget& fokus) {
    if (const QScreen* bildschirm = dialog.screen()) {
        dialog.move(bildschirm->availableGeometry().center() - dialog.rect().center());
    }
    fokus.setFocus(Qt::OtherFocusReason);
}
