// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mainwindow/ComMainForm.h"

#include "chart/widgets/VerlaufFenster.h"
#include "framework/widgets/Memo.h"
#include "framework/widgets/SpeedButton.h"
#include "framework/widgets/StringGrid.h"
#include "serial/ComPort.h"
#include "storage/PCZeit.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

// Starting and stopping the two kinds of measurement. The start steps set LeseModus before they
// open the port and the stop steps close it before they reset LeseModus, because the port's
// open and close events choose the button whose caption changes by LeseModus. Sending stays
// possible during a measurement, so a command to the meter is answered into it. Closing returns
// at once; a start that follows waits for the device to be released (see KlickBehandeln).

namespace {

const QString KeineMessung = QStringLiteral("keine Messung aktiv");

void Freigeben(std::initializer_list<QWidget*> widgets, bool frei) {
    for (QWidget* widget : widgets) {
        widget->setEnabled(frei);
    }
}

} // namespace

void TForm1::MessbeginnZeigen() {
    Label8->setText(QString::fromStdString(PCDatumZeitText(uhr_().Lokal)));
    Label9->setText(QStringLiteral("Ende nach Nutzereingabe"));
}

void TForm1::MessendeZeigen() {
    Label8->setText(KeineMessung);
    Label9->setText(KeineMessung);
}

void TForm1::TabelleZeigen() {
    StringGrid1->Anzeigen(Zustand.Tabelle.Inhalt());
}

void TForm1::RSLesenClick() {
    DesignStandardGrid(Zustand);
    TabelleZeigen();
    const auto andere = {static_cast<QWidget*>(WTW_Rx_Button), static_cast<QWidget*>(Clear_Btn),
                         static_cast<QWidget*>(RS232Set_Btn), static_cast<QWidget*>(Option_Btn)};
    if (MessungLaeuft()) {
        MessungBeenden();
        Freigeben(andere, true);
        // While one kind of saving runs, the other kind's button stays disabled: its click
        // would end the running one behind the user's back.
        SaveButton->setEnabled(!Zustand.Speicher.AutoSpeichernAktiv);
        AutoSaveBtn->setEnabled(!Zustand.Speicher.SofortSpeichernAktiv);
        WTWGridGleitWerte->setEnabled(true);
        MessendeZeigen();
    } else {
        Zustand.Messung.LeseModus = lmRS232;
        Freigeben(andere, false);
        Freigeben({SaveButton, AutoSaveBtn}, false);
        WTWGridGleitWerte->setEnabled(false);
        MessbeginnZeigen();
        MessungsPortOeffnen();
    }
    Spalten1->setEnabled(true);
}

void TForm1::RSWTWLesenClick() {
    const auto andere = {static_cast<QWidget*>(Rx_Button), static_cast<QWidget*>(Clear_Btn),
                         static_cast<QWidget*>(RS232Set_Btn), static_cast<QWidget*>(Option_Btn)};
    if (MessungLaeuft()) {
        MessungBeenden();
        Freigeben(andere, true);
        Spalten1->setEnabled(true);
        MessendeZeigen();
    } else {
        WTWMessungBeginnen(Zustand);
        TabelleZeigen();
        Freigeben(andere, false);
        Spalten1->setEnabled(false);
        MessbeginnZeigen();
        MessungsPortOeffnen();
    }
    WTWGridGleitWerte->setEnabled(true);
}

void TForm1::MessungBeenden() {
    AufzeichnungBeenden();
    if (WartetAufGeraet()) {
        // The port is closed already; the button shows the end all the same.
        WartenBeenden();
        ComPortClose();
    } else {
        comPort_->Close();
    }
    Zustand.Messung.LeseModus = lmKeiner;
}

void TForm1::ComPortOpen() {
    if (WartetAufGeraet()) {
        return; // reopened after a loss: the measurement never stopped
    }
    if (Zustand.Messung.LeseModus == lmRS232) {
        Rx_Button->setText(QStringLiteral("Ende Lesen"));
    } else if (Zustand.Messung.LeseModus == lmWTW) {
        WTW_Rx_Button->setText(QStringLiteral("Ende Lesen"));
    }
}

void TForm1::ComPortClose() {
    if (WartetAufGeraet()) {
        return; // closed for the wait: the measurement goes on
    }
    if (Zustand.Messung.LeseModus == lmRS232) {
        Rx_Button->setText(QStringLiteral("RS232 Lesen"));
    } else if (Zustand.Messung.LeseModus == lmWTW) {
        WTW_Rx_Button->setText(QStringLiteral("WTW-Lesen"));
    }
}

void TForm1::WTWGridGleitWerteClick() {
    // The menu item has already inverted its check mark.
    Zustand.GleitAnzeigen = WTWGridGleitWerte->isChecked();
    DesignWTWGrid(Zustand);
    TabelleZeigen();
}

void TForm1::Clear_BtnClick() {
    AnzeigeLeeren(Zustand);
    AnzeigeAuffrischen();
}

void TForm1::VerlaufClick() {
    if (VerlaufFenster == nullptr) {
        VerlaufFenster = new TVerlaufFenster(*verlauf_, this);
        VerlaufFenster->SetUhr(uhr_);
        VerlaufFenster->SetAnschluss([this] { return comPort_->Port(); });
        // Beside the main window, as far as the screen has room.
        QRect platz(frameGeometry().topRight() + QPoint(8, 0), VerlaufFenster->size());
        if (const QScreen* bildschirm = screen()) {
            const QRect frei = bildschirm->availableGeometry();
            platz.moveRight(std::min(platz.right(), frei.right()));
            platz.moveBottom(std::min(platz.bottom(), frei.bottom()));
            platz.moveTopLeft(
                QPoint(std::max(platz.left(), frei.left()), std::max(platz.top(), frei.top())));
        }
        VerlaufFenster->move(platz.topLeft());
    }
    VerlaufFenster->show();
    VerlaufFenster->raise();
    VerlaufFenster->activateWindow();
}
