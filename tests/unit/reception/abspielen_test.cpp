// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "reception/Abspielen.h"

#include "acquisition/Zahlformat.h"
#include "storage/Rohaufzeichnung.h"
#include "storage/RohdatenEinstellungen.h"
#include "storage/RohdatenLeser.h"
#include "tests/unit/acquisition/Geraetetext.h"
#include "tests/unit/storage/TestZeitzone.h"

#include "TestOrdner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

const std::string Ph = Geraetetext(" 7.01 pH   24.8 °C{CR}{LF}");
const std::string Lf = Geraetetext("{DC3}06.12.96 12:34{CR}{LF}  1.413 mS/cm 25.0 °C{CR}{LF}"
                                   "TREF 25 C = 0.475{CR}{LF}{DC1}");

// A live measurement as the window and the headless mode run it: each chunk read once from the
// clock, captured with that reading and handed to the reception with it.
class Abspielen : public ZeitzonenTest {
protected:
    void SetUp() override {
        ZeitzonenTest::SetUp();
        trennerVorher_ = DezimalTrennzeichen();
        DezimalTrennzeichenSetzen(',');
        // Berlin, in the night the clocks go back: the repeated hour is in the stamps.
        Zeitzone("CET-1CEST,M3.5.0,M10.5.0/3");
        zustand.Konfiguration = konfiguration;
        roh.Beginnen(aufnahme, RohKopfErstellen("/dev/ttyUSB0", {{"Baud", "4800"}}, konfiguration));
    }
    void TearDown() override {
        DezimalTrennzeichenSetzen(trennerVorher_);
        ZeitzonenTest::TearDown();
    }

    TUhrzeit Jetzt() { return UhrzeitAusUtc(ms += 1700); }
    void Ereignis(TRohArt art, std::string_view daten = {}) {
        ASSERT_EQ(roh.Eintragen(art, daten, Jetzt()), nullptr);
    }
    void Stueck(std::string_view chunk) {
        const TUhrzeit jetzt = Jetzt();
        ASSERT_EQ(roh.Eintragen(TRohArt::Empfangen, chunk, jetzt), nullptr);
        EXPECT_FALSE(ChunkVerarbeiten(zustand, chunk, jetzt).Fehler);
    }
    void MessungBeginnen() {
        WTWMessungBeginnen(zustand);
        Ereignis(TRohArt::MessungBeginn, "WTW");
    }
    void SpeichernEin(bool automatisch) {
        const TUhrzeit jetzt = Jetzt();
        ASSERT_TRUE(SpeichernStarten(zustand.Speicher, konfiguration, jetzt.Lokal));
        const TSpeicherBeginn beginn{automatisch,
                                     konfiguration.Ausgabedatei,
                                     konfiguration,
                                     TZeitpunkt{24, 10, 2026, 0, 0, 0},
                                     TZeitpunkt{26, 10, 2026, 0, 0, 0},
                                     zustand.Speicher.AngabenSchreiben
                                         ? std::optional(zustand.Speicher.Angaben)
                                         : std::nullopt};
        (automatisch ? zustand.Speicher.AutoSpeichernAktiv
                     : zustand.Speicher.SofortSpeichernAktiv) = true;
        zustand.AutoSpeicher.Speicherbeginn = beginn.Speicherbeginn;
        zustand.AutoSpeicher.Speicherende = beginn.Speicherende;
        zustand.Konfiguration = konfiguration;
        ASSERT_EQ(roh.Eintragen(TRohArt::SpeichernEin, SpeicherBeginnText(beginn), jetzt), nullptr);
    }
    void SpeichernAus() {
        zustand.Speicher.SofortSpeichernAktiv = zustand.Speicher.AutoSpeichernAktiv = false;
        zustand.Speicher.Datendatei.Schliessen();
        Ereignis(TRohArt::SpeichernAus);
    }
    TAbspielBericht Abgespielt(const std::string& ziel) {
        Zeitzone("XYZ-14"); // the replaying machine lives elsewhere
        TRohLeser leser(aufnahme);
        return AufnahmeAbspielen(leser, ziel);
    }

    TTestOrdner ordner;
    const std::string aufnahme = ordner.Datei("Daten.txt.roh");
    TKonfiguration konfiguration = [this] {
        TKonfiguration k;
        k.AutoDateiname = false;
        k.Ausgabedatei = ordner.Datei("Daten.txt");
        k.AnzahlGleitMittel = 3;
        k.GleitendesMittel = true; // autosave writes the moving average
        return k;
    }();
    TProgrammZustand zustand;
    TRohAufzeichnung roh;
    std::int64_t ms = std::int64_t{1792889990} * 1000; // 25.10.2026, 02:59:50 CEST

private:
    char trennerVorher_ = '.';
};

TEST_F(Abspielen, GibtDieDatendateiBytegenauWieder) {
    MessungBeginnen();
    SpeichernEin(false);
    Stueck(Ph.substr(0, 3));
    Stueck(Ph.substr(3, 9));
    Stueck(Ph.substr(12) + Lf.substr(0, 20));
    Stueck(Lf.substr(20));
    Stueck(Ph.substr(0, 8)); // cut by the loss: dropped
    LeitungVerloren(zustand);
    Ereignis(TRohArt::Verloren, "5");
    Ereignis(TRohArt::Zurueck);
    Stueck(Ph + Ph);
    SpeichernAus();
    Stueck(Ph); // listed, not saved
    konfiguration.Speicherintervall = 0;
    SpeichernEin(true);
    for (int i = 0; i < 4; ++i) {
        Stueck(Ph);
    }
    Ereignis(TRohArt::MessungEnde);
    MessungBeginnen(); // counts from 0 again: a new header line
    Stueck(Lf);
    SpeichernAus();
    ASSERT_EQ(roh.Beenden(), nullptr);

    const std::string live = DateiLesen(ordner / "Daten.txt");
    const TAbspielBericht bericht = Abgespielt(ordner.Datei("Wieder.txt"));
    EXPECT_EQ(DateiLesen(ordner / "Wieder.txt"), live);
    EXPECT_EQ(bericht.Datensaetze, 10);
    EXPECT_FALSE(bericht.Abgeschnitten);
    EXPECT_EQ(std::count(live.begin(), live.end(), '\n'), 11); // 9 readings saved, 2 headers
    // The repeated autumn hour: 02:59 summer time comes before 02:00 winter time.
    EXPECT_NE(live.find("25.10.2026\t02:59:5"), std::string::npos) << live;
    EXPECT_NE(live.find("25.10.2026\t02:00:"), std::string::npos) << live;
}

// Sample, operator and electrode on every line: those in effect when saving began, then each
// change as it came, in a capture an older reader skips them in.
TEST_F(Abspielen, ProbenwechselKommenInDieZeilen) {
    zustand.Speicher.AngabenSchreiben = true;
    zustand.Speicher.Angaben = {"P1", "Meier", "E7"};
    MessungBeginnen();
    SpeichernEin(false);
    Stueck(Ph);
    zustand.Speicher.Angaben.Probe = "P2\tx";
    Ereignis(TRohArt::Angabe, AngabeRohText(TAngabe::Probe, "P2\tx"));
    Stueck(Ph);
    SpeichernAus();
    ASSERT_EQ(roh.Beenden(), nullptr);

    const std::string live = DateiLesen(ordner / "Daten.txt");
    Abgespielt(ordner.Datei("Wieder.txt"));
    EXPECT_EQ(DateiLesen(ordner / "Wieder.txt"), live);
    EXPECT_NE(live.find("\tP1\tMeier\tE7\r\n"), std::string::npos) << live;
    EXPECT_NE(live.find("\tP2 x\tMeier\tE7\r\n"), std::string::npos) << live;
}

TEST_F(Abspielen, EineUnbrauchbareDatendateiIstEinDeutscherFehler) {
    MessungBeginnen();
    SpeichernEin(false);
    Stueck(Ph);
    ASSERT_EQ(roh.Beenden(), nullptr);
    try {
        Abgespielt(ordner.Datei("fehlt/Wieder.txt"));
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& fehler) {
        EXPECT_NE(std::string(fehler.what()).find("fehlt/Wieder.txt"), std::string::npos)
            << fehler.what();
    }
}

// The program killed in the middle of a record and started again on the same capture and data
// file: the new run starts afresh in the replay too, so the data file comes back whole.
TEST_F(Abspielen, EinNeuerLaufBeginntWieEinNeuerProgrammstart) {
    MessungBeginnen();
    SpeichernEin(false);
    Stueck(Ph);
    Stueck(Ph.substr(0, 8)); // the program dies here
    AnfangszustandSetzen(zustand, Jetzt().Lokal);
    zustand.Konfiguration = konfiguration;
    roh.Beginnen(aufnahme, RohKopfErstellen("/dev/ttyUSB0", {{"Baud", "4800"}}, konfiguration),
                 TRohOeffnung::Fortsetzen);
    MessungBeginnen();
    Stueck(Ph); // the new run saves nothing yet
    SpeichernEin(false);
    Stueck(Ph);
    SpeichernAus();
    ASSERT_EQ(roh.Beenden(), nullptr);

    const std::string live = DateiLesen(ordner / "Daten.txt");
    const TAbspielBericht bericht = Abgespielt(ordner.Datei("Wieder.txt"));
    EXPECT_EQ(DateiLesen(ordner / "Wieder.txt"), live);
    EXPECT_EQ(std::count(live.begin(), live.end(), '\n'), 4); // a header for each run
    EXPECT_EQ(bericht.Datensaetze, 3);
    TRohLeser leser(aufnahme);
    TRohEintrag eintrag;
    while (leser.Naechster(eintrag)) {
    }
    EXPECT_EQ(leser.LaeufeOhneEnde(), 1);
}

} // namespace
