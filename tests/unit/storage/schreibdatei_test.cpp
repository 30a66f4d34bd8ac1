// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/EInOutError.h"
#include "storage/Schreibdatei.h"

#include "TestAufrufe.h"
#include "TestOrdner.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr std::int64_t Sekunde = 1'000'000'000;

// The times of the calls named `was` in the protocol ("write", "fdatasync").
std::vector<std::int64_t> Zeiten(const TTestAufrufe& aufrufe, const std::string& was) {
    std::vector<std::int64_t> zeiten;
    for (const std::string& eintrag : aufrufe.Protokoll) {
        if (eintrag.starts_with(was + "@")) {
            zeiten.push_back(std::stoll(eintrag.substr(was.size() + 1)));
        }
    }
    return zeiten;
}

class SchreibdateiTest : public ::testing::Test {
protected:
    TTestOrdner ordner;
    const std::string pfad = ordner.Datei("Daten.txt");
    TTestAufrufe aufrufe;
    TSchreibdatei datei{DatendateiWorte, true};

    void SetUp() override {
        datei.UmgebungSetzen(aufrufe.UmgebungMit(FesteUhr({6, 12, 2026, 16, 53, 34}, 3600)));
        ASSERT_EQ(datei.Oeffnen(pfad, TAnlegen::Anhaengen), 0);
    }

    // An event loop: a line every `abstand` for `dauer`, and Synchronisieren() whenever
    // SyncInMs() says, until nothing is due any more.
    void Treiben(std::int64_t abstand, std::int64_t dauer) {
        std::int64_t naechsteZeile = 0;
        for (;;) {
            const std::int64_t warten = datei.SyncInMs();
            const std::int64_t faellig = aufrufe.Jetzt + warten * 1'000'000;
            const bool zeileDa = naechsteZeile < dauer;
            if (!zeileDa && warten < 0) {
                return;
            }
            if (zeileDa && (warten < 0 || naechsteZeile <= faellig)) {
                aufrufe.Jetzt = naechsteZeile;
                datei.Schreiben("Zeile\r\n");
                naechsteZeile += abstand;
            } else {
                aufrufe.Jetzt = faellig;
                datei.Synchronisieren();
            }
        }
    }
};

class SyncTakt : public SchreibdateiTest, public ::testing::WithParamInterface<std::int64_t> {};

// Every line is on the disk within a second, with at most one sync a second, at any rate of
// readings, and nothing is synced while nothing is written.
TEST_P(SyncTakt, JedeZeileIstBinnenEinerSekundeGesichert) {
    const std::int64_t abstand = GetParam();
    Treiben(abstand, 20 * Sekunde);
    const std::vector<std::int64_t> schreiben = Zeiten(aufrufe, "write");
    const std::vector<std::int64_t> syncs = Zeiten(aufrufe, "fdatasync");
    ASSERT_FALSE(syncs.empty());
    for (const std::int64_t zeit : schreiben) {
        const auto danach = std::lower_bound(syncs.begin(), syncs.end(), zeit);
        ASSERT_NE(danach, syncs.end()) << zeit;
        EXPECT_LE(*danach - zeit, Sekunde) << zeit;
    }
    for (std::size_t i = 1; i < syncs.size(); ++i) {
        EXPECT_GE(syncs[i] - syncs[i - 1], Sekunde) << i;
    }
    EXPECT_LE(syncs.back(), schreiben.back() + Sekunde);
    EXPECT_EQ(datei.SyncInMs(), -1);
}

INSTANTIATE_TEST_SUITE_P(Messwertabstaende, SyncTakt,
                         ::testing::Values(Sekunde, Sekunde / 50, Sekunde / 3, Sekunde * 5 / 2,
                                           Sekunde * 3 / 2));

TEST_F(SchreibdateiTest, NurEineNeueDateiSynchronisiertIhrenOrdner) {
    EXPECT_EQ(aufrufe.Zaehlen("fsync-ordner"), 1); // SetUp created it
    datei.Schliessen();
    ASSERT_EQ(datei.Oeffnen(pfad, TAnlegen::Anhaengen), 0);
    ASSERT_EQ(datei.Oeffnen(pfad, TAnlegen::Leeren), 0);
    EXPECT_EQ(aufrufe.Zaehlen("fsync-ordner"), 1);
}

struct TStau {
    const char* Name;
    bool DurchSynchronisieren; // room again: noticed by the event loop, not by the next line
    bool InZweiSchritten;      // first room for one line only
};

class VollePlatte : public SchreibdateiTest, public ::testing::WithParamInterface<TStau> {};

// Lines that cannot be written wait in order (the oldest go beyond the limit), are written
// before any newer one, and the trouble is reported once at its start and once at its end.
TEST_P(VollePlatte, ZeilenWartenUndKommenInIhrerReihenfolge) {
    datei.Aufbewahren(3);
    EXPECT_EQ(datei.Schreiben("a\r\n"), 1U);
    aufrufe.SchreibFehler = ENOSPC;
    for (const char* zeile : {"b\r\n", "c\r\n", "d\r\n", "e\r\n", "f\r\n"}) {
        aufrufe.Jetzt += Sekunde / 10;
        EXPECT_EQ(datei.Schreiben(zeile), 0U);
    }
    EXPECT_EQ(datei.Wartend(), 3U);
    std::vector<TDateiMeldung> meldungen = datei.MeldungenAbholen();
    ASSERT_EQ(meldungen.size(), 1U);
    EXPECT_EQ(meldungen[0].Art, TDateiMeldung::TArt::Stoerung);
    EXPECT_EQ(meldungen[0].Text,
              "Datendatei „" + pfad +
                  "“ seit 06.12.2026 16:53:34 nicht beschreibbar: Zu wenig Speicherplatz (Kein "
                  "Speicherplatz mehr auf dem Gerät). Was folgt, wird im Speicher aufbewahrt und "
                  "geschrieben, sobald es wieder geht.");
    // The event loop tries again within a second.
    EXPECT_GE(datei.SyncInMs(), 0);
    EXPECT_LE(datei.SyncInMs(), 1000);
    EXPECT_EQ(datei.Synchronisieren(), 0U);

    aufrufe.SchreibFehler = 0;
    aufrufe.Jetzt += Sekunde;
    if (GetParam().InZweiSchritten) {
        aufrufe.Platz = 1;
        EXPECT_EQ(datei.Synchronisieren(), 1U);
        EXPECT_TRUE(datei.MeldungenAbholen().empty()); // still the same trouble
        aufrufe.Platz = -1;
        aufrufe.Jetzt += Sekunde;
        EXPECT_EQ(datei.Schreiben("g\r\n"), 3U);
    } else if (GetParam().DurchSynchronisieren) {
        EXPECT_EQ(datei.Synchronisieren(), 3U);
        EXPECT_EQ(datei.Schreiben("g\r\n"), 1U);
    } else {
        EXPECT_EQ(datei.Schreiben("g\r\n"), 4U);
    }
    EXPECT_EQ(DateiLesen(pfad), "a\r\nd\r\ne\r\nf\r\ng\r\n");
    meldungen = datei.MeldungenAbholen();
    ASSERT_EQ(meldungen.size(), 1U);
    EXPECT_EQ(meldungen[0].Text, "Datendatei „" + pfad +
                                     "“ wieder beschreibbar: 3 verspätete Zeilen geschrieben, "
                                     "2 verloren.");
    EXPECT_FALSE(meldungen[0].Fehler());
}

INSTANTIATE_TEST_SUITE_P(Wiederaufnahme, VollePlatte,
                         ::testing::Values(TStau{"MitDerNaechstenZeile", false, false},
                                           TStau{"ImTakt", true, false},
                                           TStau{"InZweiSchritten", false, true}),
                         [](const auto& fall) { return std::string(fall.param.Name); });

TEST_F(SchreibdateiTest, WasBeimSchliessenNochWartetIstVerlorenUndWirdGesagt) {
    datei.Aufbewahren(10);
    aufrufe.SchreibFehler = EIO;
    datei.Schreiben("a\r\n");
    datei.Schreiben("b\r\n");
    try {
        datei.Schliessen();
        FAIL() << "no error raised";
    } catch (const EInOutError& fehler) {
        EXPECT_EQ(fehler.SystemFehler(), EIO);
        EXPECT_EQ(std::string(fehler.what()),
                  "Datendatei „" + pfad +
                      "“ geschlossen; 2 Zeilen ließen sich nicht mehr schreiben und sind "
                      "verloren: E/A-Fehler 1005 (Ein-/Ausgabefehler).");
    }
    EXPECT_FALSE(datei.IstOffen());
}

// A failed sync may have lost what it was to secure: told once until a sync works again.
TEST_F(SchreibdateiTest, GescheiterterSyncWirdEinmalGemeldet) {
    aufrufe.SyncFehler = EIO;
    for (int runde = 0; runde < 3; ++runde) {
        datei.Schreiben("x\r\n");
        aufrufe.Jetzt += Sekunde;
        datei.Synchronisieren();
        if (runde == 1) {
            aufrufe.SyncFehler = 0;
        }
    }
    aufrufe.SyncFehler = EIO;
    datei.Schreiben("y\r\n");
    aufrufe.Jetzt += Sekunde;
    datei.Synchronisieren();
    const std::vector<TDateiMeldung> meldungen = datei.MeldungenAbholen();
    ASSERT_EQ(meldungen.size(), 2U);
    EXPECT_EQ(meldungen[0].Art, TDateiMeldung::TArt::SyncFehler);
    EXPECT_EQ(meldungen[0].Text, "Datendatei „" + pfad +
                                     "“: Das Geschriebene ließ sich nicht auf den Datenträger "
                                     "bringen: E/A-Fehler 1005 (Ein-/Ausgabefehler). Was in der "
                                     "Sekunde davor geschrieben wurde, ist womöglich nicht "
                                     "gesichert.");
}

} // namespace
