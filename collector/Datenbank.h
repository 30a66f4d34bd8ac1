// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

struct pg_conn;

// A failure of the database; what() is German, with PostgreSQL's own text.
class EDatenbank : public std::runtime_error {
public:
    EDatenbank(const std::string& text, bool verbindungWeg)
        : std::runtime_error(text)
        , verbindungWeg_(verbindungWeg) {}
    // The connection is gone (the server restarted or is unreachable): try again later.
    bool VerbindungWeg() const noexcept { return verbindungWeg_; }

private:
    bool verbindungWeg_;
};

// The tables are of a newer version than this program knows: trying again does not help.
class ESchemaZuNeu : public EDatenbank {
public:
    explicit ESchemaZuNeu(const std::string& text)
        : EDatenbank(text, false) {}
};

// One message taken from the broker, to be stored.
struct TEingang {
    std::string Bench;
    std::string Meter;
    bool Ereignis = false;
    std::string Messung;
    std::int64_t Seq = 0;
    std::string Inhalt; // the JSON payload
    std::string Fehler; // why it cannot be stored as a reading or event (then it is "rejected")
};

// The highest seq of a measurement committed without a gap.
struct TQuittungsStand {
    std::string Bench;
    std::string Meter;
    std::string Messung;
    std::int64_t Seq = 0;
};

// The collector's database (libpq): the tables readings, events, gaps and rejected, created on
// first use together with schema_version, and brought to the current version when older. Every
// message lands once: the key is bench, meter, measurement and seq (from_seq for a gap), and a
// repeated message is skipped (ON CONFLICT DO NOTHING). Blocks while it waits for the server:
// the collector calls it from a thread of its own.
class TDatenbank {
public:
    explicit TDatenbank(std::string verbindung);
    ~TDatenbank();
    TDatenbank(const TDatenbank&) = delete;
    TDatenbank& operator=(const TDatenbank&) = delete;

    // Connects (when not connected) and creates or updates the tables; raises EDatenbank, and
    // ESchemaZuNeu when the tables are newer than this program. A connection string without
    // connect_timeout gets one (VerbindungsfristS).
    void Verbinden();
    bool IstVerbunden() const;

    // Stores `eingaenge` in one transaction and returns, for every measurement they touch, the
    // highest seq committed without a gap (rows of other collectors count as well, and every
    // seq inside a stored gap). Connects first; with no messages it only connects. Raises
    // EDatenbank; then nothing of them was committed.
    std::vector<TQuittungsStand> Schreiben(const std::vector<TEingang>& eingaenge);

private:
    void Ausfuehren(const char* sql);
    void Befehl(const char* name, const std::string* nr, const std::string* grund = nullptr);
    void SchemaAnlegen();
    void Vorbereiten();
    void Kopieren(const std::vector<TEingang>& eingaenge);
    void Senden(const std::string& daten);
    void AlleEinfuegen(const std::vector<TEingang>& eingaenge);
    void EinzelnEinfuegen(const std::vector<TEingang>& eingaenge);
    void Einzeln(const TEingang& eingang, const std::string& nr);
    std::vector<TQuittungsStand> Staende();
    [[noreturn]] void Fehler(const std::string& was, bool trennen = false);
    void Trennen();

    std::string verbindung_;
    pg_conn* pg_ = nullptr;
    // The gap-free seq per bench, meter and measurement, as far as known.
    std::map<std::tuple<std::string, std::string, std::string>, std::int64_t> lueckenlos_;
};

// The version of the tables this program writes.
inline constexpr int SchemaVersion = 3;
