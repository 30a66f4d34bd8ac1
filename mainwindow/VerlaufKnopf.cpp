// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mainwindow/ComMainForm.h"

#include "chart/widgets/VerlaufFenster.h"
#include "mainwindow/VerlaufPlatz.h"
#include "serial/ComPort.h"

#include <QScreen>

// The window "Verlauf": created at the first opening, placed at every opening where it leaves
// the saving row and the bottom panel in view.

void TForm1::VerlaufClick() {
    if (VerlaufFenster == nullptr) {
        VerlaufFenster = new TVerlaufFenster(*verlauf_, this);
        VerlaufFenster->SetUhr(uhr_);
        VerlaufFenster->SetAnschluss([this] { return comPort_->Port(); });
    }
    if (!VerlaufFenster->isVisible()) {
        // A size the user gave the chart is kept; one it was given to fit a small room is not.
        if (VerlaufFenster->size() != verlaufGesetzt_) {
            verlaufGroesse_ = VerlaufFenster->size();
        }
        if (const QScreen* bildschirm = screen()) {
            const QRect rahmen = VerlaufPlatz(bildschirm->availableGeometry());
            VerlaufFenster->resize(rahmen.size().shrunkBy(Fensterrand()));
            VerlaufFenster->move(rahmen.topLeft());
        }
        verlaufGesetzt_ = VerlaufFenster->size();
    }
    VerlaufFenster->show();
    VerlaufFenster->raise();
    VerlaufFenster->activateWindow();
}

QRect TForm1::VerlaufPlatz(const QRect& bildschirm) const {
    // The chart's frame is not known before it is shown; the window manager gives it the main
    // window's.
    const QMargins rand = Fensterrand();
    const QRect rahmen = frameGeometry();
    const auto* speicherLeiste = findChild<const QWidget*>(QStringLiteral("SpeicherLeiste"));
    QRect unten = rahmen;
    unten.setTop(speicherLeiste->mapToGlobal(QPoint(0, 0)).y());
    TVerlaufLage lage;
    lage.Hauptfenster = rahmen;
    lage.Unten = unten;
    lage.Groesse =
        (verlaufGroesse_.isValid() ? verlaufGroesse_ : VerlaufFenster->size()).grownBy(rand);
    lage.Kleinste =
        VerlaufFenster->minimumSizeHint().expandedTo(VerlaufFenster->minimumSize()).grownBy(rand);
    return VerlaufRahmen(lage, bildschirm);
}

QMargins TForm1::Fensterrand() const {
    const QRect innen = geometry();
    const QRect aussen = frameGeometry();
    return {innen.left() - aussen.left(), innen.top() - aussen.top(),
            aussen.right() - innen.right(), aussen.bottom() - innen.bottom()};
}
