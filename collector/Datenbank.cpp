// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "collector/Datenbank.h"

#include <libpq-fe.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <set>

namespace {

// Two collectors starting at once create or change the tables one after the other: the lock
// holds until the transaction ends.
constexpr const char* Versionstabelle = R"sql(
SELECT pg_advisory_xact_lock(74230022);
CREATE TABLE IF NOT EXISTS schema_version (
    version integer PRIMARY KEY,
    applied_at timestamptz NOT NULL DEFAULT now()
);
)sql";

// The tables as version 1 made them; the steps below bring them to the current version.
constexpr const char* Schema = R"sql(
CREATE TABLE IF NOT EXISTS readings (
    bench text NOT NULL,
    meter text NOT NULL,
    measurement text NOT NULL,
    seq bigint NOT NULL,
    utc_ms bigint NOT NULL,
    utc timestamptz NOT NULL,
    utc_offset_s integer NOT NULL,
    local text NOT NULL,
    quantity text NOT NULL,
    unit text NOT NULL,
    value double precision NOT NULL,
    temperature_c double precision,
    meter_date text,
    meter_time text,
    reference_temperature_c double precision,
    coefficient double precision,
    raw text,
    port text,
    data_file text,
    line bigint,
    committed_at timestamptz NOT NULL DEFAULT clock_timestamp(),
    PRIMARY KEY (bench, meter, measurement, seq)
);
CREATE INDEX IF NOT EXISTS readings_utc ON readings (utc);
CREATE TABLE IF NOT EXISTS events (
    bench text NOT NULL,
    meter text NOT NULL,
    measurement text NOT NULL,
    seq bigint NOT NULL,
    utc_ms bigint NOT NULL,
    utc timestamptz NOT NULL,
    utc_offset_s integer NOT NULL,
    local text NOT NULL,
    event text NOT NULL,
    detail text,
    port text,
    data_file text,
    committed_at timestamptz NOT NULL DEFAULT clock_timestamp(),
    PRIMARY KEY (bench, meter, measurement, seq)
);
CREATE TABLE IF NOT EXISTS rejected (
    bench text NOT NULL,
    meter text NOT NULL,
    measurement text NOT NULL,
    seq bigint NOT NULL,
    payload text NOT NULL,
    reason text NOT NULL,
    committed_at timestamptz NOT NULL DEFAULT clock_timestamp(),
    PRIMARY KEY (bench, meter, measurement, seq)
);
INSERT INTO schema_version (version) VALUES (1) ON CONFLICT DO NOTHING;
)sql";

// Version 2: who took a reading of which sample with which electrode, and the head of the
// bench's audit trail chain. Readings of older publishers leave them NULL.
constexpr const char* Version2 = R"sql(
ALTER TABLE readings ADD COLUMN IF NOT EXISTS sample text,
    ADD COLUMN IF NOT EXISTS operator text,
    ADD COLUMN IF NOT EXISTS electrode text,
    ADD COLUMN IF NOT EXISTS chain text;
INSERT INTO schema_version (version) VALUES (2) ON CONFLICT DO NOTHING;
)sql";

constexpr const char* MesswertEinfuegen = R"sql(
INSERT INTO readings (bench, meter, measurement, seq, utc_ms, utc, utc_offset_s, local, quantity,
    unit, value, temperature_c, meter_date, meter_time, reference_temperature_c, coefficient, raw,
    port, data_file, line, sample, operator, electrode, chain)
SELECT $1, $2, j->>'measurement', (j->>'seq')::bigint, (j->>'utc_ms')::bigint,
    to_timestamp((j->>'utc_ms')::numeric / 1000), (j->>'utc_offset_s')::integer, j->>'local',
    j->>'quantity', j->>'unit', (j->>'value')::double precision,
    (j->>'temperature_c')::double precision, j->>'meter_date', j->>'meter_time',
    (j->>'reference_temperature_c')::double precision, (j->>'coefficient')::double precision,
    j->>'raw', j->>'port', j->>'data_file', (j->>'line')::bigint, j->>'sample', j->>'operator',
    j->>'electrode', j->>'chain'
FROM (SELECT $3::jsonb AS j) AS nachricht
ON CONFLICT DO NOTHING
)sql";

constexpr const char* EreignisEinfuegen = R"sql(
INSERT INTO events (bench, meter, measurement, seq, utc_ms, utc, utc_offset_s, local, event,
    detail, port, data_file)
SELECT $1, $2, j->>'measurement', (j->>'seq')::bigint, (j->>'utc_ms')::bigint,
    to_timestamp((j->>'utc_ms')::numeric / 1000), (j->>'utc_offset_s')::integer, j->>'local',
    j->>'event', j->>'detail', j->>'port', j->>'data_file'
FROM (SELECT $3::jsonb AS j) AS nachricht
ON CONFLICT DO NOTHING
)sql";

constexpr const char* AbgelehntEinfuegen = R"sql(
INSERT INTO rejected (bench, meter, measurement, seq, payload, reason)
VALUES ($1, $2, $3, $4::bigint, $5, $6)
ON CONFLICT DO NOTHING
)sql";

constexpr const char* SeqsDanach = R"sql(
SELECT seq FROM readings WHERE bench = $1 AND meter = $2 AND measurement = $3 AND seq > $4
UNION ALL SELECT seq FROM events WHERE bench = $1 AND meter = $2 AND measurement = $3 AND seq > $4
UNION ALL SELECT seq FROM rejected WHERE bench = $1 AND meter = $2 AND measurement = $3 AND seq > $4
ORDER BY seq
)sql";

struct TErgebnisLoeschen {
    void operator()(PGresult* ergebnis) const { PQclear(ergebnis); }
};
using TErgebnis = std::unique_ptr<PGresult, TErgebnisLoeschen>;

// PostgreSQL's text and jsonb hold no NUL character: a \u0000 of the JSON becomes U+2400
// ("␀"), so such a reading is still stored.
std::string OhneNul(const std::string& json) {
    std::string text;
    text.reserve(json.size());
    std::size_t schraegstriche = 0;
    for (std::size_t i = 0; i < json.size(); ++i) {
        if (json[i] == '\\' && schraegstriche % 2 == 0 && json.compare(i, 6, "\\u0000") == 0) {
            text += "\\u2400";
            i += 5;
            continue;
        }
        schraegstriche = json[i] == '\\' ? schraegstriche + 1 : 0;
        text.push_back(json[i]);
    }
    return text;
}

bool Erfolg(const PGresult* ergebnis) {
    const ExecStatusType status = PQresultStatus(ergebnis);
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
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

void TDatenbank::Fehler(const std::string& was) {
    const bool weg = pg_ == nullptr || PQstatus(pg_) != CONNECTION_OK;
    std::string text = was + ": " + (pg_ != nullptr ? PQerrorMessage(pg_) : "keine Verbindung");
    // PostgreSQL's text spans several lines; the collector's messages are one line each.
    for (char& zeichen : text) {
        zeichen = zeichen == '\n' || zeichen == '\t' ? ' ' : zeichen;
    }
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    if (weg) {
        Trennen();
    }
    throw EDatenbank(text, weg);
}

void TDatenbank::Verbinden() {
    if (IstVerbunden()) {
        return;
    }
    Trennen();
    pg_ = PQconnectdb(verbindung_.c_str());
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
    if (!Erfolg(neueste.get())) {
        Fehler("Die Version der Tabellen ist nicht lesbar");
    }
    const int version = std::atoi(PQgetvalue(neueste.get(), 0, 0));
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
    Ausfuehren("COMMIT");
}

void TDatenbank::Vorbereiten() {
    for (const auto& [name, sql, anzahl] :
         {std::tuple{"messwert", MesswertEinfuegen, 3},
          std::tuple{"ereignis", EreignisEinfuegen, 3},
          std::tuple{"abgelehnt", AbgelehntEinfuegen, 6}, std::tuple{"danach", SeqsDanach, 4}}) {
        const TErgebnis ergebnis(PQprepare(pg_, name, sql, anzahl, nullptr));
        if (!Erfolg(ergebnis.get())) {
            Fehler("SQL lässt sich nicht vorbereiten");
        }
    }
}

void TDatenbank::Einfuegen(const TEingang& e) {
    const std::string seq = std::to_string(e.Seq);
    TErgebnis ergebnis;
    if (!e.Fehler.empty()) {
        const char* werte[] = {e.Bench.c_str(), e.Meter.c_str(),  e.Messung.c_str(),
                               seq.c_str(),     e.Inhalt.c_str(), e.Fehler.c_str()};
        ergebnis.reset(PQexecPrepared(pg_, "abgelehnt", 6, werte, nullptr, nullptr, 0));
    } else {
        const std::string json = OhneNul(e.Inhalt);
        const char* werte[] = {e.Bench.c_str(), e.Meter.c_str(), json.c_str()};
        ergebnis.reset(PQexecPrepared(pg_, e.Ereignis ? "ereignis" : "messwert", 3, werte, nullptr,
                                      nullptr, 0));
    }
    if (!Erfolg(ergebnis.get())) {
        Fehler("Speichern scheitert");
    }
}

std::int64_t TDatenbank::Lueckenlos(const std::string& bench, const std::string& meter,
                                    const std::string& messung, std::int64_t bisher) {
    const std::string ab = std::to_string(bisher);
    const char* werte[] = {bench.c_str(), meter.c_str(), messung.c_str(), ab.c_str()};
    const TErgebnis ergebnis(PQexecPrepared(pg_, "danach", 4, werte, nullptr, nullptr, 0));
    if (!Erfolg(ergebnis.get())) {
        Fehler("Lesen der Folge scheitert");
    }
    std::int64_t hoch = bisher;
    for (int zeile = 0; zeile < PQntuples(ergebnis.get()); ++zeile) {
        // A seq may stand in two tables (a faulty publisher); it counts once.
        const std::int64_t seq = std::atoll(PQgetvalue(ergebnis.get(), zeile, 0));
        if (seq > hoch + 1) {
            break;
        }
        hoch = std::max(hoch, seq);
    }
    return hoch;
}

void TDatenbank::AlleEinfuegen(const std::vector<TEingang>& eingaenge) {
    Ausfuehren("BEGIN");
    for (const TEingang& e : eingaenge) {
        Einfuegen(e);
    }
}

// One message the tables do not take must not hold up the others: each goes alone, and one
// that fails is kept in "rejected" with PostgreSQL's reason.
void TDatenbank::EinzelnEinfuegen(const std::vector<TEingang>& eingaenge) {
    Ausfuehren("ROLLBACK");
    Ausfuehren("BEGIN");
    for (const TEingang& e : eingaenge) {
        Ausfuehren("SAVEPOINT eine");
        try {
            Einfuegen(e);
        } catch (const EDatenbank& fehler) {
            if (fehler.VerbindungWeg()) {
                throw;
            }
            Ausfuehren("ROLLBACK TO SAVEPOINT eine");
            TEingang abgelehnt = e;
            abgelehnt.Fehler = fehler.what();
            Einfuegen(abgelehnt);
        }
        Ausfuehren("RELEASE SAVEPOINT eine");
    }
}

std::vector<TQuittungsStand> TDatenbank::Staende(const std::vector<TEingang>& eingaenge) {
    std::set<std::tuple<std::string, std::string, std::string>> beruehrt;
    for (const TEingang& e : eingaenge) {
        beruehrt.emplace(e.Bench, e.Meter, e.Messung);
    }
    std::vector<TQuittungsStand> staende;
    for (const auto& schluessel : beruehrt) {
        const auto& [bench, meter, messung] = schluessel;
        const auto bekannt = lueckenlos_.find(schluessel);
        const std::int64_t bisher = bekannt == lueckenlos_.end() ? 0 : bekannt->second;
        staende.push_back({bench, meter, messung, Lueckenlos(bench, meter, messung, bisher)});
    }
    return staende;
}

std::vector<TQuittungsStand> TDatenbank::Schreiben(const std::vector<TEingang>& eingaenge) {
    Verbinden();
    if (PQtransactionStatus(pg_) != PQTRANS_IDLE) {
        Ausfuehren("ROLLBACK"); // what an earlier failure left open
    }
    try {
        AlleEinfuegen(eingaenge);
    } catch (const EDatenbank& fehler) {
        if (fehler.VerbindungWeg()) {
            throw;
        }
        EinzelnEinfuegen(eingaenge);
    }
    const std::vector<TQuittungsStand> staende = Staende(eingaenge);
    Ausfuehren("COMMIT");
    for (const TQuittungsStand& stand : staende) {
        lueckenlos_[{stand.Bench, stand.Meter, stand.Messung}] = stand.Seq;
    }
    return staende;
}
