// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "acquisition/ComMainForm.h"

#include "framework/SpeedButton.h"

void TForm1::AutoFormErzeugen() {}

void TForm1::AutoSaveBtnClick() {
    AutoSaveBtn->SetDown(Zustand.Speicher.AutoSpeichernAktiv);
}
