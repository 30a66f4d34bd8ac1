// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "framework/Meldung.h"
#include <cstdio>

#include <exception>
#include <string>

// Messages of the window-free modes: one German line each on `ziel` (standard error),
// "quorlits: " before it, written at once.
void Melden(std::FILE* ziel, const std::string& text);

// Whether the data file may be written: it must not exist yet unless it is to be continued
// (`anhaengen`), and it must not be the capture `aufnahme` (empty: none), which writing the one
// would destroy while the other is read or written. Says so on `meldungen` when not.
bool DatendateiErlaubt(const std::string& datendatei, bool anhaengen, const std::string& aufnahme,
                       std::FILE* meldungen);
