// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "tools/meter-sim/Optionen.h"

#include "framework/Aufruf.h"

#include <QCommandLineParser>

#include <charconv>
#include <cmath>
#include <map>

namespace {

bool ZahlLesen(const std::string& text, long kleinste, long& zahl) {
    const char* ende = text.data() + text.size();
    const auto [rest, fehler] = std::from_chars(text.data(), ende, zahl);
    return fehler == std::errc() && rest == ende && zahl >= kleinste;
}

bool TempoLesen(const std::string& text, double& tempo) {
    const char* ende = text.data() + text.size();
    const auto [rest, fehler] = std::from_chars(text.data(), ende, tempo);
    return fehler == std::errc() && rest == ende && std::isfinite(tempo) && tempo > 0.0;
}

std::optional<TForm> FormLesen(const std::string& text) {
    if (text == "plain") {
        return TForm::Zeile;
    }
    if (text == "framed") {
        return TForm::Rahmen;
    }
    if (text == "mixed") {
        return TForm::Gemischt;
    }
    return std::nullopt;
}

// "NACH_MS,WEG_MS" of --unplug.
bool TrennungLesen(const std::string& wert, TOptionen& optionen) {
    const std::size_t komma = wert.find(',');
    return komma != std::string::npos &&
           ZahlLesen(wert.substr(0, komma), 1, optionen.TrennenNachMs) &&
           ZahlLesen(wert.substr(komma + 1), 0, optionen.TrennenWegMs);
}

// Applies one option with its value; false when the value does not fit.
bool OptionSetzen(const std::string& name, const std::string& wert, TOptionen& optionen) {
    if (name == "--interval") {
        return ZahlLesen(wert, 1, optionen.IntervallMs);
    }
    if (name == "--count") {
        return ZahlLesen(wert, 1, optionen.Anzahl);
    }
    if (name == "--baud") {
        return ZahlLesen(wert, 0, optionen.Baud);
    }
    if (name == "--speed") {
        return TempoLesen(wert, optionen.Tempo);
    }
    if (name == "--link" || name == "--replay") {
        (name == "--link" ? optionen.Verknuepfung : optionen.Aufnahme) = wert;
        return !wert.empty();
    }
    if (name == "--unplug") {
        return TrennungLesen(wert, optionen);
    }
    if (name == "--mode") {
        const std::optional<TForm> form = FormLesen(wert);
        optionen.Form = form.value_or(optionen.Form);
        return form.has_value();
    }
    optionen.Arten = ArtenFuer(wert);
    return !optionen.Arten.empty();
}

constexpr const char* MitWert[] = {"interval", "mode",   "quantity", "count", "link",
                                   "baud",     "replay", "unplug",   "speed"};

} // namespace

std::optional<TOptionen> OptionenLesen(const std::vector<std::string>& argumente,
                                       std::string& fehler) {
    QCommandLineParser parser;
    const QCommandLineOption hilfe(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption zeigen(QStringLiteral("print-records"));
    parser.addOptions({hilfe, zeigen});
    for (const char* name : MitWert) {
        parser.addOption(QCommandLineOption(QString::fromLatin1(name), {}, QStringLiteral("WERT")));
    }
    const TAufrufFehler aufruf = AufrufLesen(parser, argumente);
    if (aufruf.Art != TAufrufFehler::TArt::Keiner) {
        fehler = aufruf.Art == TAufrufFehler::TArt::Unbekannt
                     ? "unbekannte Option: " + aufruf.Argument
                     : aufruf.Argument + " braucht einen Wert";
        return std::nullopt;
    }
    TOptionen optionen;
    optionen.Hilfe = parser.isSet(hilfe);
    optionen.DatensaetzeZeigen = parser.isSet(zeigen);
    // In the order given, so the first wrong value is the one named; a repeated option counts
    // with its last value.
    std::map<QString, qsizetype> gesehen;
    for (const QString& name : parser.optionNames()) {
        const QStringList werte = parser.values(name);
        if (werte.isEmpty()) {
            continue; // --help and --print-records take none
        }
        const std::string option = "--" + name.toStdString();
        const std::string wert = werte.at(gesehen[name]++).toStdString();
        if (!OptionSetzen(option, wert, optionen)) {
            fehler = "ungültiger Wert für " + option + ": " + wert;
            return std::nullopt;
        }
    }
    if (optionen.TrennenNachMs > 0 && optionen.Verknuepfung.empty()) {
        // The program finds the new device only through the link.
        fehler = "--unplug braucht --link";
        return std::nullopt;
    }
    return optionen;
}

std::string Hilfetext() {
    return "Aufruf: meter-sim [--interval MS] [--mode plain|framed|mixed]\n"
           "                 [--quantity pH|mV|Lf|O2|mixed] [--count N] [--baud N] [--link PFAD]\n"
           "                 [--replay DATEI] [--speed F] [--print-records]\n"
           "                 [--unplug NACH_MS,WEG_MS]\n"
           "\n"
           "Spielt ein Messgerät der Reihe pH 325 an einem Pseudo-Terminal. Die erste Zeile der\n"
           "Ausgabe ist der Gerätepfad (/dev/pts/N), den das Programm als Schnittstelle öffnet.\n"
           "\n"
           "  --interval MS  Abstand der Datensätze in Millisekunden (Vorgabe 1000)\n"
           "  --mode         plain: Ergebniszeilen, framed: Ausdrucke DC3 ... DC1,\n"
           "                 mixed: eine Runde Zeilen, dann eine Runde Ausdrucke (Vorgabe plain)\n"
           "  --quantity     pH, mV, Lf (mS/cm und µS/cm im Wechsel), O2 (mg/l und % im\n"
           "                 Wechsel) oder mixed: pH, mV, mS/cm, µS/cm, mg/l, % (Vorgabe pH)\n"
           "  --count N      endet nach N Datensätzen, sobald die Gegenseite die Schnittstelle\n"
           "                 geschlossen hat (höchstens 30 s danach; Vorgabe: läuft bis Strg+C)\n"
           "  --baud N       sendet im Takt dieser Baudrate, 10 Bit je Byte (Vorgabe 4800:\n"
           "                 etwa 2 ms je Byte); 0 sendet jeden Datensatz auf einmal\n"
           "  --link PFAD    legt eine symbolische Verknüpfung PFAD auf das Gerät an\n"
           "                 (wird beim Ende entfernt)\n"
           "  --replay DATEI spielt die rohen Bytes der Datei ab statt erzeugter Datensätze:\n"
           "                 ein Stück bis zu jedem Zeilenvorschub außerhalb eines Ausdrucks\n"
           "                 (ein Ausdruck DC3 ... DC1 bleibt ganz) je Intervall, danach von "
           "vorn.\n"
           "                 Ist DATEI eine Rohdatenaufzeichnung des Programms (erste Zeile\n"
           "                 QUORLITS-ROHDATEN ...), kommen die empfangenen Stücke einmal so,\n"
           "                 wie die Schnittstelle sie geliefert hat, jedes auf einmal und mit\n"
           "                 den aufgezeichneten Abständen, das erste ein Intervall nach dem\n"
           "                 Start; --baud gilt dann nicht, --count begrenzt die Zahl der Stücke\n"
           "  --speed F      teilt die aufgezeichneten Abstände einer Rohdatenaufzeichnung durch\n"
           "                 F (F > 0, Vorgabe 1; 10 spielt zehnmal so schnell)\n"
           "  --print-records\n"
           "                 schreibt jeden gesendeten Datensatz als eine Zeile auf die\n"
           "                 Standardausgabe, sobald sein letztes Byte gesendet ist, Felder durch\n"
           "                 Tabulatoren getrennt: Zeile oder Ausdruck, Wert, Einheit, Temperatur\n"
           "                 (°C), bei Ausdrucken dazu Datum und Uhrzeit des Geräts, bei\n"
           "                 Leitfähigkeit TREF und Koeffizient; bei --replay: Aufnahme und die\n"
           "                 Bytes lesbar (<CR>, <LF>, <DC1>, <DC3>, <xx>)\n"
           "  --unplug NACH_MS,WEG_MS\n"
           "                 zieht nach NACH_MS Millisekunden den Stecker: hält den nächsten\n"
           "                 Datensatz zurück, bis 1 s lang nichts gesendet wurde, schließt\n"
           "                 dann das Pseudo-Terminal (die Gegenseite sieht ein Auflegen) und\n"
           "                 entfernt die Verknüpfung, bleibt WEG_MS Millisekunden getrennt, "
           "öffnet\n"
           "                 ein neues Pseudo-Terminal und richtet die Verknüpfung darauf; der\n"
           "                 nächste Datensatz folgt ein Intervall danach. Wiederholt sich "
           "NACH_MS\n"
           "                 nach jedem Wiederverbinden. Auf die Standardausgabe kommen dabei die\n"
           "                 Zeilen GETRENNT und VERBUNDEN GERÄT (das neue /dev/pts/N).\n"
           "                 Braucht --link.\n"
           "\n"
           "Die Zeilen von pH, mV und Sauerstoff sind 18 Zeichen lang und enden mit °C (0xF8),\n"
           "Leitfähigkeitszeilen sind länger; µS/cm wird wie vom Gerät als 0xE6 gesendet. Jeder\n"
           "Datensatz endet mit CR LF. Ein Datensatz, der länger dauert als das Intervall,\n"
           "verschiebt den nächsten.\n"
           "\n"
           "Was das Programm an das Gerät sendet, erscheint auf der Fehlerausgabe.\n";
}
