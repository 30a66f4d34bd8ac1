// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// Publishing to a broker that takes only TLS with its CA's certificate, and only a known user
// with the right password.
#include "Dienste.h"
#include "Lauscher.h"
#include "VeroeffentlichenRig.h"

#include "mqtt/Themen.h"
#include "mqtt/VerbindungsPruefung.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <sys/stat.h>
#include <vector>

namespace {

class MqttTls : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(MosquittoDa()) << "mosquitto is missing: scripts/deps.sh installs it";
        ASSERT_TRUE(broker.Starten());
        passwortDatei = ordner.filePath("pw").toStdString();
        std::ofstream(passwortDatei) << "geheim\n";
        ::chmod(passwortDatei.c_str(), 0600);
        e.Server = broker.Url();
        e.Benutzer = "bank1";
        e.PasswortDatei = passwortDatei;
        e.CaDatei = broker.CaDatei();
    }

    // The outcome of "Verbindung prüfen" with `e`.
    std::string Pruefen() {
        TVerbindungsPruefung pruefung;
        QString text;
        QObject::connect(&pruefung, &TVerbindungsPruefung::Ergebnis, &pruefung,
                         [&](bool, const QString& ergebnis) { text = ergebnis; });
        pruefung.Pruefen(e);
        EXPECT_TRUE(WartenBis([&] { return !text.isEmpty(); }));
        return text.toStdString();
    }

    TMosquitto broker{TBrokerZugang{true, "bank1", "geheim"}};
    QTemporaryDir ordner;
    std::string passwortDatei;
    TVeroeffentlichenEinstellungen e;
};

TEST_F(MqttTls, AnmeldungUndZertifikat) {
    const std::string server = broker.Url();
    EXPECT_EQ(Pruefen(), "Verbindung zu " + server + " steht (MQTT 5).");
    std::ofstream(passwortDatei) << "falsch\n";
    EXPECT_EQ(Pruefen(), "Keine Verbindung zu " + server +
                             ": der Server lehnt die Anmeldung ab (Benutzer oder "
                             "Passwort falsch, oder nicht berechtigt).");
    std::ofstream(passwortDatei) << "geheim\n";
    // A CA that did not sign the broker's certificate.
    ASSERT_TRUE(TestCaAnlegen(ordner.path().toStdString()));
    e.CaDatei = ordner.filePath("ca.pem").toStdString();
    EXPECT_EQ(Pruefen().rfind("Keine Verbindung zu " + server + ": TLS scheitert", 0), 0U);
}

// Settings that would connect without the TLS or the login asked for, or cannot log in at all:
// told with the file or server, and no TCP connection is made, not even a minute later.
// Running as root, chmod 000 does not stop reading: a CA path that is a folder stands for a
// file that cannot be read. The last row shows that the listener sees what a client sends.
TEST_F(MqttTls, UnbrauchbarerZugangVerbindetNicht) {
    struct TFall {
        const char* Name;
        std::function<void(TMqttZugang&)> Aendern;
        std::string Grund; // empty: the login goes out over plain TCP, as asked
    };
    const std::string fehlt = ordner.filePath("fehlt").toStdString();
    const std::string keinPem = ordner.filePath("kein.pem").toStdString();
    std::ofstream(keinPem) << "kein Zertifikat\n";
    const std::string ordnerPfad = ordner.path().toStdString();
    const std::vector<TFall> faelle{
        {"CA fehlt", [&](TMqttZugang& z) { z.CaDatei = fehlt; },
         "Die CA-Datei " + fehlt + " lässt sich nicht lesen (Datei nicht gefunden)"},
        {"CA nicht lesbar", [&](TMqttZugang& z) { z.CaDatei = ordnerPfad; },
         "Die CA-Datei " + ordnerPfad + " ist keine Datei"},
        {"CA ohne Zertifikat", [&](TMqttZugang& z) { z.CaDatei = keinPem; },
         "Die CA-Datei " + keinPem + " enthält kein Zertifikat im PEM-Format"},
        {"Passwortdatei fehlt", [&](TMqttZugang& z) { z.PasswortDatei = fehlt; },
         "Die Passwortdatei " + fehlt + " lässt sich nicht lesen"},
        {"Benutzer ohne Passwort", [](TMqttZugang& z) { z.PasswortDatei.clear(); },
         "Für den Benutzer „bank1“ ist kein Passwort da"},
        {"CA ohne TLS", [](TMqttZugang& z) { z.Adresse.Tls = false; },
         "der Server mqtt://127.0.0.1:"},
        {"Klartext gewollt", [](TMqttZugang& z) { z.Adresse.Tls = false, z.CaDatei.clear(); }, ""},
    };
    for (const TFall& fall : faelle) {
        SCOPED_TRACE(fall.Name);
        TLauscher lauscher;
        TMqttZugang zugang = ZugangAus(e);
        zugang.Adresse.Port = lauscher.Port();
        fall.Aendern(zugang);
        TMqttVerbindung verbindung(zugang);
        std::vector<QString> gruende;
        QObject::connect(&verbindung, &TMqttVerbindung::Getrennt, &verbindung,
                         [&](const QString& grund) { gruende.push_back(grund); });
        verbindung.Verbinden();
        if (fall.Grund.empty()) {
            EXPECT_TRUE(WartenBis([&] {
                return lauscher.Empfangen().value_or("").find("geheim") != std::string::npos;
            }));
            continue;
        }
        ASSERT_TRUE(WartenBis([&] { return !gruende.empty(); }));
        EXPECT_NE(gruende.front().toStdString().find(fall.Grund), std::string::npos)
            << gruende.front().toStdString();
        // An ordinary retry would come after 0.5 to 1 s.
        QTest::qWait(1500);
        EXPECT_EQ(gruende.size(), 1U);
        EXPECT_EQ(lauscher.Empfangen(), std::nullopt);
    }
}

// A CA file the logger cannot read stops publishing alone: the readings go on, and the
// publisher's state line and its message say why.
TEST_F(MqttTls, OhneCaGehtDieMessungWeiter) {
    TVeroeffentlichenRig rig(broker.Url());
    rig.veroeffentlichen = e;
    rig.veroeffentlichen.CaDatei = ordner.filePath("fehlt").toStdString();
    rig.Neu();
    std::vector<QString> meldungen;
    QObject::connect(rig.publisher.get(), &TVeroeffentlicher::Meldung, rig.publisher.get(),
                     [&](const QString& text) { meldungen.push_back(text); });
    rig.Starten();
    ASSERT_TRUE(rig.Empfangen(3));
    ASSERT_TRUE(WartenBis([&] { return !meldungen.empty(); }));
    const std::string erwartet = "Die CA-Datei " + rig.veroeffentlichen.CaDatei;
    EXPECT_NE(meldungen.front().toStdString().find(erwartet), std::string::npos)
        << meldungen.front().toStdString();
    EXPECT_NE(rig.publisher->Zustand().toStdString().find(erwartet), std::string::npos);
    EXPECT_EQ(rig.publisher->Wartend(), 5U); // begin, saving on, three readings
}

// Readings go through TLS both ways, driven by the socket notifiers alone.
TEST_F(MqttTls, MesswerteUeberTls) {
    TMqttZugang zugang;
    zugang.Adresse = BrokerAdresseLesen(broker.Url());
    zugang.Benutzer = "bank1";
    zugang.Passwort = "geheim";
    zugang.CaDatei = broker.CaDatei();
    TMitleser mitleser(zugang);
    ASSERT_TRUE(mitleser.Abonniert());
    TVeroeffentlichenRig rig(broker.Url());
    rig.veroeffentlichen = e;
    rig.veroeffentlichen.Arbeitsplatz = "bank1";
    rig.Neu();
    rig.Starten();
    ASSERT_TRUE(rig.Empfangen(200));
    auto& messwerte = mitleser.Nachrichten[Thema("bank1", "/dev/ttyFAKE0", TThemenArt::Messwert)];
    ASSERT_TRUE(WartenBis([&] { return messwerte.size() >= 200; }));
    EXPECT_TRUE(rig.publisher->IstVerbunden());
}

} // namespace
