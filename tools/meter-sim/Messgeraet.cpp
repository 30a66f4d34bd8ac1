// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "tools/meter-sim/Messgeraet.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <utility>

namespace {

constexpr const char* Zeilenende = "\r\n";

// What a conductivity printout adds after its result line.
constexpr const char* Bezugstemperatur = "25";
constexpr const char* Koeffizient = "0.475";

// A slow drift around `mitte`: a sine with a period of about 60 records.
double Drift(double mitte, double weite, std::size_t schritt, double phase) {
    return mitte + weite * std::sin(static_cast<double>(schritt) * 0.1 + phase);
}

// The temperature stays between 22 and 28 °C.
double Temperatur(std::size_t schritt) {
    return Drift(25.0, 3.0, schritt, 1.0);
}

std::string Formatiert(const char* muster, double wert) {
    std::array<char, 64> text{};
    const int laenge = std::snprintf(text.data(), text.size(), muster, wert);
    return std::string(text.data(), laenge > 0 ? static_cast<std::size_t>(laenge) : 0);
}

std::string Ohne(const std::string& text, char zeichen) {
    const std::size_t anfang = text.find_first_not_of(zeichen);
    return anfang == std::string::npos ? std::string() : text.substr(anfang);
}

std::string Datumzeit(std::time_t jetzt) {
    std::tm teile{};
    localtime_r(&jetzt, &teile);
    std::array<char, 32> text{};
    const std::size_t laenge = std::strftime(text.data(), text.size(), "%d.%m.%y %H:%M", &teile);
    return std::string(text.data(), laenge);
}

bool IstLeitfaehigkeit(TArt art) {
    return art == TArt::LfMilli || art == TArt::LfMikro;
}

// The result line of each kind, in the order of TArt: the leading blanks, the value's format,
// the unit and the value's drift. Leading blanks, value, a blank and the unit fill at least
// 10 columns, then a blank and the temperature follow; so the lines of pH, mV and oxygen are
// 18 characters ending in "°C", and the conductivity lines are longer.
struct TZeilenart {
    const char* Vorne;
    const char* Muster;
    const char* Einheit;
    double Mitte;
    double Weite;
};

constexpr std::size_t EinheitEnde = 10;

constexpr std::array<TZeilenart, 6> Zeilenarten = {{
    {"", "%5.2f", "pH", 7.0, 0.5},
    {"", "%6.1f", "mV", 200.0, 30.0},
    {" ", "%5.3f", "mS/cm", 1.413, 0.05},
    {" ", "%4.0f", "\xE6S/cm", 1413.0, 50.0},
    {"", "%5.2f", "mg/l", 8.25, 0.3},
    {"", "%5.1f", "%", 95.0, 3.0},
}};

// The unit for the log: the meter's "µ" (0xE6) as UTF-8.
std::string Lesbar850(const std::string& einheit) {
    std::string text;
    for (const char zeichen : einheit) {
        text += zeichen == '\xE6' ? std::string("\xC2\xB5") : std::string(1, zeichen);
    }
    return text;
}

} // namespace

TMessgeraet::TMessgeraet(std::vector<TArt> arten, TForm form)
    : Arten(std::move(arten))
    , Form(form) {}

TDatensatz TMessgeraet::NaechsterDatensatz(std::time_t jetzt) {
    const std::size_t schritt = Nummer++;
    const TArt art = Arten[schritt % Arten.size()];
    const bool gerahmt =
        Form == TForm::Rahmen || (Form == TForm::Gemischt && (schritt / Arten.size()) % 2 == 1);
    TDatensatz datensatz;
    datensatz.Bytes =
        gerahmt ? Protokoll(art, schritt, jetzt) : Messzeile(art, schritt) + Zeilenende;
    datensatz.Beschreibung = Beschreibung(art, schritt, gerahmt, jetzt);
    return datensatz;
}

std::vector<TArt> ArtenFuer(const std::string& name) {
    if (name == "pH") {
        return {TArt::PH};
    }
    if (name == "mV") {
        return {TArt::MV};
    }
    if (name == "Lf") {
        return {TArt::LfMilli, TArt::LfMikro};
    }
    if (name == "O2") {
        return {TArt::O2MgL, TArt::O2Prozent};
    }
    if (name == "mixed") {
        return {TArt::PH, TArt::MV, TArt::LfMilli, TArt::LfMikro, TArt::O2MgL, TArt::O2Prozent};
    }
    return {};
}

TAnzeige Ablesung(TArt art, std::size_t schritt) {
    const TZeilenart& zeile = Zeilenarten[static_cast<std::size_t>(art)];
    return {Formatiert(zeile.Muster, Drift(zeile.Mitte, zeile.Weite, schritt, 0.0)), zeile.Einheit,
            Formatiert("%4.1f", Temperatur(schritt))};
}

std::string Messzeile(TArt art, std::size_t schritt) {
    const TAnzeige anzeige = Ablesung(art, schritt);
    std::string text =
        Zeilenarten[static_cast<std::size_t>(art)].Vorne + anzeige.Wert + " " + anzeige.Einheit;
    if (text.size() < EinheitEnde) {
        text.append(EinheitEnde - text.size(), ' ');
    }
    return text + " " + anzeige.Temp + " \xF8" + "C";
}

std::string Protokoll(TArt art, std::size_t schritt, std::time_t jetzt) {
    std::string text = "\x13" + Datumzeit(jetzt) + Zeilenende;
    text += " " + Messzeile(art, schritt) + Zeilenende;
    if (IstLeitfaehigkeit(art)) {
        text += std::string("TREF ") + Bezugstemperatur + " C = " + Koeffizient + Zeilenende;
    }
    text += std::string("\x11") + Zeilenende;
    return text;
}

std::string Beschreibung(TArt art, std::size_t schritt, bool gerahmt, std::time_t jetzt) {
    const TAnzeige anzeige = Ablesung(art, schritt);
    std::string text = std::string(gerahmt ? "Ausdruck" : "Zeile") + "\t" +
                       Ohne(anzeige.Wert, ' ') + "\t" + Lesbar850(anzeige.Einheit) + "\t" +
                       Ohne(anzeige.Temp, ' ');
    if (gerahmt) {
        const std::string datumzeit = Datumzeit(jetzt);
        const std::size_t trenner = datumzeit.find(' ');
        text += "\t" + datumzeit.substr(0, trenner) + "\t" + datumzeit.substr(trenner + 1);
        if (IstLeitfaehigkeit(art)) {
            text += std::string("\t") + Bezugstemperatur + "\t" + Koeffizient;
        }
    }
    return text;
}
