// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mqtt/VeroeffentlichenEinstellungen.h"

#include "framework/Meldung.h"
#include "tests/unit/common/TestOrdner.h"

#include <gtest/gtest.h>

#include <QString>
#include <QSysInfo>

#include <cstdlib>
#include <sys/stat.h>

namespace {

TEST(VeroeffentlichenEinstellungen, LesenUndSchreiben) {
    const TTestOrdner ordner;
    const auto datei = ordner / "quorlits.conf";
    EXPECT_EQ(VeroeffentlichenLesen(datei), TVeroeffentlichenEinstellungen{});
    EXPECT_FALSE(TVeroeffentlichenEinstellungen{}.Aktiv);
    DateiSchreiben(datei, "[Messung]\nRohdatenAufzeichnen=true\n[Veroeffentlichen]\nAktiv=true\n"
                          "Server=mqtts://broker.labor:8883\nBenutzer=bank3\n"
                          "PasswortDatei=/etc/quorlits/pw\nCaDatei=/etc/ssl/ca.pem\n"
                          "Arbeitsplatz=Labor 3\nOutboxGrenze=500 MB\n");
    const TVeroeffentlichenEinstellungen e = VeroeffentlichenLesen(datei);
    EXPECT_TRUE(e.Aktiv);
    EXPECT_EQ(e.Server, "mqtts://broker.labor:8883");
    EXPECT_EQ(e.Benutzer, "bank3");
    EXPECT_EQ(e.PasswortDatei, "/etc/quorlits/pw");
    EXPECT_EQ(e.CaDatei, "/etc/ssl/ca.pem");
    EXPECT_EQ(e.Arbeitsplatz, "Labor 3");
    EXPECT_EQ(e.OutboxGrenze, 500ULL << 20);
    TVeroeffentlichenEinstellungen anders = e;
    anders.OutboxGrenze = 3ULL << 30;
    anders.Aktiv = false;
    VeroeffentlichenSchreiben(datei, anders);
    EXPECT_EQ(VeroeffentlichenLesen(datei), anders);
    EXPECT_NE(DateiLesen(datei).find("RohdatenAufzeichnen=true"), std::string::npos);
}

TEST(VeroeffentlichenEinstellungen, OutboxGrenzeUnbrauchbarGibtDieVorgabe) {
    const TTestOrdner ordner;
    for (const char* wert : {"viel", "0", "-5 MB", "12 TB", "99999999999 GB"}) {
        DateiSchreiben(ordner / "q.conf", std::string("[Veroeffentlichen]\nOutboxGrenze=") + wert);
        EXPECT_EQ(VeroeffentlichenLesen(ordner / "q.conf").OutboxGrenze, 1ULL << 30) << wert;
    }
    DateiSchreiben(ordner / "q.conf", "[Veroeffentlichen]\nOutboxGrenze=4096\n");
    EXPECT_EQ(VeroeffentlichenLesen(ordner / "q.conf").OutboxGrenze, 4096U);
}

TEST(VeroeffentlichenEinstellungen, ArbeitsplatzIstSonstDerRechnername) {
    TVeroeffentlichenEinstellungen e;
    EXPECT_EQ(ArbeitsplatzName(e), QSysInfo::machineHostName().toStdString());
    e.Arbeitsplatz = "Bank 7";
    EXPECT_EQ(ArbeitsplatzName(e), "Bank 7");
}

TEST(PasswortDatei, NurFuerDenBesitzer) {
    const TTestOrdner ordner;
    const std::string datei = ordner.Datei("pw");
    DateiSchreiben(datei, "geheim\nzweite Zeile\n");
    ::chmod(datei.c_str(), 0600);
    EXPECT_EQ(PasswortLesen(datei), "geheim");
    for (const mode_t rechte : {0644, 0640, 0604}) {
        ::chmod(datei.c_str(), rechte);
        try {
            PasswortLesen(datei);
            ADD_FAILURE() << "mode " << rechte << " accepted";
        } catch (const EMeldung& meldung) {
            EXPECT_NE(std::string(meldung.what()).find("dürfen auch andere lesen"),
                      std::string::npos)
                << meldung.what();
            EXPECT_NE(std::string(meldung.what()).find("chmod 600 " + datei), std::string::npos);
        }
    }
    EXPECT_THROW(PasswortLesen(ordner.Datei("fehlt")), EMeldung);
}

// Under systemd a relative name is a credential; without credentials it stays as it is.
TEST(PasswortDatei, RelativUnterDenCredentials) {
    ::unsetenv("CREDENTIALS_DIRECTORY");
    EXPECT_EQ(PasswortPfad("mqtt-passwort"), "mqtt-passwort");
    ::setenv("CREDENTIALS_DIRECTORY", "/run/credentials/quorlits-logger@x.service", 1);
    EXPECT_EQ(PasswortPfad("mqtt-passwort"),
              "/run/credentials/quorlits-logger@x.service/mqtt-passwort");
    EXPECT_EQ(PasswortPfad("/etc/quorlits/pw"), "/etc/quorlits/pw");
    ::unsetenv("CREDENTIALS_DIRECTORY");
}

struct TAdressFall {
    const char* Name;
    std::string Url;
    TBrokerAdresse Adresse;
};

class BrokerAdresseTest : public ::testing::TestWithParam<TAdressFall> {};

TEST_P(BrokerAdresseTest, Liest) {
    EXPECT_EQ(BrokerAdresseLesen(GetParam().Url), GetParam().Adresse);
}

INSTANTIATE_TEST_SUITE_P(
    Gute, BrokerAdresseTest,
    ::testing::Values(TAdressFall{"Vorgabeport", "mqtt://broker", {false, "broker", 1883}},
                      TAdressFall{"Port", "mqtt://127.0.0.1:18830/", {false, "127.0.0.1", 18830}},
                      TAdressFall{"Tls", "mqtts://broker.labor", {true, "broker.labor", 8883}},
                      TAdressFall{"Ipv6", "mqtts://[::1]:9883", {true, "::1", 9883}}),
    [](const auto& fall) { return std::string(fall.param.Name); });

TEST(BrokerAdresse, WeistAb) {
    for (const char* url :
         {"", "broker:1883", "http://broker", "mqtt://", "mqtt://:1883", "mqtt://broker:0",
          "mqtt://broker:65536", "mqtt://broker:18x", "mqtt://[::1", "mqtt://user@broker"}) {
        EXPECT_THROW(BrokerAdresseLesen(url), EMeldung) << url;
    }
}

} // namespace
