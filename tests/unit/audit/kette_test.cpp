// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The hash chain over a data file and its audit trail, and the check that finds where a file
// that was changed afterwards parts from the chain.
#include "DateiGroessenGrenze.h"
#include "Ereignisse.h"
#include "TestOrdner.h"

#include "audit/Kette.h"
#include "audit/Protokoll.h"
#include "audit/Protokollzeile.h"
#include "audit/Pruefen.h"
#include "storage/DateiAufrufe.h"
#include "storage/EInOutError.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <set>
#include <string>

namespace {

const TZeitpunkt Jetzt{6, 12, 2026, 16, 53, 34};

// The documented rule, with values computed independently (Python's hashlib):
// SHA-256(32 zero bytes ‖ "abc\r\n"), then SHA-256(that value's raw bytes ‖ "x\t").
TEST(Kette, VerkettetRohwertUndZeilenbytes) {
    TKette kette;
    EXPECT_EQ(kette.Hex(), std::string(64, '0'));
    kette.Anhaengen("abc\r\n");
    EXPECT_EQ(kette.Hex(), "fb446e7c1d78071296e436cf4fa459edd37d69666e468a18ce9df5b846413a49");
    kette.Anhaengen("x\t");
    EXPECT_EQ(kette.Hex(), "1e1188e8549ea7c55f05997e65eb0a7596ee6e2be87d3de45671406128351146");
    const auto zurueck = TKette::AusHex(kette.Hex());
    ASSERT_TRUE(zurueck);
    EXPECT_EQ(TKette(*zurueck).Hex(), kette.Hex());
    EXPECT_FALSE(TKette::AusHex(std::string(63, '0') + "g"));
}

// A saving session as the writer and the trail see it: the data file written line by line and
// every line handed to the trail.
class TSitzung {
public:
    TSitzung()
        : protokoll([this] { return Datei; }, FesteUhr(Jetzt, 3600), {"laborant", "bank1"}) {}

    void Daten(const std::string& text) {
        inhalt += text;
        DateiSchreiben(Datei, inhalt);
        protokoll.DatenGeschrieben(text);
    }

    TTestOrdner ordner;
    std::string Datei = ordner.Datei("daten.txt");
    std::string inhalt;
    TProtokoll protokoll;
};

// Start, header and two records, a sample change, two more records, saving off: five data lines
// and the trail "Kette begonnen", start, saving on, sample, saving off.
void Ablauf(TSitzung& s) {
    s.protokoll.ProgrammStart("0.1.0");
    s.protokoll.Eintragen("Speichern ein", "sofort");
    s.Daten("Datum\tZeit\tWert\r\n06.12.2026\t16:53:34\t  7,00\r\n");
    s.Daten("06.12.2026\t16:53:35\t  7,01\r\n");
    s.protokoll.AngabeGeaendert("Probe", "A1", "A2", "neue Charge");
    s.Daten("06.12.2026\t16:53:36\t  7,02\r\n");
    s.Daten("06.12.2026\t16:53:37\t  7,03\r\n");
    s.protokoll.Eintragen("Speichern aus", s.Datei);
}

std::string Ersetzt(std::string text, const std::string& alt, const std::string& neu) {
    text.replace(text.find(alt), alt.size(), neu);
    return text;
}

std::string OhneZeile(const std::string& text, std::size_t nummer) {
    std::size_t anfang = 0;
    for (std::size_t i = 1; i < nummer; ++i) {
        anfang = text.find('\n', anfang) + 1;
    }
    return text.substr(0, anfang) + text.substr(text.find('\n', anfang) + 1);
}

struct TEingriff {
    const char* Name;
    std::function<void(std::string& daten, std::string& protokoll)> Aendern;
    int Ergebnis;
    const char* Text;
};

class Eingriff : public testing::TestWithParam<TEingriff> {};

TEST_P(Eingriff, WirdMitDerErstenAbweichendenZeileGemeldet) {
    TSitzung s;
    Ablauf(s);
    std::string daten = s.inhalt;
    std::string protokoll = DateiLesen(ProtokollPfad(s.Datei));
    GetParam().Aendern(daten, protokoll);
    DateiSchreiben(s.Datei, daten);
    DateiSchreiben(ProtokollPfad(s.Datei), protokoll);
    std::FILE* ausgabe = std::tmpfile();
    ASSERT_NE(ausgabe, nullptr);
    EXPECT_EQ(PruefenBefehl(s.Datei, ausgabe), GetParam().Ergebnis);
    std::rewind(ausgabe);
    char zeile[512] = {};
    ASSERT_NE(std::fgets(zeile, sizeof zeile, ausgabe), nullptr);
    std::fclose(ausgabe);
    EXPECT_EQ(std::string(zeile), s.Datei + ": " + GetParam().Text + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, Eingriff,
    testing::Values(
        TEingriff{"Keiner", [](std::string&, std::string&) {}, 0,
                  "unverändert: 5 Zeilen, Kette bis 2026-12-06T16:53:34+01:00"},
        TEingriff{"EinByteEinesWerts",
                  [](std::string& d, std::string&) { d = Ersetzt(d, "7,02", "7,03"); }, 4,
                  "geändert: Zeilen 4–5 der Datendatei oder Protokollzeile 5 passt nicht zur "
                  "Kette"},
        TEingriff{"ZeileGeloescht", [](std::string& d, std::string&) { d = OhneZeile(d, 3); }, 4,
                  "fehlt: in Zeilen 1–3 der Datendatei fehlen Zeilen der Kette (bis "
                  "Protokollzeile 4) (die Kette umfasst 5 Zeilen, die Datei hat 4)"},
        TEingriff{"ZeileEingefuegt",
                  [](std::string& d, std::string&) {
                      d = Ersetzt(d, "06.12.2026\t16:53:37",
                                  "06.12.2026\t16:53:36\t  9,99\r\n"
                                  "06.12.2026\t16:53:37");
                  },
                  4,
                  "hinzugefügt: in Zeilen 4–5 der Datendatei kamen Zeilen hinzu (bis "
                  "Protokollzeile 5) (die Kette umfasst 5 Zeilen, die Datei hat 6)"},
        TEingriff{"ZeileAngehaengt",
                  [](std::string& d, std::string&) { d += "06.12.2026\t16:53:38\t  7,04\r\n"; }, 4,
                  "hinzugefügt: Zeile 6 der Datendatei: ohne Protokolleintrag"},
        TEingriff{"ProtokollUmEineZeileGekuerzt",
                  [](std::string&, std::string& p) { p = OhneZeile(p, 5); }, 4,
                  "hinzugefügt: Zeilen 4–5 der Datendatei: ohne Protokolleintrag"},
        TEingriff{"ProtokollMittenInEinerZeileAbgeschnitten",
                  [](std::string&, std::string& p) { p.resize(p.size() - 10); }, 4,
                  "geändert: Protokollzeile 5 ist unvollständig oder beschädigt"},
        TEingriff{"ProtokolleintragGeaendert",
                  [](std::string&, std::string& p) { p = Ersetzt(p, "Quorlits 0.1.0", "x"); }, 4,
                  "geändert: Protokollzeile 2 passt nicht zur Kette"},
        TEingriff{"ProtokollGeloescht", [](std::string&, std::string& p) { p.clear(); }, 4,
                  "nicht prüfbar: kein Protokoll mit einer Kette"},
        // Earlier versions began the chain anew at zero after a run that ended without its
        // closing events: both parts still check out.
        TEingriff{"AlteKetteNeuBegonnen",
                  [](std::string& d, std::string& p) {
                      d += "06.12.2026\t16:53:38\t  7,04\r\n";
                      TKette kette;
                      for (const std::string_view zeile : ZeilenTeilen(d)) {
                          kette.Anhaengen(zeile);
                      }
                      const std::string anfang = ZeilenAnfang(
                          {"2026-12-07T08:00:00+01:00",
                           "b",
                           "h",
                           std::string(KetteBegonnen),
                           "6 Zeilen der Datendatei übernommen; das Protokoll passte nicht mehr "
                           "zur Datendatei",
                           6,
                           {}});
                      kette.Anhaengen(anfang);
                      p += anfang + kette.Hex() + "\n";
                  },
                  0, "unverändert: 6 Zeilen, Kette bis 2026-12-07T08:00:00+01:00"}),
    [](const testing::TestParamInfo<TEingriff>& fall) { return std::string(fall.param.Name); });

// The trail's lines: seven tab-separated fields, the chain covering the data lines so far.
TEST(Protokoll, ZeilenNennenZeitWerEreignisUndKette) {
    TSitzung s;
    Ablauf(s);
    const std::string protokoll = DateiLesen(ProtokollPfad(s.Datei));
    EXPECT_EQ(protokoll.substr(0, protokoll.find('\t', protokoll.find("Kette begonnen"))),
              "2026-12-06T16:53:34+01:00\tlaborant\tbank1\tKette begonnen");
    EXPECT_NE(protokoll.find("\tProbe\tA1 → A2 (Grund: neue Charge)\t3\t"), std::string::npos)
        << protokoll;
    EXPECT_NE(
        protokoll.find("\tSpeichern aus\t" + s.Datei + "\t5\t" + s.protokoll.KettenKopf() + "\n"),
        std::string::npos)
        << protokoll;
}

// What a later run finds in the data file, what it writes into the trail about it, and what
// --verify says of the whole trail afterwards, also after one more run. The run before wrote
// Ablauf: five data lines, the trail "Kette begonnen", start, saving on, sample (3), saving off
// (5).
struct TNeuerLauf {
    const char* Name;
    std::function<void(std::string& daten)> Aendern;
    bool Ueberschrieben;  // the run empties the file on purpose when it opens it
    const char* Ereignis; // the start of the line the run writes about the chain
    int Ergebnis;
    const char* Text;
};

class NeuerLauf : public testing::TestWithParam<TNeuerLauf> {};

TEST_P(NeuerLauf, VerzeichnetObDieDatendateiNochPasst) {
    TSitzung s;
    Ablauf(s);
    GetParam().Aendern(s.inhalt);
    DateiSchreiben(s.Datei, s.inhalt);
    for (int lauf = 1; lauf <= 2; ++lauf) {
        TProtokoll weiter([&] { return s.Datei; }, FesteUhr(Jetzt, 3600), {"b", "h"});
        s.protokoll.DateiGeoeffnet(); // the first run's object lets go of nothing it holds
        weiter.DateiGeoeffnet(GetParam().Ueberschrieben && lauf == 1);
        weiter.ProgrammStart("0.1.0");
        const std::string zeile = "06.12.2026\t16:53:4" + std::to_string(lauf) + "\t  7,05\r\n";
        s.inhalt += zeile;
        DateiSchreiben(s.Datei, s.inhalt);
        weiter.DatenGeschrieben(zeile);
        weiter.ProgrammEnde();
    }
    const std::string ereignisse = "\n" + Ereignisse(ProtokollPfad(s.Datei));
    EXPECT_NE(ereignisse.find(std::string("\n") + GetParam().Ereignis), std::string::npos)
        << ereignisse;
    EXPECT_EQ(ereignisse.find("?"), std::string::npos) << ereignisse;
    std::FILE* ausgabe = std::tmpfile();
    ASSERT_NE(ausgabe, nullptr);
    EXPECT_EQ(PruefenBefehl(s.Datei, ausgabe), GetParam().Ergebnis);
    std::rewind(ausgabe);
    char text[512] = {};
    ASSERT_NE(std::fgets(text, sizeof text, ausgabe), nullptr);
    std::fclose(ausgabe);
    EXPECT_EQ(std::string(text), s.Datei + ": " + GetParam().Text + "\n");
    EXPECT_EQ(std::filesystem::exists(ProtokollPfad(s.Datei) + ".1"), GetParam().Ueberschrieben);
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, NeuerLauf,
    testing::Values(
        TNeuerLauf{"Unveraendert", [](std::string&) {}, false,
                   "Kette fortgesetzt: die Datendatei passt zum Protokoll; Kette bis ", 0,
                   "unverändert: 7 Zeilen, Kette bis 2026-12-06T16:53:34+01:00"},
        // A run that ended without its closing events left a line after the trail's last one.
        TNeuerLauf{"ZeileOhneProtokolleintrag",
                   [](std::string& d) { d += "06.12.2026\t16:53:38\t  7,04\r\n"; }, false,
                   "Kette fortgesetzt: die Datendatei passt zum Protokoll; Kette bis ", 0,
                   "unverändert: 8 Zeilen, Kette bis 2026-12-06T16:53:34+01:00"},
        // Cut to its first four lines, the fourth changed: a new chain over what the file holds
        // would check out; the whole trail does not.
        TNeuerLauf{
            "GekuerztUndGeaendert",
            [](std::string& d) { d = Ersetzt(d.substr(0, d.rfind("06.12.2026")), "7,02", "7,92"); },
            false, "Kette unterbrochen ab Zeile 4: die Datendatei passt nicht mehr", 4,
            "geändert: Zeilen 4–5 der Datendatei oder Protokollzeile 5 passt nicht zur "
            "Kette"},
        TNeuerLauf{"UeberschriebenMitAbsicht", [](std::string& d) { d.clear(); }, true,
                   "Kette begonnen: 0 Zeilen der Datendatei übernommen; die Datei wurde "
                   "überschrieben, das bisherige Protokoll ist ",
                   0, "unverändert: 2 Zeilen, Kette bis 2026-12-06T16:53:34+01:00"}),
    [](const testing::TestParamInfo<TNeuerLauf>& fall) { return std::string(fall.param.Name); });

// Events before the first data file wait and go into its trail in their order; a run that never
// names a data file leaves no trail anywhere.
TEST(Protokoll, EreignisseVorDerErstenDatendateiWarten) {
    TTestOrdner ordner;
    std::string datei;
    {
        TProtokoll ohne([&] { return datei; }, FesteUhr(Jetzt, 3600), {"b", "h"});
        ohne.ProgrammStart("0.1.0");
        ohne.ProgrammEnde();
    }
    EXPECT_FALSE(std::filesystem::exists(ProtokollPfad("")));
    TProtokoll protokoll([&] { return datei; }, FesteUhr(Jetzt, 3600), {"b", "h"});
    protokoll.ProgrammStart("0.1.0");
    protokoll.AngabeGeaendert("Probe", "", "P1");
    EXPECT_EQ(protokoll.KettenKopf(), "");
    datei = ordner.Datei("daten.txt");
    protokoll.Eintragen("Speichern ein", "sofort");
    EXPECT_EQ(Ereignisse(ProtokollPfad(datei)),
              "Kette begonnen: 0 Zeilen der Datendatei übernommen\n"
              "Programmstart: Quorlits 0.1.0\n"
              "Probe:  → P1\n"
              "Speichern ein: sofort\n");
    EXPECT_EQ(protokoll.KettenKopf().size(), 64U);
}

// A trail that cannot be written loses no event: each waits and goes in, in its order, with
// the next event that can be written, and the chain still covers the data file.
TEST(Protokoll, EreignisseWartenBisDasProtokollWiederGeht) {
    TSitzung s;
    s.protokoll.Eintragen("Speichern ein", "sofort");
    s.Daten("eins\r\n");
    {
        // The next event's line goes out part-way, the one after it not at all.
        TDateiGroessenGrenze voll(std::filesystem::file_size(ProtokollPfad(s.Datei)) + 10);
        EXPECT_THROW(s.protokoll.Eintragen("Fehler", "Zu wenig Speicherplatz"), EInOutError);
        s.Daten("zwei\r\n");
        EXPECT_THROW(s.protokoll.Eintragen("Messende", "WTW"), EInOutError);
    }
    s.protokoll.ProgrammEnde();
    EXPECT_EQ(Ereignisse(ProtokollPfad(s.Datei)),
              "Kette begonnen: 0 Zeilen der Datendatei übernommen\n"
              "Speichern ein: sofort\n"
              "Fehler: Zu wenig Speicherplatz\n"
              "Messende: WTW\n"
              "Programmende: \n");
    EXPECT_EQ(PruefText(DatendateiPruefen(s.inhalt, DateiLesen(ProtokollPfad(s.Datei)))),
              "unverändert: 2 Zeilen, Kette bis 2026-12-06T16:53:34+01:00");
}

// A write cut short leaves a piece of a line; the chain takes it with the rest of its line, in
// the same run or in the next one after a crash, so the file still checks out.
TEST(Protokoll, EinZeilenstueckWirdMitDemRestSeinerZeileVerkettet) {
    TSitzung s;
    s.protokoll.Eintragen("Speichern ein", "sofort");
    s.Daten("eins\r\nzw");
    s.protokoll.Eintragen("Fehler", "Zu wenig Speicherplatz");
    s.Daten("ei\r\ndr");
    s.protokoll.Eintragen("Messende", "WTW"); // and then the program died
    {
        TProtokoll weiter([&] { return s.Datei; }, FesteUhr(Jetzt, 3600), {"b", "h"});
        s.inhalt += "\r\nvier\r\n";
        DateiSchreiben(s.Datei, s.inhalt);
        weiter.DatenGeschrieben("\r\nvier\r\n");
        weiter.ProgrammEnde();
    }
    EXPECT_EQ(PruefText(DatendateiPruefen(s.inhalt, DateiLesen(ProtokollPfad(s.Datei)))),
              "unverändert: 4 Zeilen, Kette bis 2026-12-06T16:53:34+01:00");
    const std::string ereignisse = "\n" + Ereignisse(ProtokollPfad(s.Datei));
    EXPECT_EQ(ereignisse.find("Kette begonnen"), ereignisse.rfind("Kette begonnen")) << ereignisse;
}

// The trail's system calls: the next `syncFehler` syncs fail with EIO, a truncation fails while
// `kuerzenFehler` is set, and the syncs of folders are counted.
class TProtokollAufrufe : public TEchteDateiAufrufe {
public:
    int Open(const char* pfad, int flags, mode_t rechte) override {
        const int fd = TEchteDateiAufrufe::Open(pfad, flags, rechte);
        if (fd >= 0 && (flags & O_DIRECTORY) != 0) {
            ordner.insert(fd);
        }
        return fd;
    }
    int Close(int fd) override {
        ordner.erase(fd);
        return TEchteDateiAufrufe::Close(fd);
    }
    int Fsync(int fd) override {
        ordnerSyncs += static_cast<int>(ordner.count(fd));
        return TEchteDateiAufrufe::Fsync(fd);
    }
    int Fdatasync(int fd) override {
        if (syncFehler > 0) {
            --syncFehler;
            errno = EIO;
            return -1;
        }
        return TEchteDateiAufrufe::Fdatasync(fd);
    }
    int Ftruncate(int fd, off_t laenge) override {
        if (kuerzenFehler) {
            errno = EIO;
            return -1;
        }
        return TEchteDateiAufrufe::Ftruncate(fd, laenge);
    }

    int syncFehler = 0;
    bool kuerzenFehler = false;
    int ordnerSyncs = 0;
    std::set<int> ordner;
};

// A trail line whose sync fails is cut off again and stays out of the chain in memory; its
// event waits and goes in with the next line, so the file still checks out. When the cut fails
// too, the line stays and the next write reads the trail anew: the event is then there twice,
// and the chain still fits. The new trail's folder was synced once.
TEST(Protokoll, EineZeileDerenSyncScheitertBleibtAusserhalbDerKette) {
    for (const bool kuerzenFehler : {false, true}) {
        TSitzung s;
        TProtokollAufrufe aufrufe;
        s.protokoll.AufrufeSetzen(aufrufe);
        s.protokoll.Eintragen("Speichern ein", "sofort");
        EXPECT_EQ(aufrufe.ordnerSyncs, 1);
        s.Daten("eins\r\n");
        aufrufe.syncFehler = 1;
        aufrufe.kuerzenFehler = kuerzenFehler;
        EXPECT_THROW(s.protokoll.Eintragen("Fehler", "Ein-/Ausgabefehler"), EInOutError);
        aufrufe.kuerzenFehler = false;
        s.Daten("zwei\r\n");
        s.protokoll.ProgrammEnde();
        EXPECT_EQ(Ereignisse(ProtokollPfad(s.Datei)),
                  std::string("Kette begonnen: 0 Zeilen der Datendatei übernommen\n"
                              "Speichern ein: sofort\n") +
                      (kuerzenFehler ? "Fehler: Ein-/Ausgabefehler\n" : "") +
                      "Fehler: Ein-/Ausgabefehler\n"
                      "Programmende: \n");
        EXPECT_EQ(PruefText(DatendateiPruefen(s.inhalt, DateiLesen(ProtokollPfad(s.Datei)))),
                  "unverändert: 2 Zeilen, Kette bis 2026-12-06T16:53:34+01:00");
        EXPECT_EQ(aufrufe.ordnerSyncs, 1);
    }
}

} // namespace
