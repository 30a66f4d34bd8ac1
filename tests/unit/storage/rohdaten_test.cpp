// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/EInOutError.h"
#include "storage/RohdatenLeser.h"
#include "storage/RohdatenSchreiber.h"

#include "DateiGroessenGrenze.h"
#include "TestOrdner.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

const TRohKopf Kopf{0,
                    "0.1.0",
                    "/dev/ttyUSB0",
                    {{"Baud", "4800"},
                     {"Paritaet", "keine"},
                     {"NulVerwerfen", "1"},
                     {"Datei", "Messung\r\n\\\x00\xFF\xE6 Grüße=ja"s},
                     {"Leer", ""},
                     {"Baud", "9600"}}}; // kept twice and in order: the writer does not judge

// A record of every kind, with payloads that a text-minded writer or reader would spoil.
std::vector<TRohEintrag> AlleArten() {
    constexpr std::int64_t Min = std::numeric_limits<std::int64_t>::min();
    constexpr std::int64_t Max = std::numeric_limits<std::int64_t>::max();
    return {
        {TRohArt::Geoeffnet, 1, 1'767'225'600'000, 3600, "4800 8N1 Fluss=keiner"},
        {TRohArt::MessungBeginn, 2, 1'767'225'600'001, 3600, "RS232"},
        {TRohArt::SpeichernEin, 3, 1'767'225'600'002, 3600, "sofort\t/tmp/Daten ä.txt"},
        {TRohArt::Empfangen, 4, 1'767'225'600'003, 3600,
         " 6.50 pH   21.5 \xF8"
         "C\r\n"},
        {TRohArt::Empfangen, 5, 0, 0, "\x00\xFF\r\n\x13\x11\x00"s},
        {TRohArt::Empfangen, 6, -1, -43200, ""},
        {TRohArt::Gesendet, 7, Max, 50400, "GLP\r\n"},
        {TRohArt::Verloren, 8, Min, 7200, "5"},
        {TRohArt::Zurueck, Max, 1, 7200, ""},
        {TRohArt::Empfangen, 9, 2, 7200, std::string(100'000, '\xA5')}, // more than one buffer
        {TRohArt::SpeichernAus, Min, 3, 7200, ""},
        {TRohArt::MessungEnde, -1, 4, 7200, ""},
        {TRohArt::Geschlossen, 0, 5, 7200, ""},
    };
}

class RohdatenTest : public ::testing::Test {
protected:
    TTestOrdner ordner;
    const std::string pfad = ordner.Datei("Aufnahme.roh");

    void Aufzeichnen(const std::vector<TRohEintrag>& eintraege) {
        TRohSchreiber schreiber(pfad, Kopf);
        for (const TRohEintrag& eintrag : eintraege) {
            schreiber.Schreiben(eintrag);
        }
        schreiber.Schliessen();
    }

    // Reads the capture at `datei` whole; `abgeschnitten` tells how reading stopped.
    static std::vector<TRohEintrag> Einlesen(const std::string& datei, bool& abgeschnitten) {
        TRohLeser leser(datei);
        std::vector<TRohEintrag> eintraege;
        TRohEintrag eintrag;
        while (leser.Naechster(eintrag)) {
            eintraege.push_back(eintrag);
        }
        EXPECT_FALSE(leser.Naechster(eintrag)); // stays at its end
        abgeschnitten = leser.Abgeschnitten();
        return eintraege;
    }

    // The capture's header length, and where each record begins in the file.
    std::vector<std::size_t> Satzanfaenge(const std::vector<TRohEintrag>& eintraege) const {
        std::vector<std::size_t> anfaenge{RohKopfText(Kopf).size()};
        for (const TRohEintrag& eintrag : eintraege) {
            anfaenge.push_back(anfaenge.back() + RohSatzAnfang + eintrag.Daten.size() + 4);
        }
        return anfaenge;
    }
};

TEST_F(RohdatenTest, JedeArtUndJederKopfwertKommtUnveraendertZurueck) {
    const std::vector<TRohEintrag> eintraege = AlleArten();
    Aufzeichnen(eintraege);

    TRohLeser leser(pfad);
    TRohKopf erwartet = Kopf;
    erwartet.FormatVersion = 1;
    EXPECT_EQ(leser.Kopf(), erwartet);
    bool abgeschnitten = true;
    EXPECT_EQ(Einlesen(pfad, abgeschnitten), eintraege);
    EXPECT_FALSE(abgeschnitten);
    // Closing adds the Ende record, which the reader keeps to itself.
    EXPECT_EQ(std::filesystem::file_size(pfad),
              Satzanfaenge(eintraege).back() + RohSatzAnfang + RohSatzPruefsumme);
}

TEST_F(RohdatenTest, AbgeschnittenerLetzterSatzLiefertGenauDieSaetzeDavor) {
    const std::vector<TRohEintrag> eintraege = {
        {TRohArt::Empfangen, 10, 20, 3600, "eins\r\n"},
        {TRohArt::Gesendet, 11, 21, 3600, "x"},
        {TRohArt::Empfangen, 12, 22, 3600, "\r\n\x00\xFF zwei"s},
    };
    Aufzeichnen(eintraege);
    const std::string ganz = DateiLesen(pfad);
    const std::size_t letzter = Satzanfaenge(eintraege)[2];
    const std::vector<TRohEintrag> davor(eintraege.begin(), eintraege.end() - 1);
    const std::string gekuerzt = ordner.Datei("gekuerzt.roh");
    for (std::size_t laenge = letzter; laenge < Satzanfaenge(eintraege)[3]; ++laenge) {
        SCOPED_TRACE(laenge);
        DateiSchreiben(gekuerzt, ganz.substr(0, laenge));
        bool abgeschnitten = false;
        EXPECT_EQ(Einlesen(gekuerzt, abgeschnitten), davor);
        // Cut between two records, the file simply ends there.
        EXPECT_EQ(abgeschnitten, laenge != letzter);
    }
}

TEST_F(RohdatenTest, AbgeschnittenerKopfWirdAbgewiesen) {
    Aufzeichnen({});
    const std::string ganz = DateiLesen(pfad);
    const std::string gekuerzt = ordner.Datei("gekuerzt.roh");
    for (std::size_t laenge = 0; laenge < RohKopfText(Kopf).size(); ++laenge) {
        SCOPED_TRACE(laenge);
        DateiSchreiben(gekuerzt, ganz.substr(0, laenge));
        EXPECT_THROW(TRohLeser{gekuerzt}, ERohdatenFehler);
    }
    bool abgeschnitten = true;
    EXPECT_TRUE(Einlesen(pfad, abgeschnitten).empty());
    EXPECT_FALSE(abgeschnitten);
}

// A damaged record, the first one too, costs only itself: the reader finds the next record
// that checks and counts what it stepped over.
TEST_F(RohdatenTest, VeraendertesByteUeberspringtNurSeinenSatz) {
    const std::vector<TRohEintrag> eintraege = {
        {TRohArt::Empfangen, 10, 20, 3600, "eins\r\n"},
        {TRohArt::Empfangen, 11, 21, 3600, "zwei\r\n"},
        {TRohArt::Empfangen, 12, 22, 3600, "drei\r\n"},
    };
    Aufzeichnen(eintraege);
    const std::string ganz = DateiLesen(pfad);
    const std::vector<std::size_t> anfaenge = Satzanfaenge(eintraege);
    const std::string verdorben = ordner.Datei("verdorben.roh");
    for (std::size_t satz = 0; satz < eintraege.size(); ++satz) {
        std::vector<TRohEintrag> uebrig = eintraege;
        uebrig.erase(uebrig.begin() + static_cast<std::ptrdiff_t>(satz));
        for (std::size_t stelle = anfaenge[satz]; stelle < anfaenge[satz + 1]; ++stelle) {
            SCOPED_TRACE(stelle);
            std::string inhalt = ganz;
            inhalt[stelle] = static_cast<char>(inhalt[stelle] ^ 0x10);
            DateiSchreiben(verdorben, inhalt);
            TRohLeser leser(verdorben);
            std::vector<TRohEintrag> gelesen;
            TRohEintrag eintrag;
            while (leser.Naechster(eintrag)) {
                gelesen.push_back(eintrag);
            }
            EXPECT_EQ(gelesen, uebrig);
            EXPECT_EQ(leser.UebersprungeneEintraege(), 1);
            EXPECT_EQ(leser.UebersprungeneBytes(),
                      static_cast<std::int64_t>(anfaenge[satz + 1] - anfaenge[satz]));
            EXPECT_FALSE(leser.Abgeschnitten());
            EXPECT_EQ(leser.LaeufeOhneEnde(), 0);
        }
    }
}

TEST_F(RohdatenTest, UnsinnigeLaengeGiltAlsBeschaedigt) {
    Aufzeichnen({{TRohArt::Empfangen, 1, 2, 3, "eins"}});
    std::string inhalt = DateiLesen(pfad);
    std::string satz;
    RohSatzAnhaengen(satz, {TRohArt::Empfangen, 1, 2, 3, ""});
    satz.replace(RohStelleLaenge, 4, "\x01\x00\x00\x04"s); // 64 MiB + 1
    DateiSchreiben(pfad, inhalt + satz + std::string(64, 'x'));
    bool abgeschnitten = false;
    EXPECT_EQ(Einlesen(pfad, abgeschnitten).size(), 1U);
    EXPECT_TRUE(abgeschnitten);
}

TEST_F(RohdatenTest, UnbekannteArtWirdUebersprungen) {
    const std::vector<TRohEintrag> bekannt = {
        {TRohArt::Empfangen, 1, 2, 3, "vor"},
        {TRohArt::Empfangen, 4, 5, 6, "nach"},
    };
    {
        TRohSchreiber schreiber(pfad, Kopf);
        schreiber.Schreiben(bekannt[0]);
        for (const int art : {0, 15, 200, 255}) {
            schreiber.Schreiben({static_cast<TRohArt>(art), 7, 8, 9, "neue Art\x00\n"s});
        }
        schreiber.Schreiben(bekannt[1]);
        schreiber.Schliessen();
    }
    bool abgeschnitten = true;
    EXPECT_EQ(Einlesen(pfad, abgeschnitten), bekannt);
    EXPECT_FALSE(abgeschnitten);
}

TEST_F(RohdatenTest, KopfUnbekannterSchluesselUndReihenfolgeBleiben) {
    DateiSchreiben(pfad, "QUORLITS-ROHDATEN 1\nZukunft=a\\x3Db\nAnschluss=/dev/ttyS1\n"
                         "Programm=9.9\nZukunft=\n\n");
    TRohLeser leser(pfad);
    const TRohKopf erwartet{1, "9.9", "/dev/ttyS1", {{"Zukunft", "a=b"}, {"Zukunft", ""}}};
    EXPECT_EQ(leser.Kopf(), erwartet);
}

TEST_F(RohdatenTest, FremdeOderFalscheKoepfeWerdenAbgewiesen) {
    struct Fall {
        std::string inhalt;
        std::string meldung;
    };
    const Fall faelle[] = {
        {" 6.50 pH   21.5 \xF8"
         "C\r\n",
         "keine Rohdatenaufzeichnung"},
        {"QUORLITS-ROHDATEN\n\n", "keine Rohdatenaufzeichnung"},
        {"QUORLITS-ROHDATEN 2\n\n", "Formatversion 2; dieses Programm liest nur Version 1"},
        {"QUORLITS-ROHDATEN 10\nNeu=1\n\n", "Formatversion 10"},
        {"QUORLITS-ROHDATEN 0\n\n", "Ungültige Formatversion"},
        {"QUORLITS-ROHDATEN 1a\n\n", "Ungültige Formatversion"},
        {"QUORLITS-ROHDATEN \n\n", "Ungültige Formatversion"},
        {"QUORLITS-ROHDATEN 1\nOhneGleich\n\n", "Ungültige Kopfzeile"},
        {"QUORLITS-ROHDATEN 1\n=wert\n\n", "Ungültige Kopfzeile"},
        {"QUORLITS-ROHDATEN 1\nA=\\q\n\n", "Ungültige Maskierung"},
        {"QUORLITS-ROHDATEN 1\nA=1\n", "unvollständig"},
    };
    for (const Fall& fall : faelle) {
        SCOPED_TRACE(fall.inhalt);
        DateiSchreiben(pfad, fall.inhalt);
        try {
            TRohLeser leser(pfad);
            ADD_FAILURE() << "angenommen";
        } catch (const ERohdatenFehler& fehler) {
            EXPECT_NE(std::string(fehler.what()).find(fall.meldung), std::string::npos)
                << fehler.what();
        }
    }
}

TEST_F(RohdatenTest, AufzeichnungWirdAnDerErstenZeileErkannt) {
    Aufzeichnen({});
    EXPECT_TRUE(IstRohdatenDatei(pfad));
    for (const std::string& inhalt : {""s, "QUORLITS-ROHDATEN"s,
                                      " 6.50 pH   21.5 \xF8"
                                      "C\r\n"s}) {
        DateiSchreiben(pfad, inhalt);
        EXPECT_FALSE(IstRohdatenDatei(pfad)) << inhalt;
    }
}

int SystemFehlerVon(const std::function<void()>& schritt) {
    try {
        schritt();
    } catch (const EInOutError& fehler) {
        return fehler.SystemFehler();
    }
    return 0;
}

TEST_F(RohdatenTest, FehlendesVerzeichnisMeldetDenSystemfehler) {
    const std::string fehlt = ordner.Datei("fehlt/Aufnahme.roh");
    EXPECT_EQ(SystemFehlerVon([&] { TRohSchreiber schreiber(fehlt, Kopf); }), ENOENT);
    EXPECT_EQ(SystemFehlerVon([&] { TRohLeser leser(fehlt); }), ENOENT);
    EXPECT_EQ(SystemFehlerVon([&] { IstRohdatenDatei(fehlt); }), ENOENT);
    EXPECT_EQ(SystemFehlerVon([&] { TRohLeser leser(ordner.Verzeichnis()); }), EISDIR);
}

TEST_F(RohdatenTest, UngueltigerSchluesselLegtKeineDateiAn) {
    TRohKopf kopf = Kopf;
    kopf.Werte.emplace_back("a=b", "c");
    EXPECT_THROW(TRohSchreiber(pfad, kopf), ERohdatenFehler);
    EXPECT_FALSE(std::filesystem::exists(pfad));
}

TEST_F(RohdatenTest, SchreibfehlerLaesstNurGanzeSaetzeZurueck) {
    const TRohEintrag eins{TRohArt::Empfangen, 1, 2, 3, "eins\r\n"};
    const TRohEintrag gross{TRohArt::Empfangen, 4, 5, 6, std::string(100, 'g')};
    const TRohEintrag drei{TRohArt::Empfangen, 7, 8, 9, "drei\r\n"};
    TRohSchreiber schreiber(pfad, Kopf);
    schreiber.Schreiben(eins);
    const std::uintmax_t vorher = std::filesystem::file_size(pfad);
    {
        TDateiGroessenGrenze grenze(vorher + 40); // the record goes out in part
        EXPECT_EQ(SystemFehlerVon([&] { schreiber.Schreiben(gross); }), EFBIG);
        EXPECT_EQ(std::filesystem::file_size(pfad), vorher);
        EXPECT_EQ(SystemFehlerVon([&] { schreiber.Schreiben(gross); }), EFBIG);
    }
    schreiber.Schreiben(drei); // room again: the capture goes on readable
    schreiber.Schliessen();
    EXPECT_EQ(SystemFehlerVon([&] { schreiber.Schreiben(drei); }), EBADF);

    bool abgeschnitten = true;
    EXPECT_EQ(Einlesen(pfad, abgeschnitten), (std::vector<TRohEintrag>{eins, drei}));
    EXPECT_FALSE(abgeschnitten);
}

} // namespace
