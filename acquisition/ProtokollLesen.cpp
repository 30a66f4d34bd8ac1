// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "acquisition/MesswertLesen.h"

#include "acquisition/Satzfelder.h"
#include "acquisition/Zahlwandlung.h"

#include <algorithm>

namespace {

// The printout's fields that remain after date, time, temperature, "TREF" and "C =" are taken:
// only this many characters are looked at for the unit and the value.
constexpr std::size_t RestLaenge = 24;

// The time is at most six characters long ("12:34 ").
constexpr TPosition ZeitLaenge = 6;

bool IstDatumszeichen(std::string_view text, TPosition position) {
    if (position < 1 || position > static_cast<TPosition>(text.size())) {
        return false;
    }
    const char zeichen = text[position - 1];
    return zeichen >= '.' && zeichen <= '9';
}

// The date ends after the last date character ("." "/" digit) in front of the time, looked for
// down to position 5; 5 when there is none.
TPosition DatumsEnde(std::string_view rest, TPosition zeitAnfang) {
    for (TPosition position = zeitAnfang - 1; position >= 5; --position) {
        if (IstDatumszeichen(rest, position)) {
            return position + 1;
        }
    }
    return 5;
}

// Time and date in front of the first ":" (only when it stands at position 3 or later).
void ZeitUndDatumEntnehmen(std::string& rest, TMesswert& messwert) {
    const TPosition doppelpunkt = Suchen(rest, ":");
    if (doppelpunkt <= 2) {
        return;
    }
    const TPosition zeitAnfang = RueckwaertsKeinZiffernzeichen(rest, doppelpunkt - 1, 1) + 1;
    messwert.Zeit = LeerzeichenEntfernen(Teil(rest, zeitAnfang, ZeitLaenge));
    Entfernen(rest, zeitAnfang, ZeitLaenge);
    const TPosition ende = DatumsEnde(rest, zeitAnfang);
    const TPosition anfang = RueckwaertsKeinZiffernzeichen(rest, ende - 3, 1) + 1;
    messwert.Datum = LeerzeichenEntfernen(Teil(rest, anfang, ende - anfang));
    Entfernen(rest, anfang, ende - anfang);
}

// A numeric field after a label: the label is removed; the field starts where the label stood,
// its first `fest` characters always belong to it, and it ends at the first character that is
// not a figure character, after at most `hoechstens` characters.
double FeldNachMarke(std::string& rest, std::string_view marke, TPosition fest,
                     TPosition hoechstens) {
    const TPosition position = Suchen(rest, marke, true);
    if (position == 0) {
        return 0.0;
    }
    Entfernen(rest, position, static_cast<TPosition>(marke.size()));
    const TPosition ende =
        VorwaertsKeinZiffernzeichen(rest, position + fest, position + hoechstens);
    const double wert = FeldWert(Teil(rest, position, ende - position));
    Entfernen(rest, position, ende - position);
    return wert;
}

} // namespace

TMesswert ProtokollLesen(std::string_view datensatz) {
    TMesswert messwert;
    if (datensatz.empty()) {
        return messwert;
    }
    std::string rest(datensatz);
    ZeitUndDatumEntnehmen(rest, messwert);
    TemperaturEntnehmen(rest, messwert);
    messwert.Tref = FeldNachMarke(rest, "TREF", 1, 5);
    messwert.TCKoeff = FeldNachMarke(rest, "C =", 2, 7);
    rest.resize(std::min(rest.size(), RestLaenge));
    LeitfaehigkeitEntnehmen(rest, messwert);
    if (messwert.Einheit.empty()) {
        EinheitAusBuchstaben(rest, messwert);
    }
    WertEntnehmen(rest, messwert);
    return messwert;
}
