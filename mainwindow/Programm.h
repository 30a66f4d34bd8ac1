// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "app/Befehlszeile.h"

#include <memory>

class TForm1;

// The start of the program once the application object exists: the application's name, the
// main window on the port of the command line with PHRX.CFG at its usual place, and the error
// box over it. The caller shows the window and runs the message loop.
std::unique_ptr<TForm1> ProgrammEinrichten(const TBefehlszeile& befehlszeile);

// After the message loop: reports still waiting are shown, then the error box is taken down.
void ProgrammBeenden();
