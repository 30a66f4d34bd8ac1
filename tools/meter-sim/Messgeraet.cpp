// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "tools/meter-sim/Messgeraet.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <utility>

namespace {

constexpr const char* Zeilenende = "\r\n";

// A slow drift around `mitte`: a sine with a period of about 60 records.
double Drift(double mitte, double weite, std::size_t schritt, double phase) {
    return mitte + weite * std::sin(static_cast<double>(schritt) * 0.1 + phase);
}

// The temperature stays between 22 and 28 °C.
double Temperatur(std::size_t schritt) {
    return Drift(25.0, 3.0, schritt, 1.0);
}

std::string Formatiert(const char* muster, double wert, double temp) {
    std::array<char, 64> text{};
    const int laenge = std::snprintf(text.data(), text.size(), muster, wert, temp);
    return std::string(text.data(), laenge > 0 ? static_cast<std::size_t>(laenge) : 0);
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

} // namespace

TMessgeraet::TMessgeraet(std::vector<TArt> arten, TForm form)
    : Arten(std::move(arten))
    , Form(form) {}

std::string TMessgeraet::NaechsterDatensatz(std::time_t jetzt) {
    const std::size_t schritt = Nummer++;
    const TArt art = Arten[schritt % Arten.size()];
    const bool gerahmt =
        Form == TForm::Rahmen || (Form == TForm::Gemischt && (schritt / Arten.size()) % 2 == 1);
    if (gerahmt) {
        return Protokoll(art, schritt, jetzt);
    }
    return Messzeile(art, schritt) + Zeilenende;
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

namespace {

// The result line of each kind, in the order of TArt: its format (value, then temperature) and
// the value's drift. Each value field plus its unit fills 11 columns, so the 18-character lines
// end in "°C"; the conductivity lines are longer and end with their line feed.
struct TZeilenart {
    const char* Muster;
    double Mitte;
    double Weite;
};

constexpr std::array<TZeilenart, 6> Zeilenarten = {{
    {"%5.2f pH   %4.1f \xF8"
     "C",
     7.0, 0.5},
    {"%6.1f mV  %4.1f \xF8"
     "C",
     200.0, 30.0},
    {" %5.3f mS/cm %4.1f \xF8"
     "C",
     1.413, 0.05},
    {" %4.0f \xE6S/cm %4.1f \xF8"
     "C",
     1413.0, 50.0},
    {"%5.2f mg/l %4.1f \xF8"
     "C",
     8.25, 0.3},
    {"%5.1f %%    %4.1f \xF8"
     "C",
     95.0, 3.0},
}};

} // namespace

std::string Messzeile(TArt art, std::size_t schritt) {
    const TZeilenart& zeile = Zeilenarten[static_cast<std::size_t>(art)];
    return Formatiert(zeile.Muster, Drift(zeile.Mitte, zeile.Weite, schritt, 0.0),
                      Temperatur(schritt));
}

std::string Protokoll(TArt art, std::size_t schritt, std::time_t jetzt) {
    std::string text = "\x13" + Datumzeit(jetzt) + Zeilenende;
    text += " " + Messzeile(art, schritt) + Zeilenende;
    if (IstLeitfaehigkeit(art)) {
        text += std::string("TREF 25 C = 0.475") + Zeilenende;
    }
    text += std::string("\x11") + Zeilenende;
    return text;
}
