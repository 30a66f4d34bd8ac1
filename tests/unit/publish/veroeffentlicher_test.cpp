// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The publisher against a real Mosquitto: what goes out, what the outbox keeps and drops, and
// what is sent again after the broker went away or acknowledgements stopped.
#include "Dienste.h"
#include "VeroeffentlichenRig.h"

#include "mqtt/Themen.h"
#include "mqtt/VerbindungsPruefung.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <set>

namespace {

QJsonObject Json(const std::string& text) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
}

std::vector<qint64> Seqs(const std::vector<std::string>& nachrichten) {
    std::vector<qint64> seqs;
    for (const std::string& n : nachrichten) {
        seqs.push_back(Json(n).value("seq").toInteger());
    }
    return seqs;
}

class Veroeffentlicher : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(MosquittoDa()) << "mosquitto is missing: scripts/deps.sh installs it";
        ASSERT_TRUE(broker.Starten());
    }

    std::string Thema(TThemenArt art) const { return ::Thema("bank1", "/dev/ttyFAKE0", art); }

    TMosquitto broker;
};

TEST_F(Veroeffentlicher, SendetJedenMesswertUndVergisstDasQuittierte) {
    TVeroeffentlichenRig rig(broker.Url());
    TMitleser mitleser(broker.Port());
    ASSERT_TRUE(mitleser.Abonniert());
    rig.Starten();
    ASSERT_TRUE(rig.Empfangen(5));
    auto& messwerte = mitleser.Nachrichten[Thema(TThemenArt::Messwert)];
    auto& ereignisse = mitleser.Nachrichten[Thema(TThemenArt::Ereignis)];
    ASSERT_TRUE(WartenBis([&] { return messwerte.size() >= 5 && ereignisse.size() >= 2; }));
    EXPECT_EQ(Seqs(ereignisse), (std::vector<qint64>{1, 2}));
    EXPECT_EQ(Seqs(messwerte), (std::vector<qint64>{3, 4, 5, 6, 7}));
    const QJsonObject erster = Json(messwerte.front());
    EXPECT_EQ(erster.value("value").toDouble(), 1.01);
    EXPECT_EQ(erster.value("raw").toString(), QString::fromUtf8(" 1.01 pH   25.0 °C"));
    EXPECT_EQ(erster.value("data_file").toString(), QString::fromStdString(rig.Pfad("daten.txt")));
    EXPECT_EQ(erster.value("line").toInteger(), 2) << "after the header line";
    EXPECT_EQ(Json(messwerte.back()).value("line").toInteger(), 6);
    EXPECT_EQ(erster.value("operator").toString().toStdString(), rig.messung->Angaben().Bediener);
    EXPECT_FALSE(erster.contains("chain")) << "no trail is kept";
    EXPECT_EQ(Json(ereignisse[1]).value("event").toString(), "saving_on");
    ASSERT_TRUE(
        WartenBis([&] { return !mitleser.Nachrichten[Thema(TThemenArt::Zustand)].empty(); }));
    EXPECT_EQ(Json(mitleser.Nachrichten[Thema(TThemenArt::Zustand)].back()).value("status"),
              "online");

    EXPECT_EQ(rig.publisher->Wartend(), 7U);
    const QString messung = erster.value("measurement").toString();
    QJsonObject quittung;
    quittung.insert(messung, 6);
    mitleser.verbindung->Veroeffentlichen(Thema(TThemenArt::Quittung),
                                          QJsonDocument(quittung).toJson().toStdString(), 1, true);
    ASSERT_TRUE(WartenBis([&] { return rig.publisher->Wartend() == 1; }));
    EXPECT_TRUE(rig.publisher->Zustand().startsWith("verbunden, 1 Messwerte warten"))
        << rig.publisher->Zustand().toStdString();

    // A restart of the program sends the one left, and the retained acknowledgement drops
    // nothing more.
    rig.messung->Schluss();
    rig.Neu();
    rig.Starten();
    ASSERT_TRUE(WartenBis([&] { return Seqs(messwerte).back() == 7 && messwerte.size() == 6; }));
    rig.publisher.reset();
    ASSERT_TRUE(WartenBis([&] {
        return Json(mitleser.Nachrichten[Thema(TThemenArt::Zustand)].back()).value("status") ==
               "offline";
    }));
}

// A saved reading's message is ahead of its line: in the outbox when the line is written (a
// crash between the two writes leaves no line without its message), and on the disk when the
// data file is synced (a power cut neither), not only by the outbox's own timer.
TEST_F(Veroeffentlicher, NachrichtVorDerZeile) {
    TVeroeffentlichenRig rig(broker.Url());
    std::vector<std::size_t> wartendBeimSchreiben;
    rig.zustand.Speicher.Datendatei.Beobachten(
        [&](std::string_view) { wartendBeimSchreiben.push_back(rig.publisher->Wartend()); }, {});
    rig.Starten();
    ASSERT_TRUE(rig.Empfangen(3));
    // Start and saving on, then each reading.
    EXPECT_EQ(wartendBeimSchreiben, (std::vector<std::size_t>{3, 4, 5}));

    int naechster = 4;
    // On a slow machine the outbox's own timer may have saved it meanwhile: a reading more.
    ASSERT_TRUE(WartenBis(
        [&] { return rig.Empfangen(1, naechster++) && rig.publisher->AusgangUngesichert(); }));
    auto* takt = rig.messung->findChild<QTimer*>(QStringLiteral("Synctakt"));
    ASSERT_NE(takt, nullptr);
    ASSERT_TRUE(QMetaObject::invokeMethod(takt, "timeout"));
    EXPECT_FALSE(rig.publisher->AusgangUngesichert());
}

// The broker goes away: readings wait in the outbox, the state line says so, and all of them
// arrive in order once it is back.
TEST_F(Veroeffentlicher, BrokerWegUndWieder) {
    TVeroeffentlichenRig rig(broker.Url());
    TMitleser mitleser(broker.Port());
    ASSERT_TRUE(mitleser.Abonniert());
    rig.Starten();
    ASSERT_TRUE(rig.Empfangen(3));
    auto& messwerte = mitleser.Nachrichten[Thema(TThemenArt::Messwert)];
    ASSERT_TRUE(WartenBis([&] { return messwerte.size() == 3; }));
    broker.Beenden(SIGTERM);
    ASSERT_TRUE(WartenBis([&] { return !rig.publisher->IstVerbunden(); }));
    ASSERT_TRUE(rig.Empfangen(4, 4));
    EXPECT_TRUE(rig.publisher->Zustand().startsWith("getrennt seit 16:53:34 ("))
        << rig.publisher->Zustand().toStdString();
    EXPECT_TRUE(rig.publisher->Zustand().endsWith(", 9 Messwerte warten"))
        << rig.publisher->Zustand().toStdString();
    ASSERT_TRUE(broker.Starten());
    // Sent again from the first unacknowledged one, in order.
    ASSERT_TRUE(WartenBis([&] { return !messwerte.empty() && Seqs(messwerte).back() == 9; }));
    const std::vector<qint64> seqs = Seqs(messwerte);
    EXPECT_EQ(std::vector<qint64>(seqs.end() - 7, seqs.end()),
              (std::vector<qint64>{3, 4, 5, 6, 7, 8, 9}));
}

// Acknowledgements stop coming (the collector lost what the broker handed it): everything
// unacknowledged goes out again after the wait, from the first.
TEST_F(Veroeffentlicher, SendetOhneQuittungNochEinmal) {
    TVeroeffentlichenRig rig(broker.Url());
    rig.publisher->WartezeitSetzen(200);
    TMitleser mitleser(broker.Port());
    ASSERT_TRUE(mitleser.Abonniert());
    rig.Starten();
    ASSERT_TRUE(rig.Empfangen(2));
    auto& messwerte = mitleser.Nachrichten[Thema(TThemenArt::Messwert)];
    ASSERT_TRUE(WartenBis([&] { return messwerte.size() >= 4; }));
    EXPECT_EQ(Seqs(messwerte)[2], 3);
    EXPECT_EQ(Seqs(messwerte)[3], 4);
}

// "Verbindung prüfen" tells what happened, in German, once: the broker, a port where nothing
// listens, an address that is none.
TEST_F(Veroeffentlicher, VerbindungPruefen) {
    TVerbindungsPruefung pruefung;
    std::vector<std::pair<bool, QString>> ergebnisse;
    QObject::connect(
        &pruefung, &TVerbindungsPruefung::Ergebnis, &pruefung,
        [&](bool erfolg, const QString& text) { ergebnisse.emplace_back(erfolg, text); });
    TVeroeffentlichenEinstellungen e;
    e.Server = broker.Url();
    pruefung.Pruefen(e);
    ASSERT_TRUE(WartenBis([&] { return ergebnisse.size() == 1; }));
    EXPECT_TRUE(ergebnisse[0].first);
    EXPECT_EQ(ergebnisse[0].second,
              QString::fromStdString("Verbindung zu " + broker.Url() + " steht (MQTT 5)."));
    e.Server = "mqtt://127.0.0.1:" + std::to_string(FreierPort());
    pruefung.Pruefen(e);
    ASSERT_TRUE(WartenBis([&] { return ergebnisse.size() == 2; }));
    EXPECT_FALSE(ergebnisse[1].first);
    EXPECT_EQ(ergebnisse[1].second,
              QString::fromStdString("Keine Verbindung zu " + e.Server +
                                     ": der Server nimmt keine Verbindung an."));
    e.Server = "broker:1883";
    pruefung.Pruefen(e);
    ASSERT_EQ(ergebnisse.size(), 3U);
    EXPECT_TRUE(ergebnisse[2].second.contains("mqtt://Rechner:1883"))
        << ergebnisse[2].second.toStdString();
    EXPECT_FALSE(pruefung.Laeuft());
}

// Switched on in the middle of a measurement (the window's dialog): the publisher begins with
// a start and the saving, then the readings.
TEST_F(Veroeffentlicher, UebernimmtEineLaufendeMessung) {
    TVeroeffentlichenRig rig(broker.Url());
    TMitleser mitleser(broker.Port());
    ASSERT_TRUE(mitleser.Abonniert());
    rig.publisher.reset();
    rig.Starten();
    ASSERT_TRUE(rig.Empfangen(2));
    rig.Neu();
    ASSERT_TRUE(rig.Empfangen(2, 3));
    auto& messwerte = mitleser.Nachrichten[Thema(TThemenArt::Messwert)];
    auto& ereignisse = mitleser.Nachrichten[Thema(TThemenArt::Ereignis)];
    ASSERT_TRUE(WartenBis([&] { return messwerte.size() >= 2 && ereignisse.size() >= 2; }));
    EXPECT_EQ(Seqs(messwerte), (std::vector<qint64>{3, 4}));
    EXPECT_EQ(Json(ereignisse[0]).value("event").toString(), "start");
    EXPECT_EQ(Json(ereignisse[1]).value("event").toString(), "saving_on");
    EXPECT_EQ(Json(messwerte[0]).value("value").toDouble(), 1.03);
}

// The bytes of the outbox's segments.
std::uintmax_t Groesse(const std::filesystem::path& ordner) {
    std::uintmax_t groesse = 0;
    for (const auto& eintrag : std::filesystem::directory_iterator(ordner)) {
        groesse += eintrag.path().extension() == ".seg" ? eintrag.file_size() : 0;
    }
    return groesse;
}

// A full outbox is told once while the broker is away, and the newest readings are kept. What
// it dropped goes out as one gap event, so the readings and events that arrive and the gap
// cover every seq: the collector's acknowledgement of the last one empties the outbox.
TEST_F(Veroeffentlicher, VollerAusgangWirdEinmalGemeldetUndLeertSichDanach) {
    broker.Beenden(SIGTERM);
    TVeroeffentlichenRig rig(broker.Url());
    rig.veroeffentlichen.OutboxGrenze = 8 * 1024;
    rig.Neu();
    rig.publisher->WartezeitSetzen(200);
    std::vector<QString> voll;
    QObject::connect(rig.publisher.get(), &TVeroeffentlicher::AusgangVoll, rig.publisher.get(),
                     [&](const QString& text) { voll.push_back(text); });
    rig.Starten();
    for (int runde = 0; runde < 10; ++runde) {
        ASSERT_TRUE(rig.Empfangen(10, 1 + 10 * runde));
    }
    ASSERT_EQ(voll.size(), 1U);
    EXPECT_TRUE(voll[0].contains("OutboxGrenze")) << voll[0].toStdString();
    EXPECT_TRUE(voll[0].contains(": seq 1 bis ")) << voll[0].toStdString();
    EXPECT_GT(rig.publisher->Wartend(), 0U);
    EXPECT_LT(rig.publisher->Wartend(), 100U);
    EXPECT_LE(Groesse(rig.publisher->AusgangsOrdner()), 8U * 1024U);

    ASSERT_TRUE(broker.Starten());
    TMitleser mitleser(broker.Port());
    ASSERT_TRUE(mitleser.Abonniert());
    auto& ereignisse = mitleser.Nachrichten[Thema(TThemenArt::Ereignis)];
    auto& messwerte = mitleser.Nachrichten[Thema(TThemenArt::Messwert)];
    std::set<qint64> da;
    QJsonObject luecke;
    // Start, saving on and 100 readings: seq 1 to 102, sent again until acknowledged.
    ASSERT_TRUE(WartenBis([&] {
        for (const auto* nachrichten : {&ereignisse, &messwerte}) {
            for (const std::string& text : *nachrichten) {
                const QJsonObject json = Json(text);
                const bool istLuecke = json.value("event") == "gap";
                luecke = istLuecke ? json : luecke;
                for (qint64 seq = istLuecke ? json.value("from_seq").toInteger()
                                            : json.value("seq").toInteger();
                     seq <= json.value("seq").toInteger(); ++seq) {
                    da.insert(seq);
                }
            }
        }
        return da.size() == 102 && *da.rbegin() == 102;
    }));
    ASSERT_FALSE(luecke.isEmpty());
    const qint64 bis = luecke.value("to_seq").toInteger();
    EXPECT_EQ(luecke.value("from_seq").toInteger(), 1);
    EXPECT_EQ(luecke.value("seq").toInteger(), bis);
    EXPECT_EQ(luecke.value("reason").toString(), "Ausgang voll");
    EXPECT_EQ(luecke.value("detail").toString(),
              QStringLiteral("seq 1 bis %1 verworfen: Ausgang voll").arg(bis));
    TNachrichtKennung kennung;
    std::string fehler;
    EXPECT_TRUE(
        NutzlastPruefen(QJsonDocument(luecke).toJson().toStdString(), true, kennung, fehler))
        << fehler;

    QJsonObject quittung;
    quittung.insert(luecke.value("measurement").toString(), 102);
    mitleser.verbindung->Veroeffentlichen(Thema(TThemenArt::Quittung),
                                          QJsonDocument(quittung).toJson().toStdString(), 1, true);
    ASSERT_TRUE(WartenBis([&] { return rig.publisher->Wartend() == 0; }));
}

} // namespace
