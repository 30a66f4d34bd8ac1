// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mainwindow/ComMainForm.h"

#include "framework/Meldung.h"
#include "framework/widgets/PBSpinEdit.h"
#include "framework/widgets/SpeedButton.h"
#include "mainwindow/AutoSpeichernFrm.h"
#include "measurement/Messung.h"
#include "storage/Dateinamen.h"
#include "storage/DatumZeit.h"
#include "storage/PCZeit.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QRadioButton>
#include <QTimeEdit>

#include <cstdint>

// The autosave button of the main window and its dialog. The handler decides by
// AutoSpeichernAktiv, not by the button's down state; the dialog is filled from the settings
// before every showing, so "Abbruch" leaves nothing behind.

namespace {

// Width of the output path in the dialog's label.
constexpr int Label1Laenge = 35;

const QString NichtGesetzt = QStringLiteral("nicht gesetzt");
const QString KeinStatus = QStringLiteral("...");

void DialogFuellen(TAuto_Form& dialog, const TProgrammZustand& zustand) {
    const TKonfiguration& k = zustand.Konfiguration;
    dialog.Label1->setText(k.AutoDateiname
                               ? QStringLiteral("automatische Wahl")
                               : QString::fromStdString(PfadKuerzen(k.Ausgabedatei, Label1Laenge)));
    const TDateTime beginn = ZeitpunktAlsDatumZeit(zustand.AutoSpeicher.Speicherbeginn);
    const TDateTime ende = ZeitpunktAlsDatumZeit(zustand.AutoSpeicher.Speicherende);
    PickerSetzen(dialog.DateTimePicker1, beginn);
    PickerSetzen(dialog.DateTimePicker3, beginn);
    PickerSetzen(dialog.DateTimePicker2, ende);
    PickerSetzen(dialog.DateTimePicker4, ende);
    dialog.RadioGroup1->SetItemIndex(SpeicherintervallIndex(k.Speicherintervall));
    dialog.CheckBox1->setChecked(k.ZeitRaster);
    // In this order, so the moving average wins when a PHRX.CFG sets both; each check runs the
    // button's handler and with it the enabling rules.
    if (k.MittelwertIntervall) {
        dialog.RadioButton2->setChecked(true);
    }
    if (k.GleitendesMittel) {
        dialog.RadioButton3->setChecked(true);
    }
    if (!k.MittelwertIntervall && !k.GleitendesMittel) {
        dialog.RadioButton1->setChecked(true);
    }
    dialog.PBSpinEdit2->SetValue(k.AnzahlGleitMittel);
}

TZeitpunkt Zeitpunkt(const QDateEdit* datum, const QTimeEdit* zeit) {
    TZeitpunkt z;
    DatumUebernehmen(z, PickerWert(datum));
    ZeitUebernehmen(z, PickerWert(zeit));
    return z;
}

void WerteUebernehmen(const TAuto_Form& dialog, TProgrammZustand& zustand) {
    TKonfiguration& k = zustand.Konfiguration;
    zustand.AutoSpeicher.Speicherbeginn = Zeitpunkt(dialog.DateTimePicker1, dialog.DateTimePicker3);
    zustand.AutoSpeicher.Speicherende = Zeitpunkt(dialog.DateTimePicker2, dialog.DateTimePicker4);
    k.Speicherintervall = SpeicherintervallSekunden(dialog.RadioGroup1->ItemIndex());
    k.ZeitRaster = dialog.CheckBox1->isChecked();
    k.MittelwertIntervall = dialog.RadioButton2->isChecked();
    k.GleitendesMittel = dialog.RadioButton3->isChecked();
    k.AnzahlGleitMittel = static_cast<std::uint16_t>(dialog.PBSpinEdit2->Value());
}

// The window's bounds and status as they read while automatic saving is off.
void LabelsZuruecksetzen(TForm1& form) {
    form.Label10->setText(NichtGesetzt);
    form.Label11->setText(NichtGesetzt);
    form.Label14->setText(KeinStatus);
    form.Label15->setText(KeinStatus);
}

} // namespace

void TForm1::AutoFormErzeugen() {
    Auto_Form = new TAuto_Form(this);
}

// The button is set to the state explicitly, so it agrees with the saving state also when the
// handler runs without a click.
void TForm1::AutoSaveBtnClick() {
    if (Messung().Speichern() == TSpeicherArt::Auto) {
        SaveButton->setEnabled(true);
        AutoSaveBtn->SetDown(false);
        Messung().SpeichernAus();
        LabelsZuruecksetzen(*this);
        return;
    }
    DialogFuellen(*Auto_Form, Zustand);
    AutoSaveBtn->SetDown(true);
    if (Auto_Form->exec() != QDialog::Accepted) {
        AutoSaveBtn->SetDown(false);
        return;
    }
    const TEinstellungsListe vorher = Autospeicheroptionen(Zustand);
    WerteUebernehmen(*Auto_Form, Zustand);
    EinstellungenProtokollieren("Optionen zum Autospeichern", vorher,
                                Autospeicheroptionen(Zustand));
    const TAutoSpeicherZustand& fenster = Zustand.AutoSpeicher;
    Label10->setText(QString::fromStdString(PCDatumZeitText(fenster.Speicherbeginn)));
    Label11->setText(QString::fromStdString(PCDatumZeitText(fenster.Speicherende)));
    SaveButton->setEnabled(false);
    try {
        SpeicherStart(TSpeicherArt::Auto);
    } catch (const EMeldung&) {
        AutoSaveBtn->SetDown(false);
        SaveButton->setEnabled(true);
        LabelsZuruecksetzen(*this);
        throw;
    }
}
