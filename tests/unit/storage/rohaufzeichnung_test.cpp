// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/EInOutError.h"
#include "storage/Rohaufzeichnung.h"
#include "storage/RohdatenEinstellungen.h"
#include "storage/RohdatenLeser.h"

#include "DateiGroessenGrenze.h"
#include "TestOrdner.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

TKonfiguration Ungewoehnlich() {
    TKonfiguration k;
    k.AutoDateiname = false;
    k.Ueberschreiben = true;
    k.MittelwertIntervall = true;
    k.ZeitRaster = true;
    k.AnzahlGleitMittel = 65535;
    k.Speicherintervall = 3600;
    k.Ausgabedatei = "/tmp/Grüße\tund=mehr.txt";
    return k;
}

TEST(RohdatenEinstellungen, KopfUndSpeicherbeginnGebenDieEinstellungenZurueck) {
    const TKonfiguration k = Ungewoehnlich();
    const TRohKopf kopf = RohKopfErstellen("/dev/ttyUSB0", {{"Baud", "4800"}}, k);
    EXPECT_EQ(kopf.ProgrammVersion, ProgrammVersion());
    EXPECT_EQ(kopf.Werte.front(), (std::pair<std::string, std::string>{"Baud", "4800"}));
    EXPECT_EQ(KonfigurationAuslesen(kopf.Werte, TKonfiguration{}).Ausgabedatei, k.Ausgabedatei);
    const TKonfiguration zurueck = KonfigurationAuslesen(kopf.Werte, TKonfiguration{});
    EXPECT_EQ(zurueck.AnzahlGleitMittel, 65535);
    EXPECT_EQ(zurueck.Speicherintervall, 3600);
    EXPECT_TRUE(zurueck.Ueberschreiben && zurueck.MittelwertIntervall && zurueck.ZeitRaster);
    EXPECT_FALSE(zurueck.AutoDateiname || zurueck.GleitendesMittel);

    for (const bool automatisch : {false, true}) {
        // Sample, operator and electrode come through whatever they hold.
        const std::optional<TAngaben> angaben =
            automatisch ? std::optional<TAngaben>() : TAngaben{"P\t1", "J\xC3\xB6rg", "E=\\2\n"};
        const TSpeicherBeginn beginn{automatisch,
                                     "/daten/a\tb\\c.txt",
                                     k,
                                     TZeitpunkt{7, 12, 2026, 23, 0, 0},
                                     TZeitpunkt{-1, -1, -1, 0, 0, 59},
                                     angaben};
        TSpeicherBeginn erwartet = beginn;
        if (!automatisch) {
            erwartet.Speicherbeginn = erwartet.Speicherende = TZeitpunkt{};
        }
        erwartet.Konfiguration.Ausgabedatei = TKonfiguration{}.Ausgabedatei;
        EXPECT_EQ(SpeicherBeginnLesen(SpeicherBeginnText(beginn), TKonfiguration{}), erwartet);
    }
    // Only the kind and the name: the settings in effect stay.
    const TSpeicherBeginn knapp = SpeicherBeginnLesen("sofort\tDaten.txt\tNeu=1", k);
    EXPECT_FALSE(knapp.Automatisch);
    EXPECT_EQ(knapp.Datei, "Daten.txt");
    EXPECT_EQ(knapp.Konfiguration.AnzahlGleitMittel, 65535);
}

TEST(RohdatenEinstellungen, UnlesbareWerteWerdenAbgewiesen) {
    for (const std::string text :
         {"bald\tDaten.txt", "", "sofort\tD\tUeberschreiben=2",
          "sofort\tD\tAnzahlGleitMittel=70000", "sofort\tD\tSpeicherintervall=-1",
          "sofort\tD\tAnzahlGleitMittel=", "auto\tD\tZeitRaster",
          "auto\tD\tSpeicherbeginn=1.2.2026 10:00", "auto\tD\tSpeicherende=1.2.2026 10:00:00x",
          "sofort\tD\\q"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(SpeicherBeginnLesen(text, TKonfiguration{}), ERohdatenFehler);
    }
    EXPECT_THROW(KonfigurationAuslesen({{"AutoDateiname", "ja"}}, TKonfiguration{}),
                 ERohdatenFehler);
    EXPECT_EQ(KonfigurationAuslesen({{"Baud", "ja"}}, TKonfiguration{}).AnzahlGleitMittel, 10);
}

class Rohaufzeichnung : public ::testing::Test {
protected:
    TTestOrdner ordner;
    const std::string pfad = ordner.Datei("Daten.txt.roh");
    std::int64_t mono = 0;
    TRohAufzeichnung aufzeichnung{[this] { return mono += 1000; }};
    const TUhrzeit zeit{TZeitpunkt{7, 12, 2026, 10, 0, 0}, 1'796'634'000'000, 3600};

    std::vector<TRohEintrag> Lesen(bool& abgeschnitten) const {
        TRohLeser leser(pfad);
        std::vector<TRohEintrag> eintraege;
        TRohEintrag eintrag;
        while (leser.Naechster(eintrag)) {
            eintraege.push_back(eintrag);
        }
        abgeschnitten = leser.Abgeschnitten();
        return eintraege;
    }
};

TEST_F(Rohaufzeichnung, SchreibtJedesStueckMitSeinerUhrzeit) {
    EXPECT_FALSE(aufzeichnung.Aktiv());
    EXPECT_EQ(aufzeichnung.Eintragen(TRohArt::Empfangen, "verloren", zeit), nullptr);
    aufzeichnung.Beginnen(pfad, RohKopfErstellen("/dev/ttyS0", {}, TKonfiguration{}));
    EXPECT_TRUE(aufzeichnung.Aktiv());
    EXPECT_EQ(aufzeichnung.Pfad(), pfad);
    EXPECT_EQ(aufzeichnung.Eintragen(TRohArt::MessungBeginn, "WTW", zeit), nullptr);
    EXPECT_EQ(aufzeichnung.Eintragen(TRohArt::Empfangen, std::string("\0\xFF\r\n", 4), zeit),
              nullptr);
    EXPECT_EQ(aufzeichnung.Beenden(), nullptr);
    EXPECT_FALSE(aufzeichnung.Aktiv());
    bool abgeschnitten = true;
    const auto eintraege = Lesen(abgeschnitten);
    EXPECT_FALSE(abgeschnitten);
    ASSERT_EQ(eintraege.size(), 2U);
    EXPECT_EQ(eintraege[1], (TRohEintrag{TRohArt::Empfangen, 2000, zeit.UtcMs, 3600,
                                         std::string("\0\xFF\r\n", 4)}));
}

// A full disk costs the capture nothing: the records wait, go out in order once there is room,
// and the trouble is told once when it starts and once when it ends.
TEST_F(Rohaufzeichnung, VollePlatteWirdEinmalGemeldetUndDieEintraegeWarten) {
    aufzeichnung.Beginnen(pfad, RohKopfErstellen("/dev/ttyS0", {}, TKonfiguration{}));
    ASSERT_EQ(aufzeichnung.Eintragen(TRohArt::Empfangen, "ganz", zeit), nullptr);
    const auto vorher = static_cast<rlim_t>(std::filesystem::file_size(pfad));
    {
        TDateiGroessenGrenze grenze(vorher + 10);
        const std::exception_ptr fehler =
            aufzeichnung.Eintragen(TRohArt::Empfangen, std::string(100, 'x'), zeit);
        ASSERT_NE(fehler, nullptr);
        try {
            std::rethrow_exception(fehler);
        } catch (const EInOutError& e) {
            EXPECT_EQ(e.SystemFehler(), EFBIG);
            EXPECT_EQ(
                std::string(e.what()),
                "Rohdatenaufzeichnung „" + pfad +
                    "“ seit 07.12.2026 10:00:00 nicht beschreibbar: Zu wenig Speicherplatz (Die "
                    "Datei ist zu groß). Was folgt, wird im Speicher aufbewahrt und "
                    "geschrieben, sobald es wieder geht.");
        }
        EXPECT_TRUE(aufzeichnung.Aktiv());
        EXPECT_EQ(aufzeichnung.Eintragen(TRohArt::Empfangen, "x", zeit), nullptr);
        EXPECT_EQ(std::filesystem::file_size(pfad), vorher);
    }
    EXPECT_EQ(aufzeichnung.Eintragen(TRohArt::Empfangen, "y", zeit), nullptr);
    const std::vector<TDateiMeldung> meldungen = aufzeichnung.MeldungenAbholen();
    ASSERT_EQ(meldungen.size(), 1U);
    EXPECT_EQ(meldungen[0].Text, "Rohdatenaufzeichnung „" + pfad +
                                     "“ wieder beschreibbar: 2 verspätete Einträge geschrieben, "
                                     "0 verloren.");
    EXPECT_EQ(aufzeichnung.Beenden(), nullptr);
    bool abgeschnitten = true;
    std::string daten;
    for (const TRohEintrag& eintrag : Lesen(abgeschnitten)) {
        daten += eintrag.Daten + "|";
    }
    EXPECT_EQ(daten, "ganz|" + std::string(100, 'x') + "|x|y|");
    EXPECT_FALSE(abgeschnitten);
    EXPECT_THROW(aufzeichnung.Beginnen(ordner.Datei("fehlt/a.roh"), TRohKopf{}), EInOutError);
    EXPECT_FALSE(aufzeichnung.Aktiv());
}

TEST_F(Rohaufzeichnung, EineAlteAufzeichnungWirdNieUeberschrieben) {
    const std::string daten = ordner.Datei("07122026.000");
    EXPECT_EQ(RohdateiName(daten), daten + ".roh");
    DateiSchreiben(daten + ".roh", "alt");
    EXPECT_EQ(RohdateiName(daten), daten + "-2.roh");
    DateiSchreiben(daten + "-2.roh", "alt");
    EXPECT_EQ(RohdateiName(daten), daten + "-3.roh");
}

} // namespace
