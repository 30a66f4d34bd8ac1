// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The collector's tables in a real PostgreSQL that the test starts.
#include "Beispiele.h"
#include "Dienste.h"

#include "collector/Datenbank.h"
#include "mqtt/Nutzlast.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <memory>
#include <vector>

namespace {

TEingang Messwert(const std::string& messung, std::int64_t seq, double wert = 7.0,
                  const TMesswertHerkunft& herkunft = {}) {
    const TNachrichtKopf kopf{messung, static_cast<std::uint64_t>(seq), "/dev/ttyUSB0"};
    return TEingang{"bank1", "meter",
                    false,   messung,
                    seq,     MesswertNutzlast(kopf, BeispielMesswert(seq, wert), {}, herkunft),
                    {}};
}

TEingang Ereignis(const std::string& messung, std::int64_t seq) {
    const TNachrichtKopf kopf{messung, static_cast<std::uint64_t>(seq), "/dev/ttyUSB0"};
    const TEreignis ereignis{TEreignisArt::Beginn, 1796572414120, 3600, {}, {}, 0, 0, {}};
    return TEingang{"bank1", "meter", true, messung, seq, EreignisNutzlast(kopf, ereignis), {}};
}

// The gap event a full outbox sends for the seqs `von` to `bis` it dropped.
TEingang Luecke(const std::string& messung, std::int64_t von, std::int64_t bis) {
    const TNachrichtKopf kopf{messung, static_cast<std::uint64_t>(bis), "/dev/ttyUSB0"};
    const TEreignis ereignis{TEreignisArt::Luecke,
                             1796572414120,
                             3600,
                             "seq " + std::to_string(von) + " bis " + std::to_string(bis) +
                                 " verworfen: Ausgang voll",
                             {},
                             static_cast<std::uint64_t>(von),
                             static_cast<std::uint64_t>(bis),
                             "Ausgang voll"};
    return TEingang{"bank1", "meter", true, messung, bis, EreignisNutzlast(kopf, ereignis), {}};
}

std::int64_t Stand(const std::vector<TQuittungsStand>& staende, const std::string& messung) {
    for (const TQuittungsStand& s : staende) {
        if (s.Messung == messung) {
            return s.Seq;
        }
    }
    return -1;
}

class Datenbank : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(PostgresDa()) << "PostgreSQL is missing: scripts/deps.sh installs it";
        postgres = std::make_unique<TPostgres>();
        ASSERT_TRUE(postgres->Starten());
    }
    static void TearDownTestSuite() { postgres.reset(); }

    static std::unique_ptr<TPostgres> postgres;
};

std::unique_ptr<TPostgres> Datenbank::postgres;

// Each message lands once however often it comes, and the acknowledgement is the highest seq
// before the first gap, counting readings, events and rejected messages alike.
TEST_F(Datenbank, EinmalUndLueckenlos) {
    TDatenbank db(postgres->Verbindung());
    auto staende = db.Schreiben({Ereignis("a", 1), Messwert("a", 2), Messwert("a", 4)});
    EXPECT_EQ(Stand(staende, "a"), 2);
    staende = db.Schreiben({Messwert("a", 2, 9.9), Messwert("a", 4), Messwert("b", 1)});
    EXPECT_EQ(Stand(staende, "a"), 2);
    EXPECT_EQ(Stand(staende, "b"), 1);
    TEingang kaputt = Messwert("a", 3);
    kaputt.Fehler = "falscher Typ: value";
    staende = db.Schreiben({kaputt});
    EXPECT_EQ(Stand(staende, "a"), 4) << "a rejected message closes its gap";
    EXPECT_EQ(postgres->Abfrage("SELECT count(*) || ' ' || sum(value) FROM readings "
                                "WHERE measurement = 'a'"),
              "2 14")
        << "the repeated seq 2 did not replace the first";
    EXPECT_EQ(postgres->Abfrage("SELECT reason FROM rejected"), "falscher Typ: value");
    EXPECT_EQ(postgres->Abfrage("SELECT event || ' ' || local FROM events"),
              "start 2026-12-06T16:53:34.120+01:00");
    // Shown in UTC whatever the time zone the database session inherited.
    EXPECT_EQ(postgres->Abfrage("SELECT (utc AT TIME ZONE 'UTC')::text FROM readings "
                                "WHERE seq = 2 AND measurement = 'a'"),
              "2026-12-06 15:53:34.122");
    // Another collector (a fresh connection) knows nothing in memory and reads the same.
    TDatenbank zweite(postgres->Verbindung());
    EXPECT_EQ(Stand(zweite.Schreiben({Messwert("a", 1)}), "a"), 4);
}

// What the tables cannot take alone goes to "rejected" with PostgreSQL's reason, and the rest
// of the transaction is stored; a NUL byte of a record is kept as U+2400, and bytes that are no
// text in a rejected payload or a name do not hold up the batch.
TEST_F(Datenbank, EinSchlechterHaeltDieAnderenNichtAuf) {
    TDatenbank db(postgres->Verbindung());
    TEingang nul = Messwert("n", 1);
    nul.Inhalt.insert(nul.Inhalt.size() - 1, R"(,"raw":"a\u0000b")");
    nul.Inhalt.replace(nul.Inhalt.find("\"raw\""), 0, "");
    TEingang zuGross = Messwert("n", 2);
    zuGross.Inhalt.replace(zuGross.Inhalt.find("\"utc_offset_s\":3600"), 19,
                           "\"utc_offset_s\":99999999999");
    TEingang muell{"bank1", "meter", false, "n", 4, std::string("\xFF\0\t\\{", 5), "kein JSON"};
    TEingang name = Messwert("w", 1);
    name.Meter = std::string("m\0\xFF", 3);
    const auto staende = db.Schreiben(
        {nul, zuGross, Messwert("n", 3), muell, name, Ereignis("n", 5), Luecke("n", 6, 7)});
    EXPECT_EQ(Stand(staende, "n"), 7);
    EXPECT_EQ(postgres->Abfrage("SELECT (SELECT count(*) FROM events WHERE measurement = 'n') "
                                "|| ' ' || (SELECT count(*) FROM gaps WHERE measurement = 'n')"),
              "1 1")
        << "events and gaps go alone as well";
    EXPECT_EQ(Stand(staende, "w"), 1);
    EXPECT_EQ(postgres->Abfrage("SELECT count(*) FROM readings WHERE measurement = 'n'"), "2");
    EXPECT_EQ(postgres->Abfrage("SELECT string_agg(seq::text, ' ' ORDER BY seq) FROM rejected "
                                "WHERE measurement = 'n'"),
              "2 4");
    EXPECT_EQ(postgres->Abfrage("SELECT reason || ' ' || encode(convert_to(payload, 'UTF8'), "
                                "'hex') FROM rejected WHERE seq = 4 AND measurement = 'n'"),
              "kein JSON efbfbde29080095c7b");
    EXPECT_EQ(postgres->Abfrage("SELECT meter FROM readings WHERE measurement = 'w'"),
              "m\u2400\uFFFD");
}

// The seqs a full outbox dropped count as present once their gap is stored, whichever batch
// brings it; a gap sent twice is one row, and it never lands among the events.
TEST_F(Datenbank, LueckeZaehltAlsVorhanden) {
    TDatenbank db(postgres->Verbindung());
    std::vector<TEingang> stapel;
    for (std::int64_t seq = 1; seq <= 5; ++seq) {
        stapel.push_back(Messwert("g", seq));
    }
    stapel.push_back(Luecke("g", 6, 9));
    stapel.push_back(Messwert("g", 10));
    EXPECT_EQ(Stand(db.Schreiben(stapel), "g"), 10);
    EXPECT_EQ(Stand(db.Schreiben({Luecke("g", 6, 9), Messwert("g", 11)}), "g"), 11);
    EXPECT_EQ(postgres->Abfrage("SELECT string_agg(from_seq || '-' || to_seq || ' ' || reason || "
                                "' ' || (utc AT TIME ZONE 'UTC')::text, ',') FROM gaps "
                                "WHERE measurement = 'g'"),
              "6-9 Ausgang voll 2026-12-06 15:53:34.12");
    EXPECT_EQ(postgres->Abfrage("SELECT count(*) FROM events WHERE measurement = 'g'"), "0");

    // The gap after the reading beyond it: the ack waits for it, then jumps over it.
    EXPECT_EQ(Stand(db.Schreiben({Messwert("h", 1), Messwert("h", 5)}), "h"), 1);
    EXPECT_EQ(Stand(db.Schreiben({Luecke("h", 2, 3)}), "h"), 3);
    EXPECT_EQ(Stand(db.Schreiben({Messwert("h", 4)}), "h"), 5);
    // A collector that knows nothing yet reads the same from the tables.
    TDatenbank zweite(postgres->Verbindung());
    EXPECT_EQ(Stand(zweite.Schreiben({Messwert("g", 3)}), "g"), 11);
}

TEST_F(Datenbank, NeuereTabellenWerdenNichtAngefasst) {
    TDatenbank db(postgres->Verbindung());
    db.Verbinden();
    const std::string neuer = std::to_string(SchemaVersion + 1);
    postgres->Abfrage("INSERT INTO schema_version (version) VALUES (" + neuer + ")");
    TDatenbank alt(postgres->Verbindung());
    try {
        alt.Verbinden();
        ADD_FAILURE() << "tables of version " << neuer << " accepted";
    } catch (const ESchemaZuNeu& fehler) {
        EXPECT_NE(std::string(fehler.what()).find("Version " + neuer), std::string::npos)
            << fehler.what();
        EXPECT_FALSE(fehler.VerbindungWeg());
    }
    // The program says so and ends instead of trying again and again.
    QProcess sammler;
    sammler.start(QStringLiteral(SAMMLER_PROGRAMM),
                  {QStringLiteral("--broker"), QStringLiteral("mqtt://127.0.0.1:1"),
                   QStringLiteral("--database"), QString::fromStdString(postgres->Verbindung())});
    EXPECT_TRUE(sammler.waitForFinished(60000)) << "the collector went on";
    const std::string meldung = sammler.readAllStandardError().toStdString();
    EXPECT_EQ(sammler.exitCode(), 1) << meldung;
    EXPECT_NE(meldung.find("quorlits-sammler: Die Tabellen haben die Version " + neuer),
              std::string::npos)
        << meldung;
    sammler.kill();
    sammler.waitForFinished();
    postgres->Abfrage("DELETE FROM schema_version WHERE version = " + neuer);
}

// Who took a reading of which sample, with which electrode, and the bench's chain head land in
// their columns as sent; a reading of an older publisher, without these keys, leaves them NULL.
TEST_F(Datenbank, ProbeBedienerElektrodeUndKette) {
    const std::string kette = "9b1f0c7e2d4a65f8c3e1b0a9d7f6e5c4b3a2918f7e6d5c4b3a29180f7e6d5c4b";
    struct TFall {
        TMesswertHerkunft herkunft;
        bool ohneSchluessel;
        std::string erwartet; // sample|operator|electrode|chain
    };
    const std::vector<TFall> faelle = {
        {{{"P-17", "Müller", "SenTix 41 B123"}, kette},
         false,
         "P-17|Müller|SenTix 41 B123|" + kette},
        {{{"", "laborant", ""}, ""}, false, "|laborant||NULL"},
        {{{"P-17", "laborant", "B123"}, kette}, true, "NULL|NULL|NULL|NULL"},
    };
    TDatenbank db(postgres->Verbindung());
    for (std::size_t i = 0; i < faelle.size(); ++i) {
        const std::int64_t seq = static_cast<std::int64_t>(i) + 1;
        TEingang eingang = Messwert("h", seq, 7.0, faelle[i].herkunft);
        if (faelle[i].ohneSchluessel) {
            QJsonObject json =
                QJsonDocument::fromJson(QByteArray::fromStdString(eingang.Inhalt)).object();
            for (const char* schluessel : {"sample", "operator", "electrode", "chain"}) {
                json.remove(QLatin1String(schluessel));
            }
            eingang.Inhalt = QJsonDocument(json).toJson(QJsonDocument::Compact).toStdString();
        }
        db.Schreiben({eingang});
        EXPECT_EQ(postgres->Abfrage("SELECT concat_ws('|', coalesce(sample, 'NULL'), "
                                    "coalesce(operator, 'NULL'), coalesce(electrode, 'NULL'), "
                                    "coalesce(chain, 'NULL')) FROM readings "
                                    "WHERE measurement = 'h' AND seq = " +
                                    std::to_string(seq)),
                  faelle[i].erwartet)
            << "case " << i;
    }
}

// The tables as the collector of version 1 made them.
constexpr const char* TabellenVersion1 = R"sql(
CREATE TABLE schema_version (
    version integer PRIMARY KEY,
    applied_at timestamptz NOT NULL DEFAULT now()
);
CREATE TABLE readings (
    bench text NOT NULL, meter text NOT NULL, measurement text NOT NULL, seq bigint NOT NULL,
    utc_ms bigint NOT NULL, utc timestamptz NOT NULL, utc_offset_s integer NOT NULL,
    local text NOT NULL, quantity text NOT NULL, unit text NOT NULL,
    value double precision NOT NULL, temperature_c double precision, meter_date text,
    meter_time text, reference_temperature_c double precision, coefficient double precision,
    raw text, port text, data_file text, line bigint,
    committed_at timestamptz NOT NULL DEFAULT clock_timestamp(),
    PRIMARY KEY (bench, meter, measurement, seq)
);
CREATE INDEX readings_utc ON readings (utc);
CREATE TABLE events (
    bench text NOT NULL, meter text NOT NULL, measurement text NOT NULL, seq bigint NOT NULL,
    utc_ms bigint NOT NULL, utc timestamptz NOT NULL, utc_offset_s integer NOT NULL,
    local text NOT NULL, event text NOT NULL, detail text, port text, data_file text,
    committed_at timestamptz NOT NULL DEFAULT clock_timestamp(),
    PRIMARY KEY (bench, meter, measurement, seq)
);
CREATE TABLE rejected (
    bench text NOT NULL, meter text NOT NULL, measurement text NOT NULL, seq bigint NOT NULL,
    payload text NOT NULL, reason text NOT NULL,
    committed_at timestamptz NOT NULL DEFAULT clock_timestamp(),
    PRIMARY KEY (bench, meter, measurement, seq)
);
INSERT INTO schema_version (version) VALUES (1);
INSERT INTO readings (bench, meter, measurement, seq, utc_ms, utc, utc_offset_s, local, quantity,
    unit, value)
VALUES ('bank1', 'meter', 'm', 1, 0, to_timestamp(0), 0, '1970-01-01T00:00:00.000+00:00', 'pH',
    'pH', 6.5);
)sql";

// A database of its own holding the tables of version 1 with one reading.
std::string Version1Anlegen(const TPostgres& postgres, const std::string& name) {
    postgres.Abfrage("CREATE DATABASE " + name);
    postgres.Abfrage(TabellenVersion1, name);
    return postgres.Verbindung(name);
}

std::string Spalten(const TPostgres& postgres, const std::string& datenbank) {
    return postgres.Abfrage("SELECT string_agg(table_name || '.' || column_name || ' ' || "
                            "data_type || ' ' || is_nullable, ', ' "
                            "ORDER BY table_name, ordinal_position) "
                            "FROM information_schema.columns WHERE table_schema = 'public'",
                            datenbank);
}

// The current collector brings tables of version 1 or 2 up to date, keeps their rows, and a
// second start changes nothing; the tables then look as if made new.
TEST_F(Datenbank, AeltereTabellenWerdenErgaenzt) {
    constexpr const char* Version2 = R"sql(
ALTER TABLE readings ADD COLUMN sample text, ADD COLUMN operator text,
    ADD COLUMN electrode text, ADD COLUMN chain text;
INSERT INTO schema_version (version) VALUES (2);
)sql";
    for (const auto& [name, zusatz] :
         {std::pair{"version1", ""}, std::pair{"version2", Version2}}) {
        const std::string verbindung = Version1Anlegen(*postgres, name);
        if (*zusatz != '\0') {
            postgres->Abfrage(zusatz, name);
        }
        const TMesswertHerkunft herkunft{{"P-17", "laborant", "B123"}, {}};
        for (std::int64_t seq : {2, 3}) {
            TDatenbank db(verbindung);
            EXPECT_EQ(Stand(db.Schreiben({Messwert("m", seq, 7.0, herkunft)}), "m"), seq) << name;
        }
        EXPECT_EQ(postgres->Abfrage("SELECT string_agg(version::text, ' ' ORDER BY version) "
                                    "FROM schema_version",
                                    name),
                  "1 2 3")
            << name;
        EXPECT_EQ(postgres->Abfrage("SELECT string_agg(seq || ':' || value || ':' || "
                                    "coalesce(sample, 'NULL'), ' ' ORDER BY seq) FROM readings",
                                    name),
                  "1:6.5:NULL 2:7:P-17 3:7:P-17")
            << name;
        TDatenbank(postgres->Verbindung()).Verbinden();
        EXPECT_EQ(Spalten(*postgres, name), Spalten(*postgres, "postgres")) << name;
    }
}

// A start that fails after connecting (here: a column the collector needs is missing) is tried
// afresh the next time, once the tables are mended.
TEST_F(Datenbank, NachGescheitertemAnlegenNeuVersucht) {
    const std::string verbindung = Version1Anlegen(*postgres, "ohneraw");
    postgres->Abfrage("ALTER TABLE readings DROP COLUMN raw", "ohneraw");
    TDatenbank db(verbindung);
    EXPECT_THROW(db.Verbinden(), EDatenbank);
    postgres->Abfrage("ALTER TABLE readings ADD COLUMN raw text", "ohneraw");
    EXPECT_EQ(Stand(db.Schreiben({Messwert("m", 2)}), "m"), 2);
}

TEST_F(Datenbank, NachNeustartDesServersWeiter) {
    TDatenbank db(postgres->Verbindung());
    db.Schreiben({Messwert("r", 1)});
    ASSERT_TRUE(postgres->Neustarten());
    try {
        db.Schreiben({Messwert("r", 2)});
        ADD_FAILURE() << "a lost connection was not noticed";
    } catch (const EDatenbank& fehler) {
        EXPECT_TRUE(fehler.VerbindungWeg()) << fehler.what();
    }
    EXPECT_EQ(Stand(db.Schreiben({Messwert("r", 2)}), "r"), 2);
}

} // namespace
