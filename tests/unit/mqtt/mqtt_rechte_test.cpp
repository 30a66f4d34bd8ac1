// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The broker set-up of docs/mqtt.md against a real Mosquitto, with its ACL file as it stands in
// docs/.
#include "Dienste.h"
#include "Warten.h"

#include "mqtt/MqttVerbindung.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <mosquitto.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A connection of `benutzer` that subscribes to `filter` and keeps what arrives, by topic.
class TTeilnehmer {
public:
    TTeilnehmer(int port, const std::string& benutzer, std::vector<std::string> filter) {
        TMqttZugang zugang;
        zugang.Adresse = TBrokerAdresse{false, "127.0.0.1", port};
        zugang.Benutzer = benutzer;
        zugang.Passwort = "pw-" + benutzer;
        zugang.ClientId = "test-" + benutzer;
        Verbindung = std::make_unique<TMqttVerbindung>(zugang);
        TMqttVerbindung* v = Verbindung.get();
        QObject::connect(v, &TMqttVerbindung::Verbunden, v, [v, filter](bool) {
            for (const std::string& f : filter) {
                v->Abonnieren(f, 1);
            }
        });
        QObject::connect(v, &TMqttVerbindung::NachrichtErhalten, v,
                         [this](const std::string& thema, const std::string& inhalt, bool) {
                             Nachrichten[thema].push_back(inhalt);
                         });
        v->Verbinden();
    }

    bool Erhalten(const std::string& thema, const std::string& inhalt) const {
        const auto it = Nachrichten.find(thema);
        return it != Nachrichten.end() &&
               std::find(it->second.begin(), it->second.end(), inhalt) != it->second.end();
    }

    std::unique_ptr<TMqttVerbindung> Verbindung;
    std::map<std::string, std::vector<std::string>> Nachrichten;
};

// The reason code of the broker's PUBACK (MQTT 5) for a QoS 1 message of `benutzer`; -1 when
// none came. libmosquitto directly, as TMqttVerbindung does not tell PUBACKs.
int PubackGrund(int port, const std::string& benutzer, const std::string& thema,
                const std::string& inhalt) {
    int grund = -1;
    mosquitto* m = mosquitto_new(("roh-" + benutzer).c_str(), true, &grund);
    EXPECT_NE(m, nullptr);
    EXPECT_EQ(mosquitto_int_option(m, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V5), 0);
    EXPECT_EQ(mosquitto_username_pw_set(m, benutzer.c_str(), ("pw-" + benutzer).c_str()), 0);
    mosquitto_publish_v5_callback_set(
        m, [](mosquitto*, void* ziel, int, int rc, const mqtt5__property*) {
            *static_cast<int*>(ziel) = rc;
        });
    EXPECT_EQ(mosquitto_connect(m, "127.0.0.1", port, 30), 0);
    EXPECT_EQ(mosquitto_publish(m, nullptr, thema.c_str(), static_cast<int>(inhalt.size()),
                                inhalt.data(), 1, false),
              0);
    for (int i = 0; i < 100 && grund < 0; ++i) {
        mosquitto_loop(m, 100, 1);
    }
    mosquitto_destroy(m);
    return grund;
}

// The set-up of docs/mqtt.md: two benches and the collector, each with its password, and the
// ACL file of docs/ as it stands.
TEST(MqttRechte, JederArbeitsplatzNurSeineThemen) {
    ASSERT_TRUE(MosquittoDa()) << "mosquitto is missing: scripts/deps.sh installs it";
    ASSERT_EQ(mosquitto_lib_init(), MOSQ_ERR_SUCCESS);
    QTemporaryDir ordner;
    const fs::path passwoerter = ordner.filePath("quorlits.passwd").toStdString();
    for (const char* benutzer : {"bank1", "bank2", "sammler"}) {
        ASSERT_TRUE(MosquittoBenutzer(passwoerter, benutzer, std::string("pw-") + benutzer));
    }
    TMosquitto broker(TBrokerRechte{passwoerter, fs::path(QUORLITS_TEST_DATA_DIR) /
                                                     "../../docs/mosquitto/quorlits.acl"});
    ASSERT_TRUE(broker.Starten());
    const std::string vorsatz = "quorlits/v1/";

    TTeilnehmer sammler(broker.Port(), "sammler", {"quorlits/v1/#"});
    ASSERT_TRUE(WartenBis([&] { return sammler.Verbindung->IstVerbunden(); }));
    // The collector's acknowledgements, retained, for both benches.
    for (const char* bank : {"bank1", "bank2"}) {
        sammler.Verbindung->Veroeffentlichen(vorsatz + bank + "/m/ack", std::string("q-") + bank, 1,
                                             true);
    }
    ASSERT_TRUE(WartenBis([&] { return sammler.Erhalten(vorsatz + "bank2/m/ack", "q-bank2"); }));

    // What bench 1 sends, and the PUBACK of Mosquitto 2.0 over MQTT 5: 0 or 135 (not
    // authorized), the message dropped.
    struct TFall {
        std::string Thema;
        int Grund;
    };
    const std::vector<TFall> faelle{{vorsatz + "bank2/m/reading", 135},
                                    {vorsatz + "bank1/m/ack", 135},
                                    {vorsatz + "bank1/m/reading", 0}};
    for (const TFall& fall : faelle) {
        EXPECT_EQ(PubackGrund(broker.Port(), "bank1", fall.Thema, "von-bank1"), fall.Grund)
            << fall.Thema;
    }
    // The last one allowed arrives; what came before it on the same connection would have too.
    ASSERT_TRUE(
        WartenBis([&] { return sammler.Erhalten(vorsatz + "bank1/m/reading", "von-bank1"); }));
    EXPECT_FALSE(sammler.Erhalten(vorsatz + "bank2/m/reading", "von-bank1"));
    EXPECT_FALSE(sammler.Erhalten(vorsatz + "bank1/m/ack", "von-bank1"));

    // Bench 1 reads its own acknowledgement, not bench 2's: the retained messages come in the
    // order of the subscriptions.
    TTeilnehmer bank1(broker.Port(), "bank1", {vorsatz + "bank2/m/ack", vorsatz + "bank1/m/ack"});
    ASSERT_TRUE(WartenBis([&] { return bank1.Erhalten(vorsatz + "bank1/m/ack", "q-bank1"); }));
    EXPECT_EQ(bank1.Nachrichten.count(vorsatz + "bank2/m/ack"), 0U);
}

} // namespace
