// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "acquisition/Messwert.h"

// The two readings whose data-file lines tests/data/datenzeile_*.txt hold: a single-line pH
// reading and a framed conductivity printout, both completed on 06.12.2001 at 14:30:05.
inline TMesswert Einzelzeile() {
    TMesswert m;
    m.PCDatum = "06.12.2001";
    m.PCZeit = "14:30:05";
    m.Wert = 7.012;
    m.Einheit = "pH";
    m.Temp = 24.8;
    return m;
}

inline TMesswert Ausdruck() {
    TMesswert m = Einzelzeile();
    m.Datum = "06.12.96";
    m.Zeit = "12:34";
    m.Wert = 1.413;
    m.Einheit = "mS/cm";
    m.Temp = 25.0;
    m.Tref = 25;
    m.TCKoeff = 0.475;
    m.Gerahmt = true;
    return m;
}
