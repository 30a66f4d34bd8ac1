// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "collector/SammlerPruefen.h"

#include "audit/Kettenlauf.h"
#include "audit/Protokollzeile.h"
#include "audit/Pruefen.h"
#include "framework/Aufruf.h"
#include "framework/Meldung.h"

#include <QCommandLineParser>

#include <libpq-fe.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>

namespace {

// Only readings that name their line and carry a chain head can be compared.
constexpr const char* KettenDerDatei = R"sql(
SELECT line, chain FROM readings
WHERE data_file = $1 AND ($2 = '' OR bench = $2) AND line IS NOT NULL AND chain IS NOT NULL
ORDER BY line
)sql";

struct TPruefVerbindungZu {
    void operator()(PGconn* pg) const { PQfinish(pg); }
};
struct TPruefErgebnisFrei {
    void operator()(PGresult* ergebnis) const { PQclear(ergebnis); }
};

// PostgreSQL's text on one line.
std::runtime_error VergleichsFehler(const std::string& was, const PGconn* pg) {
    std::string text = was + ": " + (pg != nullptr ? PQerrorMessage(pg) : "kein Speicher");
    std::replace(text.begin(), text.end(), '\n', ' ');
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return std::runtime_error(text);
}

std::int64_t ZeilenNummer(const char* text) {
    const std::string_view zahl(text);
    std::int64_t wert = 0;
    const auto [ende, fehler] = std::from_chars(zahl.data(), zahl.data() + zahl.size(), wert);
    if (fehler != std::errc() || ende != zahl.data() + zahl.size()) {
        throw std::runtime_error("Die Datenbank liefert keine Zeilennummer: " + std::string(zahl));
    }
    return wert;
}

} // namespace

TDatenbankVergleich MitDatenbankVergleichen(std::string_view daten, std::string_view protokoll,
                                            const std::vector<TGespeicherteKette>& gespeichert) {
    const TKettenlauf lauf = KetteAblaufen(daten, protokoll, true);
    std::map<TKette::TWert, std::size_t> vorZeile;
    for (const TKettenwert& wert : lauf.Werte) {
        vorZeile.emplace(wert.Wert, wert.VorZeile);
    }
    TDatenbankVergleich vergleich;
    vergleich.Datenzeilen = lauf.Pruefung.Datenzeilen;
    std::size_t bestaetigt = 1; // the lines before this one are as the readings saw them
    for (const TGespeicherteKette& messwert : gespeichert) {
        if (messwert.Zeile < 1) {
            continue;
        }
        const auto zeile = static_cast<std::size_t>(messwert.Zeile);
        if (zeile > vergleich.Datenzeilen) {
            vergleich.JenseitsEnde.push_back(messwert.Zeile);
            continue;
        }
        ++vergleich.Verglichen;
        const auto wert = TKette::AusHex(messwert.Kette);
        const auto gefunden = wert ? vorZeile.find(*wert) : vorZeile.end();
        if (gefunden != vorZeile.end() && gefunden->second <= zeile) {
            bestaetigt = std::max(bestaetigt, gefunden->second);
        } else if (vergleich.ErsterAbweichender == 0) {
            vergleich.ErsterAbweichender = zeile;
            vergleich.GeaendertAb = std::min(bestaetigt, zeile);
        }
    }
    return vergleich;
}

int VergleichMelden(const TDatenbankVergleich& v, const std::string& datei, std::FILE* ausgabe) {
    if (v.GeaendertAb != 0) {
        std::fprintf(ausgabe,
                     "%s: geändert ab Zeile %zu: die Kette des Messwerts in Zeile %zu passt nicht "
                     "zu der, die die Datenbank kennt\n",
                     datei.c_str(), v.GeaendertAb, v.ErsterAbweichender);
    }
    if (!v.JenseitsEnde.empty()) {
        std::fprintf(
            ausgabe,
            "%s: es fehlen Zeilen am Ende: die Datenbank kennt %zu Messwerte in %s, die "
            "Datei hat %zu Zeilen\n",
            datei.c_str(), v.JenseitsEnde.size(),
            ZeilenBereich(v.Datenzeilen + 1, static_cast<std::size_t>(v.JenseitsEnde.back()))
                .c_str(),
            v.Datenzeilen);
    }
    if (v.GeaendertAb != 0 || !v.JenseitsEnde.empty()) {
        return 4;
    }
    std::fprintf(ausgabe, "%s: stimmt mit der Datenbank überein: %zu Zeilen\n", datei.c_str(),
                 v.Verglichen);
    return 0;
}

std::vector<TGespeicherteKette> GespeicherteKetten(const std::string& verbindung,
                                                   const std::string& datei,
                                                   const std::string& bench) {
    // A default wait for the server that the connection string may set otherwise.
    const char* namen[] = {"connect_timeout", "dbname", nullptr};
    const char* werte[] = {"10", verbindung.c_str(), nullptr};
    const std::unique_ptr<PGconn, TPruefVerbindungZu> pg(PQconnectdbParams(namen, werte, 1));
    if (!pg || PQstatus(pg.get()) != CONNECTION_OK) {
        throw VergleichsFehler("Die Datenbank ist nicht erreichbar", pg.get());
    }
    const char* parameter[] = {datei.c_str(), bench.c_str()};
    const std::unique_ptr<PGresult, TPruefErgebnisFrei> ergebnis(
        PQexecParams(pg.get(), KettenDerDatei, 2, nullptr, parameter, nullptr, nullptr, 0));
    if (!ergebnis || PQresultStatus(ergebnis.get()) != PGRES_TUPLES_OK ||
        PQnfields(ergebnis.get()) != 2) {
        throw VergleichsFehler("Die Messwerte sind nicht lesbar", pg.get());
    }
    std::vector<TGespeicherteKette> ketten;
    for (int zeile = 0; zeile < PQntuples(ergebnis.get()); ++zeile) {
        ketten.push_back({ZeilenNummer(PQgetvalue(ergebnis.get(), zeile, 0)),
                          PQgetvalue(ergebnis.get(), zeile, 1)});
    }
    return ketten;
}

bool SammlerPruefenVerlangt(const std::vector<std::string>& argumente) {
    return std::any_of(argumente.begin(), argumente.end(), [](const std::string& argument) {
        return argument == "--verify" || argument.starts_with("--verify=");
    });
}

int SammlerPruefenBefehl(const std::vector<std::string>& argumente, std::FILE* ausgabe,
                         std::FILE* fehler) {
    QCommandLineParser parser;
    for (const char* name : {"verify", "database", "bench"}) {
        parser.addOption(QCommandLineOption(QString::fromLatin1(name), {}, QStringLiteral("WERT")));
    }
    const TAufrufFehler aufruf = AufrufLesen(parser, argumente);
    const std::string datei = parser.value(QStringLiteral("verify")).toStdString();
    const std::string verbindung = parser.value(QStringLiteral("database")).toStdString();
    if (aufruf.Art != TAufrufFehler::TArt::Keiner || datei.empty() || verbindung.empty()) {
        std::fprintf(fehler, "quorlits-sammler: Aufruf: quorlits-sammler --verify DATEI --database "
                             "VERBINDUNG [--bench NAME]\n");
        return 2;
    }
    try {
        const auto dateien = DateiMitProtokollLesen(datei, ausgabe);
        if (!dateien) {
            return 1;
        }
        const std::string absolut = std::filesystem::absolute(datei).string();
        const auto gespeichert = GespeicherteKetten(
            verbindung, absolut, parser.value(QStringLiteral("bench")).toStdString());
        if (gespeichert.empty()) {
            std::fprintf(ausgabe,
                         "%s: nicht prüfbar: die Datenbank kennt keine Messwerte mit "
                         "Kette aus dieser Datei\n",
                         datei.c_str());
            return 1;
        }
        return VergleichMelden(
            MitDatenbankVergleichen(dateien->Daten, dateien->Protokoll, gespeichert), datei,
            ausgabe);
    } catch (...) {
        std::fprintf(ausgabe, "%s: %s\n", datei.c_str(),
                     MeldungsText(std::current_exception()).c_str());
        return 1;
    }
}
