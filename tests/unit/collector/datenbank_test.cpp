// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The collector's tables in a real PostgreSQL that the test starts.
#include "Dienste.h"

#include "collector/Datenbank.h"
#include "publish/Nutzlast.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEingang Messwert(const std::string& messung, std::int64_t seq, double wert = 7.0) {
    TMesswert m;
    m.PCDatum = "06.12.2026";
    m.PCZeit = "16:53:34";
    m.PCUtcMs = 1796572414120 + seq;
    m.Messgroesse = "pH";
    m.Einheit = "pH";
    m.Wert = wert;
    const TNachrichtKopf kopf{messung, static_cast<std::uint64_t>(seq), "/dev/ttyUSB0"};
    return TEingang{"bank1", "meter", false, messung, seq, MesswertNutzlast(kopf, m), {}};
}

TEingang Ereignis(const std::string& messung, std::int64_t seq) {
    const TNachrichtKopf kopf{messung, static_cast<std::uint64_t>(seq), "/dev/ttyUSB0"};
    const TEreignis ereignis{TEreignisArt::Beginn, 1796572414120, 3600, {}, {}};
    return TEingang{"bank1", "meter", true, messung, seq, EreignisNutzlast(kopf, ereignis), {}};
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
// of the transaction is stored; a NUL byte of a record is kept as U+2400.
TEST_F(Datenbank, EinSchlechterHaeltDieAnderenNichtAuf) {
    TDatenbank db(postgres->Verbindung());
    TEingang nul = Messwert("n", 1);
    nul.Inhalt.insert(nul.Inhalt.size() - 1, R"(,"raw":"a\u0000b")");
    nul.Inhalt.replace(nul.Inhalt.find("\"raw\""), 0, "");
    TEingang zuGross = Messwert("n", 2);
    zuGross.Inhalt.replace(zuGross.Inhalt.find("\"utc_offset_s\":3600"), 19,
                           "\"utc_offset_s\":99999999999");
    const auto staende = db.Schreiben({nul, zuGross, Messwert("n", 3)});
    EXPECT_EQ(Stand(staende, "n"), 3);
    EXPECT_EQ(postgres->Abfrage("SELECT count(*) FROM readings WHERE measurement = 'n'"), "2");
    EXPECT_NE(postgres->Abfrage("SELECT reason FROM rejected WHERE measurement = 'n'"), "");
}

TEST_F(Datenbank, NeuereTabellenWerdenNichtAngefasst) {
    TDatenbank db(postgres->Verbindung());
    db.Verbinden();
    postgres->Abfrage("INSERT INTO schema_version (version) VALUES (2)");
    TDatenbank alt(postgres->Verbindung());
    try {
        alt.Verbinden();
        ADD_FAILURE() << "tables of version 2 accepted";
    } catch (const EDatenbank& fehler) {
        EXPECT_NE(std::string(fehler.what()).find("Version 2"), std::string::npos) << fehler.what();
        EXPECT_FALSE(fehler.VerbindungWeg());
    }
    postgres->Abfrage("DELETE FROM schema_version WHERE version = 2");
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
