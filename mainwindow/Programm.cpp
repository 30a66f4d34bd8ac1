// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mainwindow/Programm.h"

#include "app/KonfPfad.h"
#include "mainwindow/ComMainForm.h"
#include "mainwindow/FehlerboxAnschluss.h"
#include "serial/CustomComPort.h"
#include "serial/widgets/CPortSetup.h"

#include <QCoreApplication>

std::unique_ptr<TForm1> ProgrammEinrichten(const TBefehlszeile& befehlszeile) {
    QCoreApplication::setApplicationName(QStringLiteral("Quorlits"));
    TFormOptionen optionen;
    optionen.KonfigurationsDatei = KonfigurationsPfad();
    optionen.Port = befehlszeile.Port;
    optionen.Aufzeichnung = befehlszeile.Aufzeichnung;
    auto form = std::make_unique<TForm1>(std::move(optionen));
    FehlerboxAnschliessen(form.get());
    SetComSettingsDialog(RunSetupDialog);
    return form;
}

void ProgrammBeenden() {
    // An error of the shutdown (PHRX.CFG, the data file) was queued while the loop ended.
    QCoreApplication::sendPostedEvents();
    FehlerboxTrennen();
}
