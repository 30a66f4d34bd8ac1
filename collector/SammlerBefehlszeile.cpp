// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "collector/SammlerBefehlszeile.h"

#include "framework/Aufruf.h"
#include "framework/Meldung.h"

#include <QCommandLineParser>

namespace {

constexpr const char* MitWert[] = {"broker",   "user",      "password-file", "ca",
                                   "database", "client-id", "share"};

} // namespace

TSammlerBefehl SammlerBefehlLesen(const std::vector<std::string>& argumente) {
    QCommandLineParser parser;
    const QCommandLineOption hilfe(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    parser.addOption(hilfe);
    for (const char* name : MitWert) {
        parser.addOption(QCommandLineOption(QString::fromLatin1(name), {}, QStringLiteral("WERT")));
    }
    const TAufrufFehler fehler = AufrufLesen(parser, argumente);
    if (fehler.Art == TAufrufFehler::TArt::Unbekannt) {
        throw EMeldung("Unbekanntes Argument: " + fehler.Argument + " (--help zeigt die Aufrufe)");
    }
    if (fehler.Art == TAufrufFehler::TArt::OhneWert) {
        throw EMeldung(fehler.Argument + " braucht einen Wert.");
    }
    TSammlerBefehl befehl;
    if (parser.isSet(hilfe)) {
        befehl.Hilfe = true;
        return befehl;
    }
    const auto wert = [&parser](const char* name) {
        return parser.value(QString::fromLatin1(name)).toStdString();
    };
    for (const char* pflicht : {"broker", "database"}) {
        if (wert(pflicht).empty()) {
            throw EMeldung("--" + std::string(pflicht) + " fehlt (--help zeigt die Aufrufe).");
        }
    }
    TSammlerOptionen& o = befehl.Optionen;
    o.Zugang.Adresse = BrokerAdresseLesen(wert("broker"));
    o.Zugang.Benutzer = wert("user");
    if (!wert("password-file").empty()) {
        o.Zugang.Passwort = PasswortLesen(PasswortPfad(wert("password-file")));
    }
    o.Zugang.CaDatei = wert("ca");
    o.Zugang.ClientId = wert("client-id").empty() ? "quorlits-sammler" : wert("client-id");
    o.Zugang.SitzungBehalten = true;
    o.Datenbank = wert("database");
    o.Gruppe = wert("share");
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
           "Sammler\n\n"
           "Aufruf: quorlits-sammler --verify DATEI --database VERBINDUNG [--bench NAME]\n"
           "Vergleicht DATEI und DATEI.protokoll mit den Ketten der gespeicherten Messwerte.\n";
}
