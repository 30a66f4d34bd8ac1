// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "acquisition/ComMainForm.h"

void TForm1::SpaltenFormErzeugen() {}
void TForm1::PrgOptionenFormErzeugen() {}
void TForm1::Option_BtnClick() {}
void TForm1::Spalten1Click() {}
