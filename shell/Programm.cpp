// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "shell/Programm.h"

#include "acquisition/ComMainForm.h"
#include "serial/CPortSetup.h"
#include "serial/CustomComPort.h"
#include "shell/FehlerboxAnschluss.h"
#include "shell/KonfPfad.h"

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
