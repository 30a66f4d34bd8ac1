// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mainwindow/ComMainForm.h"

#include "framework/widgets/Fehlerbox.h"
#include "framework/widgets/Memo.h"
#include "framework/widgets/StringGrid.h"
#include "measurement/Messung.h"
#include "serial/ComPort.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <string>

namespace {

constexpr int AnzeigeAbstandMs = 100;

} // namespace

void TForm1::AnzeigeTaktEinrichten() {
    anzeigeTakt_ = new QTimer(this);
    anzeigeTakt_->setObjectName(QStringLiteral("Anzeigetakt"));
    anzeigeTakt_->setSingleShot(true);
    connect(anzeigeTakt_, &QTimer::timeout, this, [this] { AnzeigeAuffrischen(); });
}

void TForm1::ChunkZeigen(const TChunkErgebnis& ergebnis) {
    if (ergebnis.AutoStatus) {
        autoStatus_ = ergebnis.AutoStatus;
    }
    if (anzeigeTakt_->isActive()) {
        return;
    }
    // The first chunk after a pause is shown at once; chunks that follow closely are shown
    // together.
    const qint64 seitLetzter = letzteAnzeige_.isValid() ? letzteAnzeige_.elapsed() : -1;
    if (seitLetzter >= 0 && seitLetzter < AnzeigeAbstandMs) {
        anzeigeTakt_->start(AnzeigeAbstandMs - static_cast<int>(seitLetzter));
    } else {
        AnzeigeAuffrischen();
    }
}

void TForm1::AnzeigeAuffrischen() {
    anzeigeTakt_->stop();
    letzteAnzeige_.start();
    Memo->Anzeigen(Zustand.Memo.Text, Zustand.Memo.Leerungen);
    Label7->setText(QString::number(MemoLaenge(Zustand.Memo)));
    Label13->setText(QString::number(Zustand.Speicher.AnzahlGespeichert));
    GehaltenenStatusZeigen();
    TabelleZeigen();
}

void TForm1::GehaltenenStatusZeigen() {
    if (autoStatus_) {
        Label14->setText(QString::fromStdString(autoStatus_->Zeile1));
        Label15->setText(QString::fromStdString(autoStatus_->Zeile2));
        autoStatus_.reset();
    }
}

void TForm1::KlickBehandeln(void (TForm1::*handler)()) {
    if (comPort_->AwaitingRelease()) {
        // A start waits for the port with the window's events handled; a click that code
        // delivers meanwhile would act on a port that is neither open nor closed.
        return;
    }
    GehaltenenStatusZeigen();
    Behandeln([this, handler] { (this->*handler)(); });
}

void TForm1::Send_BtnClick() {
    // The meter takes single bytes; characters beyond Latin-1 become "?".
    std::string text = Edit_Data->text().toLatin1().toStdString();
    if (NewLine_CB->isChecked()) {
        text += "\r\n";
    }
    if (!text.empty()) {
        Messung().Senden(text);
    }
}
