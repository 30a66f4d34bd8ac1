// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <string>

// The German text of a system error (errno), for the detail of a message: "Kein Speicherplatz
// mehr auf dem Gerät" for ENOSPC. The errors a file or a serial line meets have texts of their
// own; any other error gets the C library's text, whatever the process's language.
std::string SystemFehlerText(int errnoWert);
