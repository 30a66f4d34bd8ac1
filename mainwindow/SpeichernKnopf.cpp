// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mainwindow/ComMainForm.h"

#include "framework/widgets/Fehlerbox.h"
#include "framework/widgets/SpeedButton.h"
#include "storage/Dateinamen.h"

#include <QLabel>

// The saving button of the main window. It decides by SofortSpeichernAktiv, not by its own down
// state, and the data file is open exactly while a kind of saving is on.

void TForm1::Bt_StoreClick() {
    TSpeicherZustand& speicher = Zustand.Speicher;
    if (speicher.SofortSpeichernAktiv) {
        SaveButton->setText(QStringLiteral("Speichern EIN"));
        speicher.SofortSpeichernAktiv = false;
        AutoSaveBtn->setEnabled(true);
        SpeichernAufzeichnen(false);
        speicher.Datendatei.Schliessen();
        return;
    }
    SaveButton->setText(QStringLiteral("Speichern AUS"));
    speicher.SofortSpeichernAktiv = true;
    speicher.AutoSpeichernAktiv = false;
    AutoSaveBtn->setEnabled(false);
    const bool geoeffnet = SpeicherStart();
    if (!geoeffnet) {
        speicher.SofortSpeichernAktiv = false;
        AutoSaveBtn->setEnabled(true);
        SaveButton->SetDown(false);
        SaveButton->setText(QStringLiteral("Speichern EIN"));
        SpeicherStartFehlgeschlagen();
    }
    SpeichernAufzeichnen(true);
}

bool TForm1::SpeicherStart() {
    const bool geoeffnet = SpeichernStarten(Zustand.Speicher, Zustand.Konfiguration, uhr_().Lokal);
    if (Zustand.Speicher.NameErzeugt) {
        Label12->setText(
            QString::fromStdString(DateinamenTeil(Zustand.Konfiguration.Ausgabedatei)));
    }
    return geoeffnet;
}

void TForm1::DateiLabelZeigen() {
    const TKonfiguration& k = Zustand.Konfiguration;
    Label12->setText(k.AutoDateiname ? QStringLiteral("automatische Wahl")
                                     : QString::fromStdString(DateinamenTeil(k.Ausgabedatei)));
}

void TForm1::SpeicherStartFehlgeschlagen() {
    // Without a word a user would believe the readings are being saved.
    throw EMeldung(Zustand.Speicher.StartFehler);
}

void TForm1::DatendateiSchliessen() {
    if (Zustand.Speicher.SofortSpeichernAktiv || Zustand.Speicher.AutoSpeichernAktiv) {
        Zustand.Speicher.Datendatei.Schliessen();
    }
}
