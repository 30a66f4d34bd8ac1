// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "acquisition/Zahlwandlung.h"

#include <algorithm>
#include <charconv>
#include <system_error>

namespace {

bool IstZiffer(char zeichen) {
    return zeichen >= '0' && zeichen <= '9';
}

// Where the parts of a number lie in the text (0-based indices).
struct TZahlAufbau {
    std::size_t Anfang = 0;        // sign or first digit
    std::size_t MantissenEnde = 0; // after the last digit of integer part, point and fraction
    std::size_t Ende = 0;          // after the exponent, or MantissenEnde without one
    bool Gueltig = false;          // at least one digit in the mantissa
    long Groessenordnung = 0;      // decimal places of the leading digit, without exponent
    bool NurNullen = true;         // every mantissa digit is 0
};

std::size_t ZiffernUeberspringen(std::string_view text, std::size_t i) {
    while (i < text.size() && IstZiffer(text[i])) {
        ++i;
    }
    return i;
}

bool IstVorzeichen(std::string_view text, std::size_t i) {
    return i < text.size() && (text[i] == '+' || text[i] == '-');
}

// Order of magnitude of the mantissa: the number of integer digits after leading zeros, or minus
// the number of zeros that follow the point when the integer part is zero.
void GroesseBestimmen(std::string_view ganz, std::string_view bruch, TZahlAufbau& aufbau) {
    const std::size_t ersteGanz = ganz.find_first_not_of('0');
    if (ersteGanz != std::string_view::npos) {
        aufbau.NurNullen = false;
        aufbau.Groessenordnung = static_cast<long>(ganz.size() - ersteGanz);
        return;
    }
    const std::size_t ersteBruch = bruch.find_first_not_of('0');
    if (ersteBruch != std::string_view::npos) {
        aufbau.NurNullen = false;
        aufbau.Groessenordnung = -static_cast<long>(ersteBruch);
    }
}

std::size_t ExponentEnde(std::string_view text, std::size_t i) {
    if (i >= text.size() || (text[i] != 'E' && text[i] != 'e')) {
        return i;
    }
    std::size_t j = i + 1;
    if (IstVorzeichen(text, j)) {
        ++j;
    }
    const std::size_t ziffernEnde = ZiffernUeberspringen(text, j);
    return ziffernEnde > j ? ziffernEnde : i;
}

TZahlAufbau Zerlegen(std::string_view text, std::size_t anfang) {
    TZahlAufbau aufbau;
    aufbau.Anfang = anfang;
    std::size_t i = IstVorzeichen(text, anfang) ? anfang + 1 : anfang;
    const std::size_t ganzAnfang = i;
    i = ZiffernUeberspringen(text, i);
    const std::string_view ganz = text.substr(ganzAnfang, i - ganzAnfang);
    std::string_view bruch;
    if (i < text.size() && text[i] == '.') {
        const std::size_t bruchEnde = ZiffernUeberspringen(text, i + 1);
        bruch = text.substr(i + 1, bruchEnde - i - 1);
        if (!ganz.empty() || !bruch.empty()) {
            i = bruchEnde;
        }
    }
    aufbau.Gueltig = !ganz.empty() || !bruch.empty();
    aufbau.MantissenEnde = i;
    aufbau.Ende = aufbau.Gueltig ? ExponentEnde(text, i) : i;
    GroesseBestimmen(ganz, bruch, aufbau);
    return aufbau;
}

// from_chars takes no leading "+"; the sign is handled here.
bool Umwandeln(std::string_view zahl, double& wert) {
    bool negativ = false;
    if (!zahl.empty() && (zahl.front() == '+' || zahl.front() == '-')) {
        negativ = zahl.front() == '-';
        zahl.remove_prefix(1);
    }
    double betrag = 0.0;
    const auto ergebnis = std::from_chars(zahl.data(), zahl.data() + zahl.size(), betrag);
    if (ergebnis.ec != std::errc{}) {
        return false;
    }
    wert = negativ ? -betrag : betrag;
    return true;
}

// Whether a number that from_chars found out of range lies above the range (rather than below).
bool Ueberlauf(std::string_view text, const TZahlAufbau& aufbau) {
    if (aufbau.Ende == aufbau.MantissenEnde) {
        return aufbau.Groessenordnung > 0;
    }
    std::size_t i = aufbau.MantissenEnde + 1;
    const bool negativ = text[i] == '-';
    if (IstVorzeichen(text, i)) {
        ++i;
    }
    long exponent = 0;
    for (; i < aufbau.Ende && exponent < 100000; ++i) {
        exponent = exponent * 10 + (text[i] - '0');
    }
    return aufbau.Groessenordnung + (negativ ? -exponent : exponent) > 0;
}

TZahlErgebnis Ergebnis(double wert, std::size_t genommen, std::size_t laenge) {
    // Adding 0.0 turns a negative zero into 0.
    return TZahlErgebnis{wert + 0.0, genommen == laenge ? 0 : genommen + 1};
}

} // namespace

std::string LeerzeichenEntfernen(std::string_view text) {
    std::string ergebnis;
    ergebnis.reserve(text.size());
    for (const char zeichen : text) {
        if (zeichen != ' ') {
            ergebnis.push_back(zeichen);
        }
    }
    return ergebnis;
}

TZahlErgebnis ZahlWandeln(std::string_view text) {
    const std::size_t anfang = std::min(text.find_first_not_of(' '), text.size());
    TZahlAufbau aufbau = Zerlegen(text, anfang);
    if (!aufbau.Gueltig) {
        return Ergebnis(0.0, anfang, text.size());
    }
    if (aufbau.NurNullen) {
        // Zero stays zero whatever its exponent.
        return Ergebnis(0.0, aufbau.Ende, text.size());
    }
    double wert = 0.0;
    if (Umwandeln(text.substr(anfang, aufbau.Ende - anfang), wert)) {
        return Ergebnis(wert, aufbau.Ende, text.size());
    }
    if (!Ueberlauf(text, aufbau)) {
        return Ergebnis(0.0, aufbau.Ende, text.size());
    }
    if (aufbau.Ende != aufbau.MantissenEnde &&
        Umwandeln(text.substr(anfang, aufbau.MantissenEnde - anfang), wert)) {
        return Ergebnis(wert, aufbau.MantissenEnde, text.size());
    }
    return Ergebnis(0.0, anfang, text.size());
}
