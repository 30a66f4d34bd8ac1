// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "acquisition/MesswertLesen.h"

#include "acquisition/Satzfelder.h"

namespace {

// A unit written as it is searched for: when found it becomes the unit, and the quantity.
struct TEinheitsMuster {
    std::string_view Muster;
    std::string_view Messgroesse;
};

constexpr TEinheitsMuster Einheiten[] = {{"pH", "pH"}, {"mV", "mV"}, {"mg/l", "O2"}, {"%", "O2"}};

void EinheitEntnehmen(std::string& rest, const TEinheitsMuster& einheit, TMesswert& messwert) {
    const TPosition treffer = Suchen(rest, einheit.Muster);
    if (treffer == 0) {
        return;
    }
    messwert.Einheit = einheit.Muster;
    messwert.Messgroesse = einheit.Messgroesse;
    Entfernen(rest, treffer, static_cast<TPosition>(einheit.Muster.size()));
}

} // namespace

TMesswert ZeileLesen(std::string_view datensatz) {
    TMesswert messwert;
    if (datensatz.empty()) {
        return messwert;
    }
    std::string rest(datensatz);
    TemperaturEntnehmen(rest, messwert);
    // Each unit is tried once, in this order; a later match overwrites an earlier one.
    LeitfaehigkeitEntnehmen(rest, messwert);
    for (const TEinheitsMuster& einheit : Einheiten) {
        EinheitEntnehmen(rest, einheit, messwert);
    }
    if (messwert.Einheit.empty()) {
        EinheitAusBuchstaben(rest, messwert);
    }
    WertEntnehmen(rest, messwert);
    return messwert;
}

TMesswert MesswertLesen(std::string_view datensatz, bool gerahmt, std::string& messgroesse) {
    messgroesse.clear();
    TMesswert messwert = gerahmt ? ProtokollLesen(datensatz) : ZeileLesen(datensatz);
    messwert.Gerahmt = gerahmt;
    messwert.Roh = std::string(datensatz);
    messgroesse = messwert.Messgroesse;
    return messwert;
}
