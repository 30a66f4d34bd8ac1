// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The connection's thread and the hand-over both ways, against a listener that plays the
// broker byte by byte: no other program runs, so ThreadSanitizer sees every step.
#include "Lauscher.h"
#include "Warten.h"

#include "mqtt/MqttVerbindung.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

bool Enthaelt(TLauscher& lauscher, const std::string& text) {
    return lauscher.Empfangen().value_or("").find(text) != std::string::npos;
}

// A PUBLISH at QoS 0 of MQTT 5 (no properties) from the broker to the client.
std::string Publish(const std::string& thema, const std::string& inhalt) {
    std::string paket(1, '\x30');
    paket += static_cast<char>(2 + thema.size() + 1 + inhalt.size());
    paket += static_cast<char>(thema.size() >> 8);
    paket += static_cast<char>(thema.size() & 0xFF);
    return paket + thema + '\0' + inhalt;
}

// Connecting, a message each way, and the last words before the end: the owner's calls reach
// the client in order, the client's callbacks come back as signals in the owner's thread, and
// the last words leave before the destroyed connection's thread ends.
TEST(MqttFaden, HinUndZurueckUndLetzteWorte) {
    TLauscher broker;
    TMqttZugang zugang;
    zugang.Adresse = TBrokerAdresse{false, "127.0.0.1", broker.Port()};
    zugang.ClientId = "faden";
    zugang.WillThema = "quorlits/v1/bank1/m/status";
    zugang.WillInhalt = "abgerissen";
    auto verbindung = std::make_unique<TMqttVerbindung>(zugang);
    std::vector<std::string> erhalten;
    bool verbunden = false;
    QObject::connect(verbindung.get(), &TMqttVerbindung::Verbunden, verbindung.get(),
                     [&](bool) { verbunden = true; });
    QObject::connect(verbindung.get(), &TMqttVerbindung::NachrichtErhalten, verbindung.get(),
                     [&](const std::string& thema, const std::string& inhalt, bool) {
                         erhalten.push_back(thema + "=" + inhalt);
                     });
    EXPECT_FALSE(verbindung->Veroeffentlichen("quorlits/v1/x", "zu-frueh", 0, false));
    verbindung->Verbinden();
    ASSERT_TRUE(WartenBis([&] { return Enthaelt(broker, "faden"); })); // its CONNECT
    ASSERT_TRUE(broker.Senden(std::string("\x20\x03\x00\x00\x00", 5)));
    ASSERT_TRUE(WartenBis([&] { return verbunden; }));
    EXPECT_TRUE(verbindung->IstVerbunden());
    EXPECT_EQ(verbindung->Protokoll(), 5);

    for (int i = 0; i < 100; ++i) {
        EXPECT_TRUE(
            verbindung->Veroeffentlichen("quorlits/v1/x", "wert-" + std::to_string(i), 0, false));
    }
    ASSERT_TRUE(WartenBis([&] { return Enthaelt(broker, "wert-99"); }));
    const std::string gesendet = broker.Empfangen().value_or("");
    EXPECT_LT(gesendet.find("wert-0"), gesendet.find("wert-50"));
    EXPECT_LT(gesendet.find("wert-50"), gesendet.find("wert-99"));

    ASSERT_TRUE(broker.Senden(Publish("quorlits/v1/bank1/m/ack", "{}")));
    ASSERT_TRUE(WartenBis([&] { return !erhalten.empty(); }));
    EXPECT_EQ(erhalten, std::vector<std::string>{"quorlits/v1/bank1/m/ack={}"});

    verbindung->Trennen("offline");
    EXPECT_FALSE(verbindung->IstVerbunden());
    verbindung.reset();
    const std::string zuletzt = broker.Empfangen().value_or("");
    EXPECT_NE(zuletzt.find("offline"), std::string::npos);
    EXPECT_EQ(zuletzt.back(), '\0'); // DISCONNECT (0xE0, length 0) ends it
    EXPECT_EQ(zuletzt[zuletzt.size() - 2], '\xE0');
}

} // namespace
