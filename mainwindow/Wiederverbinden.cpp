// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mainwindow/ComMainForm.h"

#include "measurement/Messung.h"
#include "serial/ComPort.h"
#include "storage/PCZeit.h"

#include <QLabel>
#include <QPushButton>

// The window's side of a lost line: the measurement waits for its device and goes on once it is
// back (TMessung); the window shows the wait beside the memo length, greys the lamps and keeps
// sending off until then.

namespace {

QString Uhrzeit(const TUhrzeit& zeit) {
    return QString::fromStdString(PCZeitText(zeit.Lokal));
}

} // namespace

bool TForm1::WartetAufGeraet() const {
    return messung_->WartetAufGeraet();
}

void TForm1::WiederverbindenVersuchen() {
    messung_->WiederverbindenVersuchen();
}

void TForm1::LeitungZeigen() {
    Send_Btn->setEnabled(!WartetAufGeraet());
    LampenZeigen();
    VerbindungZeigen();
}

void TForm1::VerbindungZeigen() {
    const TLeitungsStand& leitung = messung_->Leitung();
    if (leitung.WarteZeit) {
        Verbindung->setStyleSheet(QStringLiteral("color: #b00000;"));
        Verbindung->setText(
            QStringLiteral("Getrennt seit %1: %2")
                .arg(Uhrzeit(*leitung.WarteZeit), QString::fromStdString(leitung.WarteGrund)));
        Verbindung->setToolTip(
            QStringLiteral("Die Messung läuft weiter; %1 wird wieder geöffnet, sobald es da ist.")
                .arg(QString::fromStdString(comPort_->Port())));
        return;
    }
    Verbindung->setStyleSheet(QString());
    Verbindung->setToolTip(comPort_->Port() == leitung.MessName
                               ? QString()
                               : QStringLiteral("Der Adapter kam unter %1 zurück.")
                                     .arg(QString::fromStdString(comPort_->Port())));
    if (!leitung.LetzteUnterbrechung || !leitung.LetzteRueckkehr) {
        Verbindung->clear();
        return;
    }
    Verbindung->setText(
        QStringLiteral("Unterbrechungen: %1, zuletzt %2 bis %3")
            .arg(leitung.Unterbrechungen)
            .arg(Uhrzeit(*leitung.LetzteUnterbrechung), Uhrzeit(*leitung.LetzteRueckkehr)));
}

// Waiting, the lamps of the line are greyed with their names: there is no line to show.
void TForm1::LampenZeigen() {
    auto* feld = findChild<QWidget*>(QStringLiteral("Lampenfeld"));
    if (feld == nullptr) {
        return;
    }
    feld->setEnabled(!WartetAufGeraet());
    feld->setToolTip(WartetAufGeraet() ? QStringLiteral("Leitung getrennt") : QString());
}
