// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/PCZeit.h"

#include "storage/ZeitpunktLesen.h"

#include <limits>

TZeitpunkt LokaleZeit(std::time_t zeit) {
    std::tm teile{};
    if (localtime_r(&zeit, &teile) == nullptr ||
        teile.tm_year > std::numeric_limits<int>::max() - 1900) {
        return TZeitpunkt{1, 1, 1970, 0, 0, 0}; // a time the C library cannot convert
    }
    return TZeitpunkt{teile.tm_mday, teile.tm_mon + 1, teile.tm_year + 1900,
                      teile.tm_hour, teile.tm_min,     teile.tm_sec};
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
