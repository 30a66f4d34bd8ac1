// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "collector/SammlerBefehlszeile.h"

#include "framework/Meldung.h"

#include <algorithm>
#include <map>

TSammlerBefehl SammlerBefehlLesen(const std::vector<std::string>& argumente) {
    TSammlerBefehl befehl;
    std::map<std::string, std::string> werte;
    for (std::size_t i = 0; i < argumente.size(); ++i) {
        const std::string& name = argumente[i];
        if (name == "--help" || name == "-h") {
            befehl.Hilfe = true;
            return befehl;
        }
        static const char* const mitWert[] = {"--broker", "--user",     "--password-file",
                                              "--ca",     "--database", "--client-id",
                                              "--share"};
        if (std::find(std::begin(mitWert), std::end(mitWert), name) == std::end(mitWert)) {
            throw EMeldung("Unbekanntes Argument: " + name + " (--help zeigt die Aufrufe)");
        }
        if (i + 1 >= argumente.size()) {
            throw EMeldung(name + " braucht einen Wert.");
        }
        werte[name] = argumente[++i];
    }
    for (const char* pflicht : {"--broker", "--database"}) {
        if (werte[pflicht].empty()) {
            throw EMeldung(std::string(pflicht) + " fehlt (--help zeigt die Aufrufe).");
        }
    }
    TSammlerOptionen& o = befehl.Optionen;
    o.Zugang.Adresse = BrokerAdresseLesen(werte["--broker"]);
    o.Zugang.Benutzer = werte["--user"];
    if (!werte["--password-file"].empty()) {
        o.Zugang.Passwort = PasswortLesen(PasswortPfad(werte["--password-file"]));
    }
    o.Zugang.CaDatei = werte["--ca"];
    o.Zugang.ClientId = werte["--client-id"].empty() ? "quorlits-sammler" : werte["--client-id"];
    o.Zugang.SitzungBehalten = true;
    o.Datenbank = werte["--database"];
    o.Gruppe = werte["--share"];
    return befehl;
}

std::string SammlerHilfe() {
    return "Aufruf: quorlits-sammler --broker URL --database VERBINDUNG [Optionen]\n"
           "Nimmt die Messwerte und Ereignisse aller Arbeitsplätze vom MQTT-Server und schreibt "
           "sie in PostgreSQL.\n\n"
           "  --broker URL            mqtt://Rechner:1883 oder mqtts://Rechner:8883\n"
           "  --user NAME             Benutzer am MQTT-Server\n"
           "  --password-file DATEI   Datei mit dem Passwort (nur für den Besitzer lesbar)\n"
           "  --ca DATEI              Zertifizierungsstelle des TLS-Servers\n"
           "  --database VERBINDUNG   libpq-Verbindung, z. B. \"host=/run/postgresql "
           "dbname=quorlits\"\n"
           "  --client-id ID          feste Client-Kennung (Vorgabe quorlits-sammler); mehrere "
           "Sammler brauchen verschiedene\n"
           "  --share GRUPPE          gemeinsames Abonnement ($share/GRUPPE/...) mehrerer "
           "Sammler\n";
}
