// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mainwindow/ComMainForm.h"

#include "app/DateinameGueltig.h"
#include "app/Einstellungen.h"
#include "framework/widgets/PBSpinEdit.h"
#include "framework/widgets/StringGrid.h"
#include "mainwindow/PrgOptionenFrm.h"
#include "mainwindow/SpaltenFrm.h"
#include "storage/Dateinamen.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <cstdint>
#include <utility>

namespace {

// The table layout values of a dialog's two number fields, brought into their bounds.
void TabellenwerteNehmen(TKonfiguration& k, const TPBSpinEdit& spalten, const TPBSpinEdit& breite) {
    k.Spaltenzahl = static_cast<std::uint8_t>(spalten.Value());
    k.Spaltenbreite = static_cast<std::uint16_t>(breite.Value());
}

void TabellenwerteZeigen(const TKonfiguration& k, TPBSpinEdit& spalten, TPBSpinEdit& breite) {
    spalten.SetValue(k.Spaltenzahl);
    breite.SetValue(k.Spaltenbreite);
}

} // namespace

void TForm1::SpaltenFormErzeugen() {
    Spalten_Form = new TSpalten_Form(this);
}

void TForm1::PrgOptionenFormErzeugen() {
    PrgOptionenForm = new TPrgOptionenForm(this);
}

void TForm1::Spalten1Click() {
    TKonfiguration& k = Zustand.Konfiguration;
    TabellenwerteZeigen(k, *Spalten_Form->PBSpinEdit1, *Spalten_Form->PBSpinEdit2);
    if (Spalten_Form->exec() != QDialog::Accepted) {
        return;
    }
    TabellenwerteNehmen(k, *Spalten_Form->PBSpinEdit1, *Spalten_Form->PBSpinEdit2);
    DesignStandardGrid(Zustand);
    TabelleZeigen();
}

// A changed setting is written to quorlits.conf at once; PHRX.CFG is written at the end as
// always.
void TForm1::EinstellungenNehmen(const TEinstellungen& neue) {
    if (Einstellungen == neue) {
        return;
    }
    Einstellungen = neue;
    EinstellungenSchreiben(EinstellungenPfad(konfigurationsDatei_), Einstellungen);
}

void TForm1::Option_BtnClick() {
    TKonfiguration& k = Zustand.Konfiguration;
    TPrgOptionenForm& f = *PrgOptionenForm;
    f.CheckBox1->setChecked(k.AutoDateiname);
    (k.Ueberschreiben ? f.RBUeberschreiben : f.RBAnfuegen)->setChecked(true);
    f.Edit1->setText(QString::fromStdString(DateinamenTeil(k.Ausgabedatei)));
    TabellenwerteZeigen(k, *f.PBSpinEdit1, *f.PBSpinEdit2);
    f.AutomatischWiederverbinden->setChecked(Einstellungen.AutomatischWiederverbinden);
    f.RohdatenAufzeichnen->setChecked(Einstellungen.RohdatenAufzeichnen);
    f.AngabenInDatei->setChecked(Einstellungen.AngabenInDatei);
    if (f.exec() != QDialog::Accepted) {
        return;
    }
    const TEinstellungsListe vorher = Speicheroptionen(k, Einstellungen);
    k.Ueberschreiben = f.RBUeberschreiben->isChecked();
    // A name that is no valid file name leaves the output file as it was, without a message.
    if (auto datei = NeueAusgabedatei(QFile::encodeName(f.Verzeichnis()).toStdString(),
                                      f.Edit1->text().toStdString())) {
        k.Ausgabedatei = std::move(*datei);
    }
    k.AutoDateiname = f.CheckBox1->isChecked();
    DateiLabelZeigen();
    TabellenwerteNehmen(k, *f.PBSpinEdit1, *f.PBSpinEdit2);
    DesignStandardGrid(Zustand);
    TabelleZeigen();
    // Last: a quorlits.conf that cannot be written is reported with everything else taken.
    TEinstellungen neue = Einstellungen;
    neue.AutomatischWiederverbinden = f.AutomatischWiederverbinden->isChecked();
    neue.RohdatenAufzeichnen = f.RohdatenAufzeichnen->isChecked();
    neue.AngabenInDatei = f.AngabenInDatei->isChecked();
    // Told to the trail before quorlits.conf is written: the change is taken even when the
    // file cannot be written.
    EinstellungenProtokollieren("Speicheroptionen", vorher, Speicheroptionen(k, neue));
    EinstellungenNehmen(neue);
}
