// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mainwindow/ComMainForm.h"

#include "framework/widgets/Memo.h"
#include "framework/widgets/SpeedButton.h"
#include "framework/widgets/StringGrid.h"
#include "measurement/Messung.h"
#include "serial/ComPort.h"
#include "storage/PCZeit.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>

#include <array>

// Starting and stopping the two kinds of measurement: the measurement (TMessung) does the steps,
// the window sets its controls around them. Sending stays possible during a measurement, so a
// command to the meter is answered into it. Closing returns at once; a start that follows waits
// for the device to be released (see KlickBehandeln).

namespace {

const QString KeineMessung = QStringLiteral("keine Messung aktiv");

template <typename Liste>
void Freigeben(const Liste& widgets, bool frei) {
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

namespace {

// The other kind's button and the buttons a running measurement disables.
std::array<QWidget*, 4> Andere(const TForm1& f, TLeseModus art) {
    return {art == lmWTW ? static_cast<QWidget*>(f.Rx_Button)
                         : static_cast<QWidget*>(f.WTW_Rx_Button),
            f.Clear_Btn, f.RS232Set_Btn, f.Option_Btn};
}

} // namespace

void TForm1::RSLesenClick() {
    DesignStandardGrid(Zustand);
    TabelleZeigen();
    if (Messung().Laeuft()) {
        Messung().Beenden();
        MessungEndeZeigen(lmRS232);
    } else {
        MessungBeginntZeigen(lmRS232);
        Messung().Beginnen(lmRS232);
    }
    Spalten1->setEnabled(true);
}

void TForm1::RSWTWLesenClick() {
    if (Messung().Laeuft()) {
        Messung().Beenden();
        MessungEndeZeigen(lmWTW);
    } else {
        MessungBeginntZeigen(lmWTW);
        Messung().Beginnen(lmWTW);
    }
    WTWGridGleitWerte->setEnabled(true);
}

// A measurement is about to begin: while its port opens (perhaps waiting for the device to be
// released) the controls it disables are disabled already.
void TForm1::MessungBeginntZeigen(TLeseModus art) {
    if (art == lmWTW) {
        Freigeben(Andere(*this, lmWTW), false);
        Spalten1->setEnabled(false);
    } else {
        Freigeben(Andere(*this, lmRS232), false);
        Freigeben(std::array<QWidget*, 2>{SaveButton, AutoSaveBtn}, false);
        WTWGridGleitWerte->setEnabled(false);
    }
    MessbeginnZeigen();
}

// The measurement runs: a meter measurement's fresh table is shown.
void TForm1::MessungBegonnenZeigen(TLeseModus art) {
    if (art == lmWTW) {
        TabelleZeigen();
    }
    KnopfBeschriften(art, true);
}

// The port of a start did not open: the table as the start left it, the controls as before.
void TForm1::MessungGescheitertZeigen(TLeseModus art) {
    if (art == lmWTW) {
        TabelleZeigen();
    }
    MessungEndeZeigen(art);
}

// The measurement ended, or its start was undone: the controls are as before the start.
void TForm1::MessungEndeZeigen(TLeseModus art) {
    Freigeben(Andere(*this, art), true);
    if (art == lmRS232) {
        // While one kind of saving runs, the other kind's button stays disabled: its click
        // would end the running one behind the user's back.
        SaveButton->setEnabled(Messung().Speichern() != TSpeicherArt::Auto);
        AutoSaveBtn->setEnabled(Messung().Speichern() != TSpeicherArt::Sofort);
    }
    WTWGridGleitWerte->setEnabled(true);
    Spalten1->setEnabled(true);
    MessendeZeigen();
}

void TForm1::KnopfBeschriften(TLeseModus art, bool laeuft) {
    if (art == lmRS232) {
        Rx_Button->setText(laeuft ? QStringLiteral("Ende Lesen") : QStringLiteral("RS232 Lesen"));
    } else if (art == lmWTW) {
        WTW_Rx_Button->setText(laeuft ? QStringLiteral("Ende Lesen") : QStringLiteral("WTW-Lesen"));
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
