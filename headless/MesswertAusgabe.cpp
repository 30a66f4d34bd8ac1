// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "headless/MesswertAusgabe.h"

#include "framework/Codepage.h"
#include "storage/Datenzeile.h"

#include <QString>

#include <string_view>

namespace {

std::string Utf8(std::string_view feld, bool vomGeraet) {
    const QString text =
        vomGeraet ? Cp850ZuText(feld) : QString::fromLatin1(feld.data(), std::ssize(feld));
    return text.toUtf8().toStdString();
}

} // namespace

std::string MesswertZeileUtf8(const TMesswert& messwert) {
    std::string daten = DatenZeile(messwert);
    daten.resize(daten.size() - 2); // CR LF
    // The meter's fields: the unit, and before it the date and time of a printout.
    const std::size_t einheit = messwert.Gerahmt ? 5 : 3;
    std::string ergebnis;
    std::size_t anfang = 0;
    for (std::size_t feld = 0; anfang <= daten.size(); ++feld) {
        std::size_t ende = daten.find('\t', anfang);
        if (ende == std::string::npos) {
            ende = daten.size();
        }
        const bool vomGeraet = feld == einheit || (messwert.Gerahmt && (feld == 2 || feld == 3));
        ergebnis += Utf8(std::string_view(daten).substr(anfang, ende - anfang), vomGeraet);
        ergebnis += ende == daten.size() ? '\n' : '\t';
        anfang = ende + 1;
    }
    return ergebnis;
}
