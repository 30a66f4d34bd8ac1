// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "shell/Befehlszeile.h"

#include <string_view>

namespace {

constexpr std::string_view PortSchalter = "--port";

} // namespace

TBefehlszeile BefehlszeileLesen(const std::vector<std::string>& argumente) {
    TBefehlszeile ergebnis;
    for (std::size_t i = 0; i < argumente.size(); ++i) {
        const std::string_view argument = argumente[i];
        if (argument == "--help" || argument == "-h") {
            ergebnis.Hilfe = true;
        } else if (argument == PortSchalter) {
            if (i + 1 >= argumente.size() || argumente[i + 1].empty()) {
                ergebnis.Fehler = "Nach --port fehlt das Gerät, zum Beispiel /dev/ttyUSB0.";
                return ergebnis;
            }
            ergebnis.Port = argumente[++i];
        } else if (argument.substr(0, PortSchalter.size() + 1) == "--port=") {
            ergebnis.Port = argument.substr(PortSchalter.size() + 1);
            if (ergebnis.Port.empty()) {
                ergebnis.Fehler = "Nach --port= fehlt das Gerät, zum Beispiel /dev/ttyUSB0.";
                return ergebnis;
            }
        } else {
            ergebnis.Fehler =
                "Unbekanntes Argument: " + std::string(argument) + " (Hilfe mit quorlits --help)";
            return ergebnis;
        }
    }
    return ergebnis;
}

std::string HilfeText() {
    return "Aufruf: quorlits [--port GERÄT]\n"
           "\n"
           "Liest die Messwerte eines Messgeräts der Reihe pH 325 über eine serielle\n"
           "Schnittstelle, zeigt sie an und speichert sie in Datendateien.\n"
           "\n"
           "  --port GERÄT  die serielle Schnittstelle, zum Beispiel /dev/ttyUSB0, ttyS0\n"
           "                oder COM1 (= /dev/ttyS0); ohne Angabe COM1\n"
           "  --help        diese Hilfe zeigen\n";
}
