// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "app/Befehlszeile.h"

#include "serial/ComTexts.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <set>
#include <string_view>

namespace {

// An option that takes a value: its name, the example a missing value is explained with, and
// where the value goes (false when it does not fit; the text then says why).
struct TWertOption {
    std::string_view Name;
    std::string_view Beispiel;
    bool (*Setzen)(TBefehlszeile&, const std::string&);
};

// The rates the serial setup lists (its "Custom" entry aside).
std::vector<std::uint32_t> BaudRaten() {
    std::vector<std::uint32_t> raten;
    for (int rate = br110; rate < BaudRateCount; ++rate) {
        raten.push_back(BaudRateToNumber(static_cast<TBaudRate>(rate)));
    }
    return raten;
}

bool BaudSetzen(TBefehlszeile& b, const std::string& wert) {
    std::uint32_t zahl = 0;
    const char* ende = wert.data() + wert.size();
    const auto [rest, fehler] = std::from_chars(wert.data(), ende, zahl);
    if (fehler != std::errc() || rest != ende || zahl == 0) {
        b.Fehler = "--baud braucht eine positive ganze Zahl, nicht „" + wert + "“.";
        return false;
    }
    const std::vector<std::uint32_t> raten = BaudRaten();
    if (std::ranges::find(raten, zahl) == raten.end()) {
        std::string liste;
        for (const std::uint32_t rate : raten) {
            liste += (liste.empty() ? "" : ", ") + std::to_string(rate);
        }
        b.Fehler = "--baud kennt die Raten " + liste + ", nicht " + wert + ".";
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

bool ServerSetzen(TBefehlszeile& b, const std::string& wert) {
    if (!wert.starts_with("mqtt://") && !wert.starts_with("mqtts://")) {
        b.Fehler = "--publish braucht mqtt://Rechner:1883 oder mqtts://Rechner:8883, nicht „" +
                   wert + "“.";
        return false;
    }
    b.Veroeffentlichen = wert;
    return true;
}

const std::array<TWertOption, 14> WertOptionen = {{
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
    {"--verify", "die zu prüfende Datendatei",
     [](TBefehlszeile& b, const std::string& w) { return b.Pruefen = w, true; }},
    {"--publish", "der MQTT-Server, zum Beispiel mqtt://broker:1883", ServerSetzen},
    {"--bench", "der Name des Arbeitsplatzes",
     [](TBefehlszeile& b, const std::string& w) { return b.Arbeitsplatz = w, true; }},
    {"--publish-password-file", "die Datei mit dem Passwort des MQTT-Servers",
     [](TBefehlszeile& b, const std::string& w) { return b.VeroeffentlichenPasswort = w, true; }},
    {"--publish-ca", "die Zertifizierungsstelle des MQTT-Servers",
     [](TBefehlszeile& b, const std::string& w) { return b.VeroeffentlichenCa = w, true; }},
    {"--sample", "die Probe, zum Beispiel P-17",
     [](TBefehlszeile& b, const std::string& w) { return b.Probe = w, true; }},
    {"--operator", "der Name des Bedieners",
     [](TBefehlszeile& b, const std::string& w) { return b.Bediener = w, true; }},
    {"--electrode", "die Elektrode, zum Beispiel ihre Seriennummer",
     [](TBefehlszeile& b, const std::string& w) { return b.Elektrode = w, true; }},
}};

struct TSchalter {
    std::string_view Name;
    bool TBefehlszeile::*Feld;
};

const std::array<TSchalter, 6> Schalter = {{
    {"--help", &TBefehlszeile::Hilfe},
    {"-h", &TBefehlszeile::Hilfe},
    {"--headless", &TBefehlszeile::OhneFenster},
    {"--append", &TBefehlszeile::Anhaengen},
    {"--quiet", &TBefehlszeile::Leise},
    {"--wait", &TBefehlszeile::Warten},
}};

// The arguments read so far, to refuse an option given twice ("-h" is "--help").
class TGesehen {
public:
    // False with Fehler set when `name` came before.
    bool Neu(std::string_view name, TBefehlszeile& b) {
        const std::string option(name == "-h" ? "--help" : name);
        if (!gesehen_.insert(option).second) {
            b.Fehler = option + " ist mehrfach angegeben; jede Option gilt nur einmal.";
            return false;
        }
        return true;
    }

private:
    std::set<std::string> gesehen_;
};

// The value of `option` at argument `i`: after "=" or as the next argument (then `i` moves on
// to it); nullopt when `argument` is not this option.
std::optional<std::string> WertVon(const TWertOption& option,
                                   const std::vector<std::string>& argumente, std::size_t& i) {
    const std::string& argument = argumente[i];
    if (argument == option.Name) {
        return i + 1 < argumente.size() ? argumente[++i] : std::string();
    }
    if (argument.starts_with(option.Name) && argument.size() > option.Name.size() &&
        argument[option.Name.size()] == '=') {
        return argument.substr(option.Name.size() + 1);
    }
    return std::nullopt;
}

// Reads the argument at `i` (and its value); false with Fehler set when it is wrong.
bool ArgumentLesen(const std::vector<std::string>& argumente, std::size_t& i, TBefehlszeile& b,
                   TGesehen& gesehen) {
    const std::string argument = argumente[i];
    for (const TSchalter& schalter : Schalter) {
        if (argument == schalter.Name) {
            b.*schalter.Feld = true;
            return gesehen.Neu(schalter.Name, b);
        }
    }
    for (const TWertOption& option : WertOptionen) {
        const std::optional<std::string> wert = WertVon(option, argumente, i);
        if (!wert) {
            continue;
        }
        if (wert->empty() || wert->starts_with("--")) {
            b.Fehler = "Nach " + argument + " fehlt " + std::string(option.Beispiel) +
                       (wert->empty() ? "." : "; „" + *wert + "“ ist eine Option, kein Wert.");
            return false;
        }
        return gesehen.Neu(option.Name, b) && option.Setzen(b, *wert);
    }
    b.Fehler = "Unbekanntes Argument: " + argument + " (Hilfe mit quorlits --help)";
    return false;
}

// Which options go together; the first rule broken, or empty.
std::string Zusammenpassen(const TBefehlszeile& b) {
    const bool nurOhneFenster = b.Leise || b.Baud || !b.Fluss.empty() || b.Warten;
    const bool angaben = !b.Probe.empty() || !b.Bediener.empty() || !b.Elektrode.empty();
    if (!b.Pruefen.empty() &&
        (b.OhneFenster || !b.Abspielen.empty() || !b.Port.empty() || !b.Aufzeichnung.empty() ||
         !b.Datendatei.empty() || b.Anhaengen || nurOhneFenster || angaben)) {
        return "--verify prüft nur eine Datendatei und steht allein.";
    }
    if (b.OhneFenster && !b.Abspielen.empty()) {
        return "--headless und --replay schließen einander aus.";
    }
    if (b.OhneFenster && b.Port.empty()) {
        return "--headless braucht --port GERÄT.";
    }
    if (!b.Abspielen.empty() && (!b.Port.empty() || !b.Aufzeichnung.empty() || b.Baud ||
                                 !b.Fluss.empty() || b.Leise || b.Warten)) {
        return "--replay liest keine Schnittstelle: --port, --capture, --baud, --flow, --wait "
               "und --quiet gehören nicht dazu.";
    }
    if ((b.OhneFenster || !b.Abspielen.empty()) && b.Datendatei.empty()) {
        return std::string(b.OhneFenster ? "--headless" : "--replay") +
               " braucht --data-file DATEI.";
    }
    if (!b.OhneFenster && b.Abspielen.empty() && (!b.Datendatei.empty() || b.Anhaengen)) {
        return "--data-file und --append gelten nur mit --headless oder --replay.";
    }
    if (!b.OhneFenster && nurOhneFenster) {
        return "--quiet, --baud, --flow und --wait gelten nur mit --headless.";
    }
    if (!b.OhneFenster && angaben) {
        return "--sample, --operator und --electrode gelten nur mit --headless.";
    }
    if (!b.OhneFenster && (!b.Veroeffentlichen.empty() || !b.Arbeitsplatz.empty() ||
                           !b.VeroeffentlichenPasswort.empty() || !b.VeroeffentlichenCa.empty())) {
        return "--publish, --bench, --publish-password-file und --publish-ca gelten nur mit "
               "--headless.";
    }
    return {};
}

} // namespace

TBefehlszeile BefehlszeileLesen(const std::vector<std::string>& argumente) {
    TBefehlszeile ergebnis;
    TGesehen gesehen;
    for (std::size_t i = 0; i < argumente.size(); ++i) {
        if (!ArgumentLesen(argumente, i, ergebnis, gesehen)) {
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
           "       quorlits --headless --port GERÄT --data-file DATEI [--append] [--wait]\n"
           "                [--capture DATEI] [--baud N] [--flow none|rts|xon] [--quiet]\n"
           "                [--publish URL [--bench NAME] [--publish-password-file DATEI]\n"
           "                [--publish-ca DATEI]] [--sample TEXT] [--operator TEXT]\n"
           "                [--electrode TEXT]\n"
           "       quorlits --replay AUFNAHME --data-file DATEI [--append]\n"
           "       quorlits --verify DATEI\n"
           "\n"
           "Liest die Messwerte eines Messgeräts der Reihe pH 325 über eine serielle\n"
           "Schnittstelle, zeigt sie an und speichert sie in Datendateien.\n"
           "\n"
           "  --port GERÄT      die serielle Schnittstelle, zum Beispiel /dev/ttyUSB0, ttyS0\n"
           "                    oder COM1 (= /dev/ttyS0); ohne Angabe COM1\n"
           "  --capture DATEI   jede Messung als Rohdatenaufzeichnung in DATEI festhalten\n"
           "  --headless        ohne Fenster: eine WTW-Messung, jeder Messwert sofort in die\n"
           "                    Datendatei und auf die Standardausgabe; Ende mit Strg+C,\n"
           "                    SIGTERM oder SIGHUP\n"
           "  --data-file DATEI die Datendatei; eine vorhandene nur mit --append\n"
           "  --append          eine vorhandene Datendatei fortsetzen\n"
           "  --wait            ein beim Start fehlendes Gerät abwarten, statt mit 1 zu enden\n"
           "  --baud N          Baudrate (ohne Angabe 4800, wie das Messgerät): 110, 300,\n"
           "                    600, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 56000,\n"
           "                    57600, 115200, 128000 oder 256000\n"
           "  --flow ART        Flusssteuerung: none, rts (Hardware, Vorgabe) oder xon\n"
           "  --quiet           keine Messwerte auf der Standardausgabe\n"
           "  --publish URL     jeden Messwert auch an den MQTT-Server URL senden\n"
           "                    (mqtt://Rechner:1883 oder mqtts://Rechner:8883); sonst wie\n"
           "                    [Veroeffentlichen] in quorlits.conf\n"
           "  --bench NAME      der Name des Arbeitsplatzes (ohne Angabe der Rechnername)\n"
           "  --publish-password-file DATEI\n"
           "                    das Passwort des MQTT-Servers (nur für den Besitzer lesbar)\n"
           "  --publish-ca DATEI\n"
           "                    die Zertifizierungsstelle eines TLS-Servers\n"
           "  --sample TEXT     die Probe der Messwerte (ändern im Lauf: eine Zeile\n"
           "                    „Probe: TEXT“ auf der Standardeingabe)\n"
           "  --operator TEXT   der Bediener (ohne Angabe der Anmeldename; im Lauf:\n"
           "                    „Bediener: TEXT“)\n"
           "  --electrode TEXT  die Elektrode (im Lauf: „Elektrode: TEXT“)\n"
           "  --replay AUFNAHME eine Rohdatenaufzeichnung ohne Gerät in die Datendatei\n"
           "                    abspielen, wie die Messung sie geschrieben hat\n"
           "  --verify DATEI    prüfen, ob die Datendatei noch so ist, wie sie geschrieben\n"
           "                    wurde (mit ihrem Protokoll DATEI.protokoll)\n"
           "  --help            diese Hilfe zeigen\n"
           "\n"
           "Rückgabewerte:\n"
           "  0  alles in Ordnung\n"
           "  1  die Messung oder das Abspielen konnte nicht beginnen oder endete mit einem\n"
           "     Fehler\n"
           "  2  falscher Aufruf, oder für das Fenster fehlt eine Anzeige\n"
           "  3  das Abspielen hat beschädigte Datensätze übersprungen\n"
           "  4  --verify: die Datendatei wurde nachträglich verändert\n";
}
