// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <string>

// What main() checks before it opens anything.

// Opens /dev/null on each of the descriptors 0, 1 and 2 that is not open. A program started
// with them closed would otherwise get them for its next files: the signal pipe or a data file
// would become standard error, and every message would land in it. Call it first in main().
// False when /dev/null cannot be opened (nothing can be reported then).
bool StandardKanaeleSichern();

// Whether a window can be shown: DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM is set. Without
// any of them Qt would abort with an English text.
bool AnzeigeVorhanden();

// The German message when AnzeigeVorhanden() is false; it points at logging without a window.
std::string KeineAnzeigeMeldung();
