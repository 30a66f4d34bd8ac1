// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "storage/Zeitpunkt.h"

#include <ostream>

// Time stamps in failure messages as "6.12.2001 14:30:5".
inline void PrintTo(const TZeitpunkt& z, std::ostream* aus) {
    *aus << z.Tag << "." << z.Monat << "." << z.Jahr << " " << z.Stunde << ":" << z.Minute << ":"
         << z.Sekunde;
}
