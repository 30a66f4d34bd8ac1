// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/EInOutError.h"
#include "storage/RohdatenLeser.h"
#include "storage/RohdatenSchreiber.h"

#include "TestAufrufe.h"
#include "TestOrdner.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

const TRohKopf KopfA{0, "0.1.0", "/dev/ttyUSB0", {{"Baud", "4800"}}};
const TRohKopf KopfB{0, "0.2.0", "/dev/ttyUSB1", {{"Baud", "9600"}}};
const TRohEintrag R1{TRohArt::Empfangen, 1, 1'000, 3600, "eins\r\n"};
const TRohEintrag R2{TRohArt::Empfangen, 2, 2'000, 3600, "zwei\r\n"};
const TRohEintrag R3{TRohArt::Empfangen, 3, 3'000, 3600, "drei\r\n"};
const TRohEintrag R4{TRohArt::Empfangen, 4, 4'000, 3600, "vier\r\n"};
const TRohEintrag R5{TRohArt::Empfangen, 5, 5'000, 3600, "fünf\r\n"};

void Aufzeichnen(const std::string& pfad, const TRohKopf& kopf,
                 const std::vector<TRohEintrag>& eintraege, TRohOeffnung art = TRohOeffnung::Neu) {
    TRohSchreiber schreiber(pfad, kopf, art);
    for (const TRohEintrag& eintrag : eintraege) {
        schreiber.Schreiben(eintrag);
    }
    schreiber.Schliessen();
}

std::vector<TRohEintrag> AllesLesen(TRohLeser& leser) {
    std::vector<TRohEintrag> eintraege;
    TRohEintrag eintrag;
    while (leser.Naechster(eintrag)) {
        eintraege.push_back(eintrag);
    }
    return eintraege;
}

TRohEintrag LaufBeginn(const TRohKopf& kopf) {
    return {TRohArt::LaufBeginn, 0, 0, 0, RohKopfText(kopf)};
}

struct TBeginn {
    const char* Name;
    TRohOeffnung Art;
    std::function<std::string(const TTestOrdner&)> Vorbereiten; // gives the path
    const char* Abgewiesen; // part of the refusal's text; empty: the capture is begun
};

std::string Datei(const TTestOrdner& v, const std::string& inhalt) {
    DateiSchreiben(v / "a.roh", inhalt);
    return v.Datei("a.roh");
}

const TBeginn Beginne[] = {
    {"NeuFehlt", TRohOeffnung::Neu, [](const TTestOrdner& v) { return v.Datei("a.roh"); }, ""},
    {"NeuLeer", TRohOeffnung::Neu, [](const TTestOrdner& v) { return Datei(v, ""); }, ""},
    {"NeuTextdatei", TRohOeffnung::Neu, [](const TTestOrdner& v) { return Datei(v, "Notizen\n"); },
     "gibt es schon"},
    {"NeuAufzeichnung", TRohOeffnung::Neu,
     [](const TTestOrdner& v) { return Datei(v, RohKopfText(KopfA)); }, "gibt es schon"},
    {"NeuPipe", TRohOeffnung::Neu,
     [](const TTestOrdner& v) {
         EXPECT_EQ(::mkfifo((v / "a.roh").c_str(), 0600), 0);
         return v.Datei("a.roh");
     },
     "ist eine benannte Pipe (FIFO), keine gewöhnliche Datei"},
    {"NeuNullGeraet", TRohOeffnung::Neu,
     [](const TTestOrdner&) { return std::string("/dev/null"); }, ""},
    {"FortsetzenFehlt", TRohOeffnung::Fortsetzen,
     [](const TTestOrdner& v) { return v.Datei("a.roh"); }, ""},
    {"FortsetzenAufzeichnung", TRohOeffnung::Fortsetzen,
     [](const TTestOrdner& v) { return Datei(v, RohKopfText(KopfA)); }, ""},
    {"FortsetzenTextdatei", TRohOeffnung::Fortsetzen,
     [](const TTestOrdner& v) { return Datei(v, "Notizen\nmehr\n"); },
     "ist keine Rohdatenaufzeichnung von Quorlits. Sie wird nicht fortgesetzt; sie bleibt "
     "unverändert."},
    {"FortsetzenNeueresFormat", TRohOeffnung::Fortsetzen,
     [](const TTestOrdner& v) { return Datei(v, "QUORLITS-ROHDATEN 2\n\n"); },
     "hat die Rohdaten-Formatversion 2"},
    {"FortsetzenVerzeichnis", TRohOeffnung::Fortsetzen,
     [](const TTestOrdner& v) { return v.Verzeichnis(); },
     "ist ein Verzeichnis, keine gewöhnliche Datei"},
};

class RohdatenBeginn : public ::testing::TestWithParam<TBeginn> {};

// An existing capture is never emptied; anything that is no capture is left as it is.
TEST_P(RohdatenBeginn, UeberschreibtNieUndLaesstAbgewiesenesUnveraendert) {
    TTestOrdner v;
    const std::string pfad = GetParam().Vorbereiten(v);
    const bool regulaer = std::filesystem::is_regular_file(pfad);
    const std::string vorher = regulaer ? DateiLesen(pfad) : std::string();
    const std::string abgewiesen = GetParam().Abgewiesen;
    try {
        TRohSchreiber schreiber(pfad, KopfB, GetParam().Art);
        schreiber.Schreiben(R1);
        schreiber.Schliessen();
        EXPECT_TRUE(abgewiesen.empty());
    } catch (const EInOutError& fehler) {
        const std::string text = fehler.what();
        EXPECT_NE(text.find(abgewiesen), std::string::npos) << text;
        EXPECT_NE(text.find("„" + pfad + "“"), std::string::npos) << text;
        EXPECT_FALSE(abgewiesen.empty()) << text;
        if (regulaer) {
            EXPECT_EQ(DateiLesen(pfad), vorher);
        }
        return;
    }
    if (!std::filesystem::is_regular_file(pfad)) {
        return; // /dev/null
    }
    TRohLeser leser(pfad);
    std::vector<TRohEintrag> erwartet{R1};
    if (!vorher.empty()) {
        erwartet.insert(erwartet.begin(), LaufBeginn(KopfB));
    }
    EXPECT_EQ(AllesLesen(leser), erwartet);
    EXPECT_EQ(leser.Kopf().ProgrammVersion, "0.2.0");
    EXPECT_EQ(DateiLesen(pfad).substr(0, vorher.size()), vorher);
}

INSTANTIATE_TEST_SUITE_P(Arten, RohdatenBeginn, ::testing::ValuesIn(Beginne),
                         [](const auto& fall) { return std::string(fall.param.Name); });

class RohdatenLaeufe : public ::testing::Test {
protected:
    TTestOrdner ordner;
    const std::string pfad = ordner.Datei("lauf.roh");
};

TEST_F(RohdatenLaeufe, FortgesetzteAufzeichnungLiestSichMitJedemLaufUndSeinemKopf) {
    Aufzeichnen(pfad, KopfA, {R1, R2});
    const std::string ersterLauf = DateiLesen(pfad);
    Aufzeichnen(pfad, KopfB, {R3}, TRohOeffnung::Fortsetzen);
    EXPECT_EQ(DateiLesen(pfad).substr(0, ersterLauf.size()), ersterLauf);

    TRohLeser leser(pfad);
    EXPECT_EQ(leser.Kopf().Anschluss, "/dev/ttyUSB0");
    TRohEintrag eintrag;
    std::vector<TRohEintrag> gelesen;
    while (leser.Naechster(eintrag) && eintrag.Art != TRohArt::LaufBeginn) {
        gelesen.push_back(eintrag);
    }
    EXPECT_EQ(gelesen, (std::vector<TRohEintrag>{R1, R2}));
    EXPECT_EQ(eintrag, LaufBeginn(KopfB));
    TRohKopf kopfB = KopfB;
    kopfB.FormatVersion = 1;
    EXPECT_EQ(leser.Kopf(), kopfB);
    EXPECT_EQ(AllesLesen(leser), std::vector<TRohEintrag>{R3});
    EXPECT_EQ(leser.LaeufeOhneEnde(), 0);
    EXPECT_TRUE(RohLeseHinweise(leser, pfad).empty());
}

// A run killed in the middle of a record: the piece is stepped over, the run counts as one
// without its end, and the next run reads whole.
TEST_F(RohdatenLaeufe, AbgebrochenerLaufWirdGezaehltUndUebersprungen) {
    {
        TRohSchreiber schreiber(pfad, KopfA);
        schreiber.Schreiben(R1);
    } // no Schliessen: the program died
    std::string stueck;
    RohSatzAnhaengen(stueck, R2);
    stueck.resize(stueck.size() / 2);
    DateiSchreiben(pfad, DateiLesen(pfad) + stueck);
    Aufzeichnen(pfad, KopfB, {R3}, TRohOeffnung::Fortsetzen);

    TRohLeser leser(pfad);
    EXPECT_EQ(AllesLesen(leser), (std::vector<TRohEintrag>{R1, LaufBeginn(KopfB), R3}));
    EXPECT_EQ(leser.UebersprungeneEintraege(), 1);
    EXPECT_EQ(leser.UebersprungeneBytes(), static_cast<std::int64_t>(stueck.size()));
    EXPECT_FALSE(leser.Abgeschnitten());
    EXPECT_EQ(leser.LaeufeOhneEnde(), 1);
    EXPECT_EQ(RohLeseHinweise(leser, pfad),
              (std::vector<std::string>{
                  "In „" + pfad + "“ wurde 1 beschädigter oder abgeschnittener Eintrag (" +
                      std::to_string(stueck.size()) + " Bytes) übersprungen.",
                  "In „" + pfad +
                      "“ endet 1 Lauf ohne Schlusseintrag: das Programm wurde nicht ordentlich "
                      "beendet, oder eine ältere Version hat die Aufzeichnung geschrieben."}));
}

// Records lost while the disk was full leave a Luecke record where they were, stamped as the
// record after it, so a replay knows bytes are missing there.
TEST_F(RohdatenLaeufe, VerloreneEintraegeHinterlassenEineLuecke) {
    TTestAufrufe aufrufe;
    {
        TRohSchreiber schreiber(pfad, KopfA, TRohOeffnung::Neu, aufrufe.UmgebungMit());
        schreiber.Datei().Aufbewahren(2);
        schreiber.Schreiben(R1);
        aufrufe.SchreibFehler = ENOSPC;
        for (const TRohEintrag& eintrag : {R2, R3, R4}) {
            schreiber.Schreiben(eintrag);
        }
        aufrufe.SchreibFehler = 0;
        schreiber.Schreiben(R5);
        schreiber.Schliessen();
    }
    std::string r2;
    RohSatzAnhaengen(r2, R2);
    TRohLeser leser(pfad);
    const TRohEintrag luecke{TRohArt::Luecke, R3.MonoNs, R3.UtcMs, R3.UtcVersatz,
                             "Eintraege=1\tBytes=" + std::to_string(r2.size())};
    EXPECT_EQ(AllesLesen(leser), (std::vector<TRohEintrag>{R1, luecke, R3, R4, R5}));
    EXPECT_EQ(leser.Luecken(), 1);
    EXPECT_EQ(RohLeseHinweise(leser, pfad),
              std::vector<std::string>{"„" + pfad +
                                       "“ hat 1 Lücke: dort gingen Einträge verloren, weil die "
                                       "Datei nicht beschreibbar war."});
}

} // namespace
