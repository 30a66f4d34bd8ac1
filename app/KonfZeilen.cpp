// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "app/KonfZeilen.h"

#include "acquisition/Zahlwandlung.h"

#include <array>

namespace {

constexpr int Schalterzahl = 5;

constexpr std::array<bool TKonfiguration::*, Schalterzahl> Schalter = {
    &TKonfiguration::AutoDateiname, &TKonfiguration::Ueberschreiben,
    &TKonfiguration::MittelwertIntervall, &TKonfiguration::GleitendesMittel,
    &TKonfiguration::ZeitRaster};

constexpr std::array<std::uint16_t TKonfiguration::*, KonfZeilenzahl - Schalterzahl> Zahlen = {
    &TKonfiguration::AnzahlGleitMittel, &TKonfiguration::Speicherintervall};

// Comments in Windows-1252: 0xFC is "ü".
constexpr std::array<std::string_view, KonfZeilenzahl> Kommentare = {
    "Dateinamen f\xFCr Speichern selbst erzeugen",
    "Datei immer ueberschreiben",
    "Mittelwert im Zeitintervall ausgeben",
    "Gleitenden Mittelwert ausgeben",
    "Zeitmessung in Raster einpassen",
    "Anzahl Messwerte f\xFCr gleitendes Mittel",
    "Speicherintervall in sec"};

// Every line holds a value field of ten characters, then "; " and its comment. A switch is
// "1" or "0"; a number is written in decimal, left-justified (a 16-bit value needs at most five
// characters). Either way the field is the value padded with blanks.
constexpr std::size_t Feldbreite = 10;
constexpr std::size_t Schalterbreite = 5;

std::string Zeile(std::string wert, std::string_view kommentar) {
    wert.resize(Feldbreite, ' ');
    wert += "; ";
    wert += kommentar;
    wert += "\r\n";
    return wert;
}

// Blanks and control characters, compared unsigned so that bytes from 0x80 on stay.
bool IstLeerOderSteuerzeichen(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

// The value of a hexadecimal or decimal digit, or -1 when `c` is none in this base.
int Ziffernwert(char c, unsigned basis) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (basis == 16 && c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (basis == 16 && c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Reads a whole number; arithmetic wraps modulo 2^32, which keeps the low 16 bits exact
// for texts of any length.
std::uint32_t KonfGanzzahl(std::string_view text) {
    std::size_t i = 0;
    bool negativ = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negativ = text[i] == '-';
        ++i;
    }
    unsigned basis = 10;
    if (i < text.size() && text[i] == '$') {
        basis = 16;
        ++i;
    } else if (text.size() - i >= 2 && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        basis = 16;
        i += 2;
    }
    const std::size_t ziffernAnfang = i;
    std::uint32_t wert = 0;
    for (; i < text.size(); ++i) {
        const int ziffer = Ziffernwert(text[i], basis);
        if (ziffer < 0) {
            break;
        }
        wert = wert * basis + static_cast<std::uint32_t>(ziffer);
    }
    const bool ganzeZahl = i == text.size() && i > ziffernAnfang;
    // A text that is not a number yields its leading digits without the sign.
    return ganzeZahl && negativ ? 0u - wert : wert;
}

} // namespace

std::string KonfText(const TKonfiguration& konf) {
    std::string text;
    for (int i = 0; i < Schalterzahl; ++i) {
        text += Zeile(konf.*Schalter[i] ? "1" : "0", Kommentare[i]);
    }
    for (int i = 0; i < KonfZeilenzahl - Schalterzahl; ++i) {
        text += Zeile(std::to_string(konf.*Zahlen[i]), Kommentare[Schalterzahl + i]);
    }
    return text;
}

bool KonfSchalterLesen(std::string_view zeile) {
    std::string_view feld = zeile.substr(0, Schalterbreite);
    while (!feld.empty() && IstLeerOderSteuerzeichen(feld.front())) {
        feld.remove_prefix(1);
    }
    while (!feld.empty() && IstLeerOderSteuerzeichen(feld.back())) {
        feld.remove_suffix(1);
    }
    return feld == "1";
}

std::uint16_t KonfZahlLesen(std::string_view zeile) {
    const std::string ohneBlanks = LeerzeichenEntfernen(zeile.substr(0, KonfZeilenanfang));
    return static_cast<std::uint16_t>(KonfGanzzahl(ohneBlanks) & 0xFFFFu);
}

void KonfZeileUebernehmen(TKonfiguration& konf, int index, std::string_view zeile) {
    if (index >= 0 && index < Schalterzahl) {
        konf.*Schalter[index] = KonfSchalterLesen(zeile);
    } else if (index >= Schalterzahl && index < KonfZeilenzahl) {
        konf.*Zahlen[index - Schalterzahl] = KonfZahlLesen(zeile);
    }
}
