// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "collector/Sammler.h"

#include <string>
#include <vector>

// quorlits-sammler --broker URL [--user U] [--password-file F] [--ca F] --database CONNINFO
//                  [--client-id ID] [--share GROUP]
struct TSammlerBefehl {
    bool Hilfe = false;
    TSammlerOptionen Optionen;
};

// Raises EMeldung (German) for a wrong argument, a broker address that cannot be read and a
// password file that cannot be used.
TSammlerBefehl SammlerBefehlLesen(const std::vector<std::string>& argumente);

std::string SammlerHilfe();
