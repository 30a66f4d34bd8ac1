// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "collector/Datenbank.h"

#include "collector/DatenbankSql.h"
#include "collector/DatenbankText.h"
#include "collector/Verbindungsangaben.h"

#include <libpq-fe.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

namespace {

// COPY's data goes to the server in pieces of about this size.
constexpr std::size_t KopieStueck = 1 << 20;

struct TErgebnisLoeschen {
    void operator()(PGresult* ergebnis) const { PQclear(ergebnis); }
};
using TErgebnis = std::unique_ptr<PGresult, TErgebnisLoeschen>;

bool Erfolg(const PGresult* ergebnis) {
    const ExecStatusType status = PQresultStatus(ergebnis);
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

// The number in a result's field; false when it is none.
bool ZahlLesen(const PGresult* ergebnis, int zeile, int spalte, std::int64_t& zahl) {
    const char* text = PQgetvalue(ergebnis, zeile, spalte);
    char* ende = nullptr;
    errno = 0;
    zahl = std::strtoll(text, &ende, 10);
    return errno == 0 && ende != text && *ende == '\0';
}

// The kind of a message in the table eingang: reading, event (or gap), rejected.
const char* Art(const TEingang& e) {
    return !e.Fehler.empty() ? "r" : e.Ereignis ? "e" : "m";
}

void Feld(std::string& zeile, std::string_view text, char danach = '\t') {
    KopieFeld(zeile, text);
    zeile.push_back(danach);
}

} // namespace

TDatenbank::TDatenbank(std::string verbindung)
    : verbindung_(std::move(verbindung)) {}

TDatenbank::~TDatenbank() {
    Trennen();
}

void TDatenbank::Trennen() {
    if (pg_ != nullptr) {
        PQfinish(pg_);
        pg_ = nullptr;
    }
}

bool TDatenbank::IstVerbunden() const {
    return pg_ != nullptr && PQstatus(pg_) == CONNECTION_OK;
}

void TDatenbank::Fehler(const std::string& was, bool trennen) {
    const bool weg = pg_ == nullptr || PQstatus(pg_) != CONNECTION_OK;
    std::string text = was + ": " + (pg_ != nullptr ? PQerrorMessage(pg_) : "keine Verbindung");
    // PostgreSQL's text spans several lines; the collector's messages are one line each.
    for (char& zeichen : text) {
        zeichen = zeichen == '\n' || zeichen == '\t' ? ' ' : zeichen;
    }
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    if (weg || trennen) {
        Trennen();
    }
    throw EDatenbank(text, weg);
}

void TDatenbank::Verbinden() {
    if (IstVerbunden()) {
        return;
    }
    Trennen();
    const TVerbindungsangaben angaben = VerbindungsangabenLesen(verbindung_);
    std::vector<const char*> namen;
    std::vector<const char*> werte;
    for (std::size_t i = 0; i < angaben.Namen.size(); ++i) {
        namen.push_back(angaben.Namen[i].c_str());
        werte.push_back(angaben.Werte[i].c_str());
    }
    namen.push_back(nullptr);
    werte.push_back(nullptr);
    pg_ = PQconnectdbParams(namen.data(), werte.data(), 0);
    if (PQstatus(pg_) != CONNECTION_OK) {
        Fehler("Die Datenbank ist nicht erreichbar");
    }
    PQsetNoticeProcessor(
        pg_, [](void*, const char*) {}, nullptr); // "already exists" notes
    try {
        SchemaAnlegen();
        Vorbereiten();
    } catch (const EDatenbank&) {
        // The next try starts afresh, with the tables and the prepared statements.
        Trennen();
        throw;
    }
}

void TDatenbank::Ausfuehren(const char* sql) {
    const TErgebnis ergebnis(PQexec(pg_, sql));
    if (!Erfolg(ergebnis.get())) {
        Fehler("SQL scheitert");
    }
}

// Creates the tables, or brings older ones to the current version, in one transaction; tables
// of a newer version stay as they are.
void TDatenbank::SchemaAnlegen() {
    Ausfuehren("BEGIN");
    Ausfuehren(Versionstabelle);
    const TErgebnis neueste(PQexec(pg_, "SELECT coalesce(max(version), 0) FROM schema_version"));
    std::int64_t version = 0;
    if (!Erfolg(neueste.get()) || PQntuples(neueste.get()) != 1 ||
        !ZahlLesen(neueste.get(), 0, 0, version)) {
        Fehler("Die Version der Tabellen ist nicht lesbar");
    }
    if (version > SchemaVersion) {
        Trennen(); // ends the transaction unchanged
        throw ESchemaZuNeu("Die Tabellen haben die Version " + std::to_string(version) +
                           "; dieses Programm kennt nur Version " + std::to_string(SchemaVersion) +
                           ". Bitte den Sammler erneuern.");
    }
    Ausfuehren(Schema);
    if (version < 2) {
        Ausfuehren(Version2);
    }
    if (version < 3) {
        Ausfuehren(Version3);
    }
    Ausfuehren("COMMIT");
}

void TDatenbank::Vorbereiten() {
    Ausfuehren(Eingangstabelle);
    for (const auto& [name, sql, anzahl] : {std::tuple{"messwerte", MesswerteEinfuegen, 1},
                                            std::tuple{"ereignisse", EreignisseEinfuegen, 1},
                                            std::tuple{"abgelehnte", AbgelehnteEinfuegen, 2},
                                            std::tuple{"lueckenlos", Lueckenlos, 0}}) {
        const TErgebnis ergebnis(PQprepare(pg_, name, sql, anzahl, nullptr));
        if (!Erfolg(ergebnis.get())) {
            Fehler("SQL lässt sich nicht vorbereiten");
        }
    }
}

// A prepared statement for the whole batch (`nr` null) or for its row `nr`.
void TDatenbank::Befehl(const char* name, const std::string* nr, const std::string* grund) {
    const char* werte[] = {nr != nullptr ? nr->c_str() : nullptr,
                           grund != nullptr ? grund->c_str() : nullptr};
    const int anzahl = std::string_view(name) == "abgelehnte" ? 2 : 1;
    const TErgebnis ergebnis(PQexecPrepared(pg_, name, anzahl, werte, nullptr, nullptr, 0));
    if (!Erfolg(ergebnis.get())) {
        Fehler("Speichern scheitert");
    }
}

void TDatenbank::Senden(const std::string& daten) {
    if (!daten.empty() && PQputCopyData(pg_, daten.data(), static_cast<int>(daten.size())) != 1) {
        Fehler("Kopieren scheitert", true);
    }
}

// The batch into the table eingang, every text made one the server takes.
void TDatenbank::Kopieren(const std::vector<TEingang>& eingaenge) {
    const TErgebnis anfang(PQexec(pg_, EingangKopieren));
    if (PQresultStatus(anfang.get()) != PGRES_COPY_IN) {
        Fehler("Kopieren scheitert", true);
    }
    std::string zeile;
    for (std::size_t nr = 0; nr < eingaenge.size(); ++nr) {
        const TEingang& e = eingaenge[nr];
        const std::string bench = DatenbankText(e.Bench);
        const std::string meter = DatenbankText(e.Meter);
        const std::string messung = DatenbankText(e.Messung);
        const auto bekannt = lueckenlos_.find({bench, meter, messung});
        const std::int64_t bisher = bekannt == lueckenlos_.end() ? 0 : bekannt->second;
        zeile += std::to_string(nr) + '\t' + Art(e) + '\t';
        Feld(zeile, bench);
        Feld(zeile, meter);
        Feld(zeile, messung);
        zeile += std::to_string(e.Seq) + '\t' + std::to_string(bisher) + '\t';
        if (e.Fehler.empty()) {
            Feld(zeile, OhneNul(DatenbankText(e.Inhalt)));
            zeile += "\\N\n";
        } else {
            Feld(zeile, DatenbankText(e.Inhalt));
            Feld(zeile, DatenbankText(e.Fehler), '\n');
        }
        if (zeile.size() >= KopieStueck) {
            Senden(zeile);
            zeile.clear();
        }
    }
    Senden(zeile);
    if (PQputCopyEnd(pg_, nullptr) != 1) {
        Fehler("Kopieren scheitert", true);
    }
    const TErgebnis ende(PQgetResult(pg_));
    const bool gut = PQresultStatus(ende.get()) == PGRES_COMMAND_OK;
    while (PGresult* rest = PQgetResult(pg_)) {
        PQclear(rest);
    }
    if (!gut) {
        Fehler("Kopieren scheitert", true);
    }
}

void TDatenbank::AlleEinfuegen(const std::vector<TEingang>& eingaenge) {
    Ausfuehren("SAVEPOINT alle");
    try {
        for (const char* name : {"messwerte", "ereignisse", "abgelehnte"}) {
            Befehl(name, nullptr);
        }
    } catch (const EDatenbank& fehler) {
        if (fehler.VerbindungWeg()) {
            throw;
        }
        Ausfuehren("ROLLBACK TO SAVEPOINT alle");
        EinzelnEinfuegen(eingaenge);
    }
    Ausfuehren("RELEASE SAVEPOINT alle");
}

void TDatenbank::Einzeln(const TEingang& eingang, const std::string& nr) {
    if (!eingang.Fehler.empty()) {
        Befehl("abgelehnte", &nr);
    } else {
        Befehl(eingang.Ereignis ? "ereignisse" : "messwerte", &nr);
    }
}

// One message the tables do not take must not hold up the others: each goes alone, and one
// that fails is kept in "rejected" with PostgreSQL's reason.
void TDatenbank::EinzelnEinfuegen(const std::vector<TEingang>& eingaenge) {
    for (std::size_t i = 0; i < eingaenge.size(); ++i) {
        const std::string nr = std::to_string(i);
        Ausfuehren("SAVEPOINT eine");
        try {
            Einzeln(eingaenge[i], nr);
        } catch (const EDatenbank& fehler) {
            if (fehler.VerbindungWeg()) {
                throw;
            }
            Ausfuehren("ROLLBACK TO SAVEPOINT eine");
            const std::string grund = DatenbankText(fehler.what());
            Befehl("abgelehnte", &nr, &grund);
        }
        Ausfuehren("RELEASE SAVEPOINT eine");
    }
}

std::vector<TQuittungsStand> TDatenbank::Staende() {
    const TErgebnis ergebnis(PQexecPrepared(pg_, "lueckenlos", 0, nullptr, nullptr, nullptr, 0));
    if (!Erfolg(ergebnis.get()) || PQnfields(ergebnis.get()) != 4) {
        Fehler("Lesen der Folge scheitert");
    }
    std::vector<TQuittungsStand> staende;
    for (int zeile = 0; zeile < PQntuples(ergebnis.get()); ++zeile) {
        TQuittungsStand stand{PQgetvalue(ergebnis.get(), zeile, 0),
                              PQgetvalue(ergebnis.get(), zeile, 1),
                              PQgetvalue(ergebnis.get(), zeile, 2), 0};
        if (!ZahlLesen(ergebnis.get(), zeile, 3, stand.Seq)) {
            Fehler("Lesen der Folge scheitert");
        }
        staende.push_back(std::move(stand));
    }
    return staende;
}

std::vector<TQuittungsStand> TDatenbank::Schreiben(const std::vector<TEingang>& eingaenge) {
    Verbinden();
    if (eingaenge.empty()) {
        return {};
    }
    if (PQtransactionStatus(pg_) != PQTRANS_IDLE) {
        Ausfuehren("ROLLBACK"); // what an earlier failure left open
    }
    Ausfuehren("BEGIN");
    Kopieren(eingaenge);
    AlleEinfuegen(eingaenge);
    std::vector<TQuittungsStand> staende = Staende();
    Ausfuehren("COMMIT");
    for (const TQuittungsStand& stand : staende) {
        lueckenlos_[{stand.Bench, stand.Meter, stand.Messung}] = stand.Seq;
    }
    return staende;
}
