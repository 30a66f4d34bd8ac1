// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/PCZeit.h"

#include "storage/Uhr.h"
#include "storage/ZeitpunktLesen.h"

#include <cstdint>

TZeitpunkt LokaleZeit(std::time_t zeit) {
    return UhrzeitAusUtc(std::int64_t{zeit} * 1000).Lokal;
}

std::string PCDatumText(const TZeitpunkt& zeitpunkt) {
    return MitNullen(zeitpunkt.Tag, 2) + "." + MitNullen(zeitpunkt.Monat, 2) + "." +
           MitNullen(zeitpunkt.Jahr, 4);
}

std::string PCZeitText(const TZeitpunkt& zeitpunkt) {
    return ZeitText(zeitpunkt);
}

TPCZeitstempel PCZeitstempel(const TZeitpunkt& zeitpunkt) {
    return {PCDatumText(zeitpunkt), PCZeitText(zeitpunkt)};
}

std::string PCDatumZeitText(const TZeitpunkt& zeitpunkt) {
    return PCDatumText(zeitpunkt) + ", " + PCZeitText(zeitpunkt);
}

std::string DatumText(const TZeitpunkt& zeitpunkt) {
    return MitNullen(zeitpunkt.Tag, 2) + "." + MitNullen(zeitpunkt.Monat, 2) + "." +
           std::to_string(zeitpunkt.Jahr);
}
