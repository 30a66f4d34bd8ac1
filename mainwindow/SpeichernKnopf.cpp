// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mainwindow/ComMainForm.h"

#include "framework/widgets/Fehlerbox.h"
#include "framework/widgets/SpeedButton.h"
#include "measurement/Messung.h"
#include "storage/Dateinamen.h"

#include <QLabel>

// The saving button of the main window. It decides by the measurement's saving state, not by its
// own down state, and the data file is open exactly while a kind of saving is on.

void TForm1::Bt_StoreClick() {
    if (Messung().Speichern() == TSpeicherArt::Sofort) {
        SaveButton->setText(QStringLiteral("Speichern EIN"));
        AutoSaveBtn->setEnabled(true);
        Messung().SpeichernAus();
        return;
    }
    SaveButton->setText(QStringLiteral("Speichern AUS"));
    AutoSaveBtn->setEnabled(false);
    try {
        SpeicherStart(TSpeicherArt::Sofort);
    } catch (const EMeldung&) {
        // Without a word a user would believe the readings are being saved.
        AutoSaveBtn->setEnabled(true);
        SaveButton->SetDown(false);
        SaveButton->setText(QStringLiteral("Speichern EIN"));
        throw;
    }
}

void TForm1::SpeicherStart(TSpeicherArt art) {
    // A generated file name is shown at once, also when the start failed after making it.
    const auto nameZeigen = [this] {
        if (Zustand.Speicher.NameErzeugt) {
            Label12->setText(
                QString::fromStdString(DateinamenTeil(Zustand.Konfiguration.Ausgabedatei)));
        }
    };
    try {
        Messung().SpeichernEin(art);
    } catch (...) {
        nameZeigen();
        throw;
    }
    nameZeigen();
}

void TForm1::DateiLabelZeigen() {
    const TKonfiguration& k = Zustand.Konfiguration;
    Label12->setText(k.AutoDateiname ? QStringLiteral("automatische Wahl")
                                     : QString::fromStdString(DateinamenTeil(k.Ausgabedatei)));
}
