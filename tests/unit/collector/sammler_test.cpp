// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// A measurement's readings through the publisher, a real Mosquitto and the collector into a
// real PostgreSQL, each reading exactly once, while the broker, the database and the collector
// go away in turn.
#include "Beispiele.h"
#include "Dienste.h"
#include "VeroeffentlichenRig.h"

#include "collector/Sammler.h"
#include "mqtt/Nutzlast.h"
#include "mqtt/Themen.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>

namespace {

// A broker and a database of their own for each test.
class Sammler : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(MosquittoDa() && PostgresDa()) << "scripts/deps.sh installs both";
        ASSERT_TRUE(broker.Starten());
        ASSERT_TRUE(postgres.Starten());
    }

    TMosquitto broker;
    TPostgres postgres;
};

// The readings' values in the table, in the order of their seq, as "1.01 1.02 ...".
std::string Werte(const TPostgres& postgres) {
    return postgres.Abfrage("SELECT string_agg(to_char(value, 'FM0.00'), ' ' ORDER BY seq) "
                            "FROM readings");
}

std::string Erwartet(int anzahl) {
    std::string text;
    for (int i = 1; i <= anzahl; ++i) {
        char wert[16];
        std::snprintf(wert, sizeof wert, "%d.%02d", 1 + i / 100, i % 100);
        text += (text.empty() ? "" : " ") + std::string(wert);
    }
    return text;
}

TEST_F(Sammler, JederMesswertGenauEinmalTrotzAusfaellen) {
    auto sammler = SammlerStarten(broker, postgres);
    TVeroeffentlichenRig rig(broker.Url());
    rig.publisher->WartezeitSetzen(300);
    rig.Starten();
    auto alleQuittiert = [&] { return rig.publisher->Wartend() == 0; };

    ASSERT_TRUE(rig.Empfangen(10, 1));
    ASSERT_TRUE(WartenBis(alleQuittiert));
    // The broker dies without saving anything; readings meanwhile wait in the outbox.
    broker.Beenden(SIGKILL);
    ASSERT_TRUE(rig.Empfangen(10, 11));
    ASSERT_TRUE(broker.Starten());
    ASSERT_TRUE(rig.Empfangen(10, 21));
    ASSERT_TRUE(WartenBis(alleQuittiert));
    // The database restarts under the collector.
    ASSERT_TRUE(postgres.Neustarten());
    ASSERT_TRUE(rig.Empfangen(10, 31));
    ASSERT_TRUE(WartenBis(alleQuittiert));
    // The collector goes without committing what it holds, and comes back.
    ASSERT_TRUE(rig.Empfangen(10, 41));
    sammler.reset();
    ASSERT_TRUE(rig.Empfangen(10, 51));
    sammler = SammlerStarten(broker, postgres);
    ASSERT_TRUE(WartenBis(alleQuittiert));

    EXPECT_EQ(Werte(postgres), Erwartet(60));
    EXPECT_EQ(postgres.Abfrage("SELECT count(*) || ' ' || count(DISTINCT seq) FROM readings"),
              "60 60");
    EXPECT_EQ(postgres.Abfrage("SELECT string_agg(event, ' ' ORDER BY seq) FROM events"),
              "start saving_on");
    EXPECT_EQ(postgres.Abfrage("SELECT count(*) FROM rejected"), "0");
}

// Two collectors share the subscription; each message goes to one of them, and the
// acknowledgements of both together cover every reading.
TEST_F(Sammler, ZweiTeilenSichDieArbeit) {
    auto eins = SammlerStarten(broker, postgres, "sammler-1", "quorlits");
    auto zwei = SammlerStarten(broker, postgres, "sammler-2", "quorlits");
    TVeroeffentlichenRig rig(broker.Url());
    rig.publisher->WartezeitSetzen(300);
    rig.Starten();
    for (int runde = 0; runde < 4; ++runde) {
        ASSERT_TRUE(rig.Empfangen(10, 1 + 10 * runde));
    }
    ASSERT_TRUE(WartenBis([&] { return rig.publisher->Wartend() == 0; }));
    EXPECT_EQ(Werte(postgres), Erwartet(40));
    EXPECT_EQ(postgres.Abfrage("SELECT count(*) FROM readings"), "40");
}

// The payload of reading `seq` of measurement "m".
std::string Nutzlast(std::uint64_t seq) {
    return MesswertNutzlast(TNachrichtKopf{"m", seq, "/dev/ttyUSB0"}, BeispielMesswert(0));
}

// While a statement of the collector waits for a lock in the database, its MQTT session goes on
// taking messages; once the lock goes, all of them are committed and acknowledged.
TEST_F(Sammler, WartendeDatenbankHaeltDieSitzungNichtAuf) {
    auto sammler = SammlerStarten(broker, postgres);
    TMitleser bank(broker.Port());
    ASSERT_TRUE(bank.Abonniert());
    const std::string quittung = Thema("bank1", "meter", TThemenArt::Quittung);
    const auto senden = [&](std::uint64_t von, std::uint64_t bis) {
        for (std::uint64_t seq = von; seq <= bis; ++seq) {
            bank.verbindung->Veroeffentlichen(Thema("bank1", "meter", TThemenArt::Messwert),
                                              Nutzlast(seq), 1, false);
        }
    };
    const auto quittiert = [&](const std::string& erwartet,
                               std::chrono::seconds grenze = std::chrono::seconds(30)) {
        return WartenBis(
            [&] {
                const auto& acks = bank.Nachrichten[quittung];
                return !acks.empty() && acks.back() == erwartet;
            },
            grenze);
    };
    // The collector subscribes once it is connected; a message sent before finds nobody at the
    // broker, so the first one goes again until it is acknowledged.
    bool erstes = false;
    for (int versuch = 0; versuch < 30 && !erstes; ++versuch) {
        senden(1, 1);
        erstes = quittiert(R"({"m":1})", std::chrono::seconds(1));
    }
    ASSERT_TRUE(erstes);

    const auto sperre =
        postgres.ImHintergrund("BEGIN; LOCK TABLE readings; SELECT pg_sleep(60); COMMIT;");
    ASSERT_TRUE(WartenBis([&] {
        return postgres.Abfrage(
                   "SELECT count(*) FROM pg_locks WHERE granted AND "
                   "relation = 'readings'::regclass AND mode = 'AccessExclusiveLock'") == "1";
    }));
    senden(2, 11);
    ASSERT_TRUE(WartenBis([&] {
        return postgres.Abfrage("SELECT count(*) FROM pg_stat_activity "
                                "WHERE wait_event_type = 'Lock'") == "1";
    })) << "the collector's insert waits for the lock";
    senden(12, 15);
    EXPECT_TRUE(WartenBis([&] { return sammler->Wartend() == 14; }));
    postgres.Abfrage("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                     "WHERE query LIKE '%pg_sleep%' AND pid <> pg_backend_pid()");
    ASSERT_TRUE(quittiert(R"({"m":15})"));
    EXPECT_EQ(sammler->Wartend(), 0U);
    EXPECT_EQ(postgres.Abfrage("SELECT count(*) FROM readings"), "15");
}

} // namespace
