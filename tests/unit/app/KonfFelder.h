// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "settings/Konfiguration.h"

#include <array>

// The seven persisted settings in the order of their lines, for comparing whole sets.
inline std::array<int, 7> Felder(const TKonfiguration& k) {
    return {k.AutoDateiname, k.Ueberschreiben,    k.MittelwertIntervall, k.GleitendesMittel,
            k.ZeitRaster,    k.AnzahlGleitMittel, k.Speicherintervall};
}
