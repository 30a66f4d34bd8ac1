// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// quorlits-sammler --verify against a real PostgreSQL: the chain heads the readings carried,
// stored by the collector, against the data file and its trail as they are now.
#include "Dienste.h"
#include "TestOrdner.h"

#include "audit/Protokoll.h"
#include "audit/Pruefen.h"
#include "collector/Datenbank.h"
#include "collector/SammlerPruefen.h"
#include "mqtt/Nutzlast.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

const TZeitpunkt Jetzt{6, 12, 2026, 16, 53, 34};

// A run as the logger makes it: each reading goes to the collector with the line it is saved in
// and the chain head before that line, then its line (the first with the header) goes into the
// data file. A sample change after line 5 and the end write lines of the trail. Returns what
// the collector stores.
std::vector<TEingang> Lauf(const std::string& datei, const std::string& messung) {
    TProtokoll protokoll([&] { return datei; }, FesteUhr(Jetzt, 3600), {"laborant", "bank1"});
    protokoll.Eintragen("Speichern ein", "sofort");
    std::string inhalt;
    std::vector<TEingang> eingaenge;
    for (int wert = 0; wert < 7; ++wert) {
        std::string text = wert == 0 ? "PC-Datum\tPC-Zeit\tWert\r\n" : "";
        text += "06.12.2026\t16:53:3" + std::to_string(wert) + "\t  7,0" + std::to_string(wert) +
                "\r\n";
        const auto zeile = static_cast<std::int64_t>(wert + 2);
        TMesswert m;
        m.PCDatum = "06.12.2026";
        m.PCZeit = "16:53:34";
        m.Messgroesse = "pH";
        m.Einheit = "pH";
        m.Wert = 7.0 + wert / 100.0;
        const TNachrichtKopf kopf{messung, static_cast<std::uint64_t>(wert + 1), "/dev/ttyUSB0"};
        const std::string nutzlast = MesswertNutzlast(
            kopf, m, TSpeicherOrt{datei, zeile}, TMesswertHerkunft{{}, protokoll.KettenKopf()});
        eingaenge.push_back({"bank1", "meter", false, messung, wert + 1, nutzlast, {}});
        inhalt += text;
        DateiSchreiben(datei, inhalt);
        protokoll.DatenGeschrieben(text);
        if (zeile == 5) {
            protokoll.AngabeGeaendert("Probe", "P1", "P2");
        }
    }
    protokoll.Eintragen("Speichern aus", datei);
    return eingaenge;
}

// The first `anzahl` lines of `text`.
std::string Anfang(const std::string& text, std::size_t anzahl) {
    std::size_t ende = 0;
    for (std::size_t i = 0; i < anzahl; ++i) {
        ende = text.find('\n', ende) + 1;
    }
    return text.substr(0, ende);
}

struct TDatenbankFall {
    const char* Name;
    std::function<void(std::string& daten, std::string& protokoll)> Aendern;
    int Pruefen;  // what --verify of the quorlits program says
    int Ergebnis; // what the comparison with the database says
    const char* Text;
};

class SammlerPruefen : public testing::TestWithParam<TDatenbankFall> {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(PostgresDa()) << "PostgreSQL is missing: scripts/deps.sh installs it";
        postgres = std::make_unique<TPostgres>();
        ASSERT_TRUE(postgres->Starten());
    }
    static void TearDownTestSuite() { postgres.reset(); }

    static std::unique_ptr<TPostgres> postgres;
};

std::unique_ptr<TPostgres> SammlerPruefen::postgres;

TEST_P(SammlerPruefen, FindetWasDieDatenbankAndersKennt) {
    TTestOrdner ordner;
    const std::string datei = ordner.Datei("daten.txt");
    TDatenbank datenbank(postgres->Verbindung());
    datenbank.Schreiben(Lauf(datei, GetParam().Name));
    std::string daten = DateiLesen(datei);
    std::string protokoll = DateiLesen(ProtokollPfad(datei));
    GetParam().Aendern(daten, protokoll);
    DateiSchreiben(datei, daten);
    DateiSchreiben(ProtokollPfad(datei), protokoll);

    std::FILE* ausgabe = std::tmpfile();
    ASSERT_NE(ausgabe, nullptr);
    EXPECT_EQ(PruefenBefehl(datei, ausgabe), GetParam().Pruefen);
    std::FILE* vergleich = std::tmpfile();
    ASSERT_NE(vergleich, nullptr);
    EXPECT_EQ(SammlerPruefenBefehl({"--verify", datei, "--database", postgres->Verbindung()},
                                   vergleich, stderr),
              GetParam().Ergebnis);
    std::rewind(vergleich);
    std::string text;
    char zeile[512];
    while (std::fgets(zeile, sizeof zeile, vergleich) != nullptr) {
        text += zeile;
    }
    std::fclose(vergleich);
    std::fclose(ausgabe);
    EXPECT_EQ(text, datei + ": " + GetParam().Text + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, SammlerPruefen,
    testing::Values(
        TDatenbankFall{"Unveraendert", [](std::string&, std::string&) {}, 0, 0,
                       "stimmt mit der Datenbank überein: 7 Zeilen"},
        TDatenbankFall{"EineZifferGeaendert",
                       [](std::string& d, std::string&) { d.replace(d.find("7,03"), 4, "7,08"); },
                       4, 4,
                       "geändert ab Zeile 5: die Kette des Messwerts in Zeile 6 passt nicht zu "
                       "der, die die Datenbank kennt"},
        // Both files cut after the sample change: the trail's chain still fits the file, the
        // collector knows the readings that followed.
        TDatenbankFall{"DatendateiUndProtokollAmEndeGekuerzt",
                       [](std::string& d, std::string& p) {
                           d = Anfang(d, 5);
                           p = p.substr(0, p.find('\n', p.find("\tProbe\t")) + 1);
                       },
                       0, 4,
                       "es fehlen Zeilen am Ende: die Datenbank kennt 3 Messwerte in Zeilen 6–8, "
                       "die Datei hat 5 Zeilen"}),
    [](const testing::TestParamInfo<TDatenbankFall>& fall) {
        return std::string(fall.param.Name);
    });

// A database that cannot be reached is no agreement: the comparison ends with 1 and says why.
TEST(SammlerPruefenOhneDatenbank, EndetMitEins) {
    TTestOrdner ordner;
    const std::string datei = ordner.Datei("daten.txt");
    Lauf(datei, "ohne");
    std::FILE* ausgabe = std::tmpfile();
    ASSERT_NE(ausgabe, nullptr);
    EXPECT_EQ(SammlerPruefenBefehl({"--verify", datei, "--database",
                                    "host=" + ordner.Datei("kein-server") + " connect_timeout=2"},
                                   ausgabe, stderr),
              1);
    std::rewind(ausgabe);
    char zeile[1024] = {};
    ASSERT_NE(std::fgets(zeile, sizeof zeile, ausgabe), nullptr);
    std::fclose(ausgabe);
    EXPECT_TRUE(std::string(zeile).starts_with(datei + ": Die Datenbank ist nicht erreichbar: "))
        << zeile;
}

} // namespace
