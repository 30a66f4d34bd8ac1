// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "app/Befehlszeile.h"

#include <array>
#include <charconv>
#include <string_view>

namespace {

// An option that takes a value: its name, the example a missing value is explained with, and
// where the value goes (false when it does not fit; the text then says why).
struct TWertOption {
    std::string_view Name;
    std::string_view Beispiel;
    bool (*Setzen)(TBefehlszeile&, const std::string&);
};

bool BaudSetzen(TBefehlszeile& b, const std::string& wert) {
    std::uint32_t zahl = 0;
    const char* ende = wert.data() + wert.size();
    const auto [rest, fehler] = std::from_chars(wert.data(), ende, zahl);
    if (fehler != std::errc() || rest != ende || zahl == 0) {
        b.Fehler = "--baud braucht eine positive ganze Zahl, nicht „" + wert + "“.";
        return false;
    }
    b.Baud = zahl;
    return true;
}

bool FlussSetzen(TBefehlszeile& b, const std::string& wert) {
    if (wert != "none" && wert != "rts" && wert != "xon") {
        b.Fehler = "--flow kennt none, rts und xon, nicht „" + wert + "“.";
        return false;
    }
    b.Fluss = wert;
    return true;
}

const std::array<TWertOption, 6> WertOptionen = {{
    {"--port", "das Gerät, zum Beispiel /dev/ttyUSB0",
     [](TBefehlszeile& b, const std::string& w) { return b.Port = w, true; }},
    {"--capture", "die Datei der Rohdatenaufzeichnung",
     [](TBefehlszeile& b, const std::string& w) { return b.Aufzeichnung = w, true; }},
    {"--replay", "die Rohdatenaufzeichnung",
     [](TBefehlszeile& b, const std::string& w) { return b.Abspielen = w, true; }},
    {"--data-file", "die Datendatei",
     [](TBefehlszeile& b, const std::string& w) { return b.Datendatei = w, true; }},
    {"--baud", "die Baudrate, zum Beispiel 4800", BaudSetzen},
    {"--flow", "die Flusssteuerung: none, rts oder xon", FlussSetzen},
}};

struct TSchalter {
    std::string_view Name;
    bool TBefehlszeile::*Feld;
};

const std::array<TSchalter, 5> Schalter = {{
    {"--help", &TBefehlszeile::Hilfe},
    {"-h", &TBefehlszeile::Hilfe},
    {"--headless", &TBefehlszeile::OhneFenster},
    {"--append", &TBefehlszeile::Anhaengen},
    {"--quiet", &TBefehlszeile::Leise},
}};

// Reads the argument at `i` (and its value); false with Fehler set when it is wrong.
bool ArgumentLesen(const std::vector<std::string>& argumente, std::size_t& i, TBefehlszeile& b) {
    const std::string& argument = argumente[i];
    for (const TSchalter& schalter : Schalter) {
        if (argument == schalter.Name) {
            b.*schalter.Feld = true;
            return true;
        }
    }
    for (const TWertOption& option : WertOptionen) {
        const std::string name(option.Name);
        std::string wert;
        if (argument == name) {
            if (i + 1 < argumente.size()) {
                wert = argumente[++i];
            }
        } else if (argument.rfind(name + "=", 0) == 0) {
            wert = argument.substr(name.size() + 1);
        } else {
            continue;
        }
        if (wert.empty()) {
            b.Fehler = "Nach " + argument + " fehlt " + std::string(option.Beispiel) + ".";
            return false;
        }
        return option.Setzen(b, wert);
    }
    b.Fehler = "Unbekanntes Argument: " + argument + " (Hilfe mit quorlits --help)";
    return false;
}

// Which options go together; the first rule broken, or empty.
std::string Zusammenpassen(const TBefehlszeile& b) {
    const bool nurOhneFenster = b.Leise || b.Baud || !b.Fluss.empty();
    if (b.OhneFenster && !b.Abspielen.empty()) {
        return "--headless und --replay schließen einander aus.";
    }
    if (b.OhneFenster && b.Port.empty()) {
        return "--headless braucht --port GERÄT.";
    }
    if (!b.Abspielen.empty() &&
        (!b.Port.empty() || !b.Aufzeichnung.empty() || b.Baud || !b.Fluss.empty() || b.Leise)) {
        return "--replay liest keine Schnittstelle: --port, --capture, --baud, --flow und "
               "--quiet gehören nicht dazu.";
    }
    if ((b.OhneFenster || !b.Abspielen.empty()) && b.Datendatei.empty()) {
        return std::string(b.OhneFenster ? "--headless" : "--replay") +
               " braucht --data-file DATEI.";
    }
    if (!b.OhneFenster && b.Abspielen.empty() && (!b.Datendatei.empty() || b.Anhaengen)) {
        return "--data-file und --append gelten nur mit --headless oder --replay.";
    }
    if (!b.OhneFenster && nurOhneFenster) {
        return "--quiet, --baud und --flow gelten nur mit --headless.";
    }
    return {};
}

} // namespace

TBefehlszeile BefehlszeileLesen(const std::vector<std::string>& argumente) {
    TBefehlszeile ergebnis;
    for (std::size_t i = 0; i < argumente.size(); ++i) {
        if (!ArgumentLesen(argumente, i, ergebnis)) {
            return ergebnis;
        }
    }
    if (!ergebnis.Hilfe) {
        ergebnis.Fehler = Zusammenpassen(ergebnis);
    }
    return ergebnis;
}

std::string HilfeText() {
    return "Aufruf: quorlits [--port GERÄT] [--capture DATEI]\n"
           "       quorlits --headless --port GERÄT --data-file DATEI [--append]\n"
           "                [--capture DATEI] [--baud N] [--flow none|rts|xon] [--quiet]\n"
           "       quorlits --replay AUFNAHME --data-file DATEI [--append]\n"
           "\n"
           "Liest die Messwerte eines Messgeräts der Reihe pH 325 über eine serielle\n"
           "Schnittstelle, zeigt sie an und speichert sie in Datendateien.\n"
           "\n"
           "  --port GERÄT      die serielle Schnittstelle, zum Beispiel /dev/ttyUSB0, ttyS0\n"
           "                    oder COM1 (= /dev/ttyS0); ohne Angabe COM1\n"
           "  --capture DATEI   jede Messung als Rohdatenaufzeichnung in DATEI festhalten\n"
           "  --headless        ohne Fenster: eine WTW-Messung, jeder Messwert sofort in die\n"
           "                    Datendatei und auf die Standardausgabe; Ende mit Strg+C\n"
           "                    oder SIGTERM\n"
           "  --data-file DATEI die Datendatei; eine vorhandene nur mit --append\n"
           "  --append          eine vorhandene Datendatei fortsetzen\n"
           "  --baud N          Baudrate (ohne Angabe 4800, wie das Messgerät)\n"
           "  --flow ART        Flusssteuerung: none, rts (Hardware, Vorgabe) oder xon\n"
           "  --quiet           keine Messwerte auf der Standardausgabe\n"
           "  --replay AUFNAHME eine Rohdatenaufzeichnung ohne Gerät in die Datendatei\n"
           "                    abspielen, wie die Messung sie geschrieben hat\n"
           "  --help            diese Hilfe zeigen\n";
}
