// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "acquisition/ComMainForm.h"

void TForm1::LampenAufbauen(QWidget*) {}
