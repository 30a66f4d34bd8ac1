// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// Publishing to a broker that takes only TLS with its CA's certificate, and only a known user
// with the right password.
#include "Dienste.h"
#include "VeroeffentlichenRig.h"

#include "mqtt/Themen.h"
#include "mqtt/VerbindungsPruefung.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

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
