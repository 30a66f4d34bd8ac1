// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "acquisition/Satzfelder.h"

#include "acquisition/Zahlwandlung.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

char Gross(char zeichen) {
    return zeichen >= 'a' && zeichen <= 'z' ? static_cast<char>(zeichen - 'a' + 'A') : zeichen;
}

TPosition Laenge(std::string_view text) {
    return static_cast<TPosition>(text.size());
}

bool IstZiffernzeichenAn(std::string_view text, TPosition position) {
    return position >= 1 && position <= Laenge(text) && IstZiffernzeichen(text[position - 1]);
}

// The part of [von, von + anzahl) that lies inside the text, as 0-based index and count.
bool Bereich(std::string_view text, TPosition von, TPosition anzahl, std::size_t& index,
             std::size_t& zahl) {
    const TPosition anfang = std::max<TPosition>(von, 1);
    const TPosition ende = std::min(von + anzahl, Laenge(text) + 1);
    if (ende <= anfang) {
        return false;
    }
    index = static_cast<std::size_t>(anfang - 1);
    zahl = static_cast<std::size_t>(ende - anfang);
    return true;
}

// What a unit not recognised by name is made of: the bytes 0x28 to 0x7D without digits and
// number signs, and "%", so an oxygen saturation printout keeps its unit apart from mg/l.
bool IstEinheitszeichen(char zeichen) {
    const auto wert = static_cast<unsigned char>(zeichen);
    const bool zahlzeichen = (zeichen >= '0' && zeichen <= '9') || zeichen == '+' ||
                             zeichen == ',' || zeichen == '-' || zeichen == '.';
    return (wert >= 0x28 && wert <= 0x7D && !zahlzeichen) || zeichen == '%';
}

} // namespace

bool IstZiffernzeichen(char zeichen) {
    return zeichen >= 0x2B && zeichen <= 0x3B;
}

TPosition Suchen(std::string_view text, std::string_view muster, bool grossKleinGleich) {
    const auto gleich = [grossKleinGleich](char a, char b) {
        return grossKleinGleich ? Gross(a) == Gross(b) : a == b;
    };
    const auto treffer =
        std::search(text.begin(), text.end(), muster.begin(), muster.end(), gleich);
    if (muster.empty() || treffer == text.end()) {
        return 0;
    }
    return treffer - text.begin() + 1;
}

std::string Teil(std::string_view text, TPosition von, TPosition anzahl) {
    std::size_t index = 0;
    std::size_t zahl = 0;
    return Bereich(text, von, anzahl, index, zahl) ? std::string(text.substr(index, zahl))
                                                   : std::string();
}

void Entfernen(std::string& text, TPosition von, TPosition anzahl) {
    std::size_t index = 0;
    std::size_t zahl = 0;
    if (Bereich(text, von, anzahl, index, zahl)) {
        text.erase(index, zahl);
    }
}

TPosition RueckwaertsKeinZiffernzeichen(std::string_view text, TPosition von, TPosition bis) {
    for (TPosition position = von; position >= bis && position >= 1; --position) {
        if (!IstZiffernzeichenAn(text, position)) {
            return position;
        }
    }
    return 0;
}

TPosition VorwaertsKeinZiffernzeichen(std::string_view text, TPosition von, TPosition bis) {
    for (TPosition position = von; position <= bis; ++position) {
        if (!IstZiffernzeichenAn(text, position)) {
            return position;
        }
    }
    return bis;
}

double FeldWert(std::string_view feld) {
    std::string zahl = LeerzeichenEntfernen(feld);
    std::replace(zahl.begin(), zahl.end(), ',', '.');
    return ZahlWandeln(zahl).Wert;
}

void TemperaturEntnehmen(std::string& rest, TMesswert& messwert) {
    const TPosition grad = Suchen(rest, "\xF8"
                                        "C");
    if (grad == 0) {
        return;
    }
    // The two characters in front of the degree sign always belong to the temperature.
    const TPosition anfang = RueckwaertsKeinZiffernzeichen(rest, grad - 3, 1) + 1;
    Entfernen(rest, grad, 2);
    messwert.Temp = FeldWert(Teil(rest, anfang, grad - anfang));
    messwert.MitTemperatur = true;
    Entfernen(rest, anfang, grad - anfang);
}

void LeitfaehigkeitEntnehmen(std::string& rest, TMesswert& messwert) {
    const TPosition treffer = Suchen(rest, "S/CM", true);
    if (treffer == 0) {
        return;
    }
    // The prefix letter ("m", "µ") in front of the match belongs to the unit.
    const TPosition anfang = std::max<TPosition>(treffer - 1, 1);
    const TPosition anzahl = treffer + 4 - anfang;
    messwert.Einheit = Teil(rest, anfang, anzahl);
    messwert.Messgroesse = "Lf";
    Entfernen(rest, anfang, anzahl);
}

void EinheitAusBuchstaben(std::string_view rest, TMesswert& messwert) {
    std::string einheit;
    std::copy_if(rest.begin(), rest.end(), std::back_inserter(einheit), IstEinheitszeichen);
    messwert.Einheit = std::move(einheit);
    messwert.Messgroesse = "?";
}

void WertEntnehmen(std::string_view rest, TMesswert& messwert) {
    std::string zahl;
    for (const char zeichen : rest) {
        if ((zeichen >= '0' && zeichen <= '9') || zeichen == '.' || zeichen == ',' ||
            zeichen == '+' || zeichen == '-') {
            zahl.push_back(zeichen);
        }
    }
    messwert.Wert = FeldWert(zahl);
}
