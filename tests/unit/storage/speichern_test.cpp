// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/Dateinamen.h"
#include "storage/EInOutError.h"
#include "storage/Speichern.h"
#include "storage/StartFehler.h"

#include "TestAufrufe.h"
#include "TestOrdner.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

const TZeitpunkt Nikolaus2001{6, 12, 2001, 14, 30, 5};

constexpr const char* KopfKurz = "PC-Datum\tPC-Zeit\tWert\tEinheit\tTemp.\tEinheit\r\n";
constexpr const char* KopfLang =
    "PC-Datum\tPC-Zeit\tDatum\tZeit\tWert\tEinheit\tTemp.\tEinheit\tTref\tTCKoeff\r\n";

TMesswert Messwert(double wert, bool gerahmt = false) {
    TMesswert m;
    m.PCDatum = "06.12.2001";
    m.PCZeit = "14:30:05";
    m.Datum = "06.12.01";
    m.Zeit = "14:30";
    m.Wert = wert;
    m.Einheit = "pH";
    m.Temp = 24.8;
    m.Tref = 25;
    m.TCKoeff = 0.475;
    m.Gerahmt = gerahmt;
    return m;
}

std::string::difference_type Anzahl(const std::string& text, const std::string& teil) {
    std::string::difference_type n = 0;
    for (std::size_t stelle = text.find(teil); stelle != std::string::npos;
         stelle = text.find(teil, stelle + teil.size())) {
        ++n;
    }
    return n;
}

// Runs with the comma as the decimal separator, as the program does after its first activation.
class SpeichernTest : public ::testing::Test {
protected:
    void SetUp() override {
        trennerVorher = DezimalTrennzeichen();
        DezimalTrennzeichenSetzen(',');
    }
    void TearDown() override { DezimalTrennzeichenSetzen(trennerVorher); }
    TKonfiguration FesterName(bool ueberschreiben) {
        TKonfiguration k;
        k.AutoDateiname = false;
        k.Ueberschreiben = ueberschreiben;
        k.Ausgabedatei = verzeichnis.Datei("Daten.txt");
        return k;
    }
    void Speichern(int anzahl) {
        for (int i = 0; i < anzahl; ++i) {
            SpeichereWert(zustand, Messwert(7.0 + i));
        }
    }

    char trennerVorher = '.';
    TTestOrdner verzeichnis;
    TTestAufrufe aufrufe; // outlives the data file that uses it
    TSpeicherZustand zustand;
};

constexpr std::int64_t Sekunde = 1'000'000'000;
const std::string Zeile7 = "06.12.2001\t14:30:05\t  7,00\tpH\t 24,80\t\xB0"
                           "C\r\n";

// A full disk costs no reading, and the count shows what reached the file.
TEST_F(SpeichernTest, VollePlatteZaehltNurWasInDerDateiAnkommt) {
    TKonfiguration k = FesterName(true);
    zustand.Datendatei.UmgebungSetzen(aufrufe.UmgebungMit());
    zustand.Datendatei.ZeilenAufbewahren(true);
    ASSERT_TRUE(SpeichernStarten(zustand, k, Nikolaus2001));
    aufrufe.SchreibFehler = ENOSPC;
    Speichern(3);
    EXPECT_EQ(zustand.AnzahlGespeichert, 0);
    EXPECT_EQ(zustand.Datendatei.Wartend(), 3U);
    EXPECT_EQ(zustand.Datendatei.MeldungenAbholen().size(), 1U);
    aufrufe.SchreibFehler = 0;
    aufrufe.Jetzt += Sekunde;
    SpeicherSynchronisieren(zustand);
    EXPECT_EQ(zustand.AnzahlGespeichert, 3);
    Speichern(1);
    EXPECT_EQ(zustand.AnzahlGespeichert, 4);
    zustand.Datendatei.Schliessen();
    const std::string inhalt = DateiLesen(k.Ausgabedatei);
    EXPECT_EQ(inhalt.substr(0, std::string(KopfKurz).size() + Zeile7.size()), KopfKurz + Zeile7);
    EXPECT_EQ(Anzahl(inhalt, "PC-Datum"), 1);
    EXPECT_EQ(Anzahl(inhalt, "\r\n"), 5);
}

TEST_F(SpeichernTest, NeuAngelegteDateiBekommtIhreKopfzeile) {
    TKonfiguration k = FesterName(false);
    zustand.Datendatei.UmgebungSetzen(aufrufe.UmgebungMit());
    ASSERT_TRUE(SpeichernStarten(zustand, k, Nikolaus2001));
    Speichern(1);
    std::filesystem::remove(k.Ausgabedatei);
    aufrufe.Jetzt += Sekunde;
    Speichern(1);
    EXPECT_EQ(zustand.AnzahlGespeichert, 2);
    zustand.Datendatei.Schliessen();
    EXPECT_EQ(DateiLesen(k.Ausgabedatei), KopfKurz + Zeile7);
}

// A logger started again on its file adds no header that is already the file's last one.
TEST_F(SpeichernTest, GleicheLetzteKopfzeileWirdAusgelassen) {
    struct Fall {
        bool auslassen;
        bool gerahmt;
        bool mitKopf;
    };
    for (const Fall fall :
         {Fall{true, false, false}, Fall{true, true, true}, Fall{false, false, true}}) {
        SCOPED_TRACE(fall.auslassen);
        TKonfiguration k = FesterName(false);
        DateiSchreiben(k.Ausgabedatei, KopfKurz + Zeile7);
        TSpeicherZustand lauf;
        lauf.GleicheKopfzeileAuslassen = fall.auslassen;
        ASSERT_TRUE(SpeichernStarten(lauf, k, Nikolaus2001));
        SpeichereWert(lauf, Messwert(7.0, fall.gerahmt));
        lauf.Datendatei.Schliessen();
        EXPECT_EQ(Anzahl(DateiLesen(k.Ausgabedatei), "PC-Datum"), fall.mitKopf ? 2 : 1);
    }
}

// With the setting on, header and record end in sample, operator and electrode, in the file's
// Windows-1252, and no value can split a line or a field; a file whose last header lacks them
// gets the new header even where equal headers are left out.
TEST_F(SpeichernTest, AngabenStehenAmEndeJederZeile) {
    TKonfiguration k = FesterName(false);
    DateiSchreiben(k.Ausgabedatei, KopfKurz + Zeile7);
    zustand.GleicheKopfzeileAuslassen = true;
    zustand.AngabenSchreiben = true;
    zustand.Angaben = {"P-17\tA", "J\xC3\xB6rg\r\nM",
                       "E\xE2\x82\xAC"
                       "1 \xE2\x9C\x93\xFF"};
    ASSERT_TRUE(SpeichernStarten(zustand, k, Nikolaus2001));
    Speichern(1);
    zustand.Angaben.Probe = "P-18";
    Speichern(1);
    zustand.Datendatei.Schliessen();
    const std::string kopf = "PC-Datum\tPC-Zeit\tWert\tEinheit\tTemp.\tEinheit\tProbe\tBediener\t"
                             "Elektrode\r\n";
    const std::string ende = "\tJ\xF6rg  M\tE\x80"
                             "1 ??\r\n";
    const std::string wert = Zeile7.substr(0, Zeile7.size() - 2);
    EXPECT_EQ(DateiLesen(k.Ausgabedatei),
              KopfKurz + Zeile7 + kopf + wert + "\tP-17 A" + ende + wert + "\tP-18" + ende);
}

TEST_F(SpeichernTest, ErsterWertNachRuecksetzenBekommtKopfzeile) {
    TKonfiguration k = FesterName(true);
    ASSERT_TRUE(SpeichernStarten(zustand, k, Nikolaus2001));
    SpeichereWert(zustand, Messwert(7.012));
    EXPECT_EQ(zustand.AnzahlGespeichert, 1);
    SpeichereWert(zustand, Messwert(7.5));
    EXPECT_EQ(zustand.AnzahlGespeichert, 2);
    zustand.Datendatei.Schliessen();
    EXPECT_EQ(DateiLesen(k.Ausgabedatei), std::string(KopfKurz) +
                                              "06.12.2001\t14:30:05\t  7,01\tpH\t 24,80\t\xB0"
                                              "C\r\n06.12.2001\t14:30:05\t  7,50\tpH\t 24,80\t\xB0"
                                              "C\r\n");
}

TEST_F(SpeichernTest, GemischteAnordnungenTeilenSichDieKopfzeileDesErstenWerts) {
    TKonfiguration k = FesterName(true);
    ASSERT_TRUE(SpeichernStarten(zustand, k, Nikolaus2001));
    SpeichereWert(zustand, Messwert(1.0, true));
    SpeichereWert(zustand, Messwert(2.0, false));
    zustand.Datendatei.Schliessen();
    const std::string inhalt = DateiLesen(k.Ausgabedatei);
    EXPECT_EQ(inhalt.substr(0, std::string(KopfLang).size()), KopfLang);
    EXPECT_EQ(Anzahl(inhalt, "PC-Datum"), 1);
    EXPECT_EQ(Anzahl(inhalt, "\r\n"), 3);
    EXPECT_EQ(Anzahl(inhalt, "\t"), 9 + 9 + 5);
}

TEST_F(SpeichernTest, UeberschreibenLeertDieDateiSchonBeimStart) {
    TKonfiguration k = FesterName(true);
    DateiSchreiben(k.Ausgabedatei, "alte Messung\r\n");
    zustand.AnzahlGespeichert = 12;
    ASSERT_TRUE(SpeichernStarten(zustand, k, Nikolaus2001));
    EXPECT_EQ(zustand.AnzahlGespeichert, 0);
    EXPECT_EQ(DateiLesen(k.Ausgabedatei), "");
    EXPECT_EQ(k.Ausgabedatei, verzeichnis.Datei("Daten.txt"));
}

TEST_F(SpeichernTest, AnhaengenAusUndWiederEinInEinerMessungOhneZweiteKopfzeile) {
    TKonfiguration k = FesterName(false);
    DateiSchreiben(k.Ausgabedatei, "alt\r\n");
    zustand.AnzahlGespeichert = 0; // the start of the measurement
    ASSERT_TRUE(SpeichernStarten(zustand, k, Nikolaus2001));
    Speichern(3);
    zustand.Datendatei.Schliessen();
    ASSERT_TRUE(SpeichernStarten(zustand, k, Nikolaus2001));
    EXPECT_EQ(zustand.AnzahlGespeichert, 3);
    Speichern(2);
    zustand.Datendatei.Schliessen();
    const std::string inhalt = DateiLesen(k.Ausgabedatei);
    EXPECT_EQ(inhalt.substr(0, 5), "alt\r\n");
    EXPECT_EQ(Anzahl(inhalt, "PC-Datum"), 1);
    EXPECT_EQ(Anzahl(inhalt, "\xB0"
                             "C\r\n"),
              5);
    EXPECT_EQ(zustand.AnzahlGespeichert, 5);
}

TEST_F(SpeichernTest, NeueMessungBeiLaufendemSpeichernSchreibtZweiteKopfzeile) {
    TKonfiguration k = FesterName(false);
    ASSERT_TRUE(SpeichernStarten(zustand, k, Nikolaus2001));
    Speichern(2);
    zustand.AnzahlGespeichert = 0; // a new meter measurement starts
    Speichern(1);
    zustand.Datendatei.Schliessen();
    const std::string inhalt = DateiLesen(k.Ausgabedatei);
    EXPECT_EQ(Anzahl(inhalt, KopfKurz), 2);
    EXPECT_EQ(Anzahl(inhalt, "\r\n"), 5);
}

TEST_F(SpeichernTest, AutomatischeNamenJeStartEineNeueDateiMitKopfzeile) {
    TKonfiguration k;
    k.Ausgabedatei = verzeichnis.Datei("Daten.txt");
    for (int start = 0; start < 3; ++start) {
        ASSERT_TRUE(SpeichernStarten(zustand, k, Nikolaus2001));
        EXPECT_EQ(k.Ausgabedatei, verzeichnis.Datei("06122001.00" + std::to_string(start)));
        EXPECT_EQ(DateinamenTeil(k.Ausgabedatei), "06122001.00" + std::to_string(start));
        Speichern(2);
        zustand.Datendatei.Schliessen();
    }
    for (int start = 0; start < 3; ++start) {
        const std::string inhalt =
            DateiLesen(verzeichnis.Datei("06122001.00" + std::to_string(start)));
        EXPECT_EQ(Anzahl(inhalt, KopfKurz), 1) << start;
        EXPECT_EQ(Anzahl(inhalt, "\r\n"), 3) << start;
    }
}

TEST_F(SpeichernTest, AutomatischerNameOhneVerzeichnisLandetImAktuellenVerzeichnis) {
    const auto vorher = std::filesystem::current_path();
    std::filesystem::current_path(verzeichnis.Verzeichnis());
    TKonfiguration k; // "Daten.txt"
    const bool gestartet = SpeichernStarten(zustand, k, Nikolaus2001);
    zustand.Datendatei.Schliessen();
    std::filesystem::current_path(vorher);
    EXPECT_TRUE(gestartet);
    EXPECT_EQ(k.Ausgabedatei, "06122001.000");
    EXPECT_TRUE(std::filesystem::exists(verzeichnis.Datei("06122001.000")));
}

TEST_F(SpeichernTest, FehlendesVerzeichnisScheitertOhneEtwasAnzulegen) {
    TKonfiguration fest = FesterName(false);
    fest.Ausgabedatei = verzeichnis.Datei("fehlt/Daten.txt");
    EXPECT_FALSE(SpeichernStarten(zustand, fest, Nikolaus2001));
    EXPECT_FALSE(zustand.Datendatei.IstOffen());

    TKonfiguration automatisch;
    automatisch.Ausgabedatei = verzeichnis.Datei("fehlt/Daten.txt");
    EXPECT_FALSE(SpeichernStarten(zustand, automatisch, Nikolaus2001));
    EXPECT_EQ(automatisch.Ausgabedatei, verzeichnis.Datei("fehlt/06122001.000"));
    EXPECT_FALSE(std::filesystem::exists(verzeichnis.Datei("fehlt")));
}

TEST_F(SpeichernTest, AlleTausendNamenBelegtScheitertOhneEineDateiZuBeruehren) {
    for (int n = 0; n < 1000; ++n) {
        std::string nummer = std::to_string(n);
        nummer.insert(0, 3 - nummer.size(), '0');
        DateiSchreiben(verzeichnis.Datei("06122001." + nummer), "Datei " + nummer);
    }
    for (const bool ueberschreiben : {false, true}) {
        TKonfiguration k;
        k.Ueberschreiben = ueberschreiben;
        k.Ausgabedatei = verzeichnis.Datei("Daten.txt");
        EXPECT_FALSE(SpeichernStarten(zustand, k, Nikolaus2001));
        EXPECT_FALSE(zustand.Datendatei.IstOffen());
        EXPECT_EQ(k.Ausgabedatei, verzeichnis.Datei("Daten.txt"));
    }
    EXPECT_EQ(DateiLesen(verzeichnis.Datei("06122001.000")), "Datei 000");
    EXPECT_EQ(DateiLesen(verzeichnis.Datei("06122001.999")), "Datei 999");
    EXPECT_FALSE(std::filesystem::exists(verzeichnis.Datei("Daten.txt")));
}

TEST_F(SpeichernTest, SchreibfehlerErhoehtDenZaehlerUndLaesstDieDateiOffen) {
    TKonfiguration k = FesterName(false);
    k.Ausgabedatei = "/dev/full";
    ASSERT_TRUE(SpeichernStarten(zustand, k, Nikolaus2001));
    EXPECT_THROW(SpeichereWert(zustand, Messwert(7.0)), EInOutError);
    EXPECT_EQ(zustand.AnzahlGespeichert, 1);
    EXPECT_TRUE(zustand.Datendatei.IstOffen());
}

TEST_F(SpeichernTest, ZaehlerBleibtAmGroesstenWertStehen) {
    TKonfiguration k = FesterName(false);
    ASSERT_TRUE(SpeichernStarten(zustand, k, Nikolaus2001));
    zustand.AnzahlGespeichert = std::numeric_limits<std::int32_t>::max();
    Speichern(2);
    zustand.Datendatei.Schliessen();
    EXPECT_EQ(zustand.AnzahlGespeichert, std::numeric_limits<std::int32_t>::max());
    const std::string inhalt = DateiLesen(k.Ausgabedatei);
    EXPECT_EQ(Anzahl(inhalt, "PC-Datum"), 0);
    EXPECT_EQ(Anzahl(inhalt, "\r\n"), 2);
}

// Why a start fails: the text for the error box, for every cause with a text of its own and
// for the fall-back to the system's message. Each start runs in a child process so that the
// cases that need an unprivileged user (write permissions do not stop root) and the ones that
// run in another current directory leave this process as it was.

struct TStartErgebnis {
    int Kind = -1; // the child's exit status
    bool Gestartet = true;
    bool Offen = true;
    std::string Fehler;
};

// Starts saving with `k` in a child (as an unprivileged user with `ohneRechte`, in `ordner` when
// it is not empty) and reports what the start left behind.
TStartErgebnis StartenImKind(TKonfiguration k, bool ohneRechte, const std::string& ordner) {
    int rohr[2];
    if (::pipe(rohr) != 0) {
        ADD_FAILURE() << "pipe";
        return {};
    }
    TStartErgebnis ergebnis;
    ergebnis.Kind = ImKindprozess(
        [&] {
            ::close(rohr[0]);
            if (!ordner.empty() && ::chdir(ordner.c_str()) != 0) {
                return 80;
            }
            TSpeicherZustand zustand;
            zustand.StartFehler = "vom letzten Mal";
            const bool gestartet = SpeichernStarten(zustand, k, Nikolaus2001);
            const std::string bericht = std::string(gestartet ? "1" : "0") +
                                        (zustand.Datendatei.IstOffen() ? "1" : "0") +
                                        zustand.StartFehler;
            return ::write(rohr[1], bericht.data(), bericht.size()) ==
                           static_cast<ssize_t>(bericht.size())
                       ? 0
                       : 81;
        },
        ohneRechte);
    ::close(rohr[1]);
    std::string bericht;
    char puffer[512];
    for (ssize_t n; (n = ::read(rohr[0], puffer, sizeof puffer)) > 0;) {
        bericht.append(puffer, static_cast<std::size_t>(n));
    }
    ::close(rohr[0]);
    if (bericht.size() >= 2) {
        ergebnis.Gestartet = bericht[0] == '1';
        ergebnis.Offen = bericht[1] == '1';
        ergebnis.Fehler = bericht.substr(2);
    }
    return ergebnis;
}

// `muster` with every "{v}" replaced by the test folder with its trailing "/", and "{c}" by the
// same without symbolic links (as the system names a current directory).
std::string Einsetzen(std::string muster, const TTestOrdner& v) {
    const std::pair<std::string, std::string> ersetzungen[] = {
        {"{v}", v.Verzeichnis()}, {"{c}", std::filesystem::canonical(v.Pfad()).string() + "/"}};
    for (const auto& [platzhalter, text] : ersetzungen) {
        for (std::size_t stelle; (stelle = muster.find(platzhalter)) != std::string::npos;) {
            muster.replace(stelle, platzhalter.size(), text);
        }
    }
    return muster;
}

void Ordner(const TTestOrdner& v, const std::string& name, std::filesystem::perms rechte) {
    std::filesystem::create_directory(v / name);
    std::filesystem::permissions(v / name, rechte);
}

void AlleNamenBelegen(const TTestOrdner& v) {
    for (int n = 0; n < AnzahlGenerierterNamen; ++n) {
        DateiSchreiben(GenerierterName("06122001", v.Verzeichnis(), n), "");
    }
}

using std::filesystem::perms;
constexpr perms NurLesen = perms::owner_read | perms::owner_exec | perms::group_read |
                           perms::group_exec | perms::others_read | perms::others_exec;

struct TFall {
    const char* Name;
    const char* Ausgabedatei; // "{v}" stands for the test folder
    bool AutoDateiname;
    bool Ueberschreiben;
    bool OhneRechte;
    const char* Arbeitsordner; // under the test folder; empty: stay where the tests run
    std::function<void(const TTestOrdner&)> Vorbereiten;
    const char* Erwartet;
};

const TFall Faelle[] = {
    {"VerzeichnisFehlt", "{v}fehlt/Daten.txt", false, false, false, "", [](const TTestOrdner&) {},
     "Speichern nicht möglich: Das Verzeichnis „{v}fehlt/“ gibt es nicht. "
     "(Datei „{v}fehlt/Daten.txt“)"},
    {"VerzeichnisFehltBeiAutomatischemNamen", "{v}fehlt/tief/Daten.txt", true, false, false, "",
     [](const TTestOrdner&) {},
     "Speichern nicht möglich: Das Verzeichnis „{v}fehlt/tief/“ gibt es nicht. "
     "(Datei „{v}fehlt/tief/06122001.000“)"},
    {"VerzeichnisTeilIstEineDatei", "{v}notizen.txt/Daten.txt", false, true, false, "",
     [](const TTestOrdner& v) { DateiSchreiben(v / "notizen.txt", "x"); },
     "Speichern nicht möglich: Das Verzeichnis „{v}notizen.txt/“ gibt es nicht. "
     "(Datei „{v}notizen.txt/Daten.txt“)"},
    {"PfadIstEinVerzeichnis", "{v}unter", false, true, false, "",
     [](const TTestOrdner& v) { Ordner(v, "unter", perms::owner_all); },
     "Speichern nicht möglich: Der Pfad bezeichnet ein Verzeichnis, keine Datei. "
     "(Datei „{v}unter“)"},
    {"VerzeichnisOhneSchreibrecht", "{v}nurlesen/Daten.txt", false, false, true, "",
     [](const TTestOrdner& v) { Ordner(v, "nurlesen", NurLesen); },
     "Speichern nicht möglich: Im Verzeichnis „{v}nurlesen/“ darf keine Datei angelegt werden "
     "(keine Schreibberechtigung). (Datei „{v}nurlesen/Daten.txt“)"},
    {"BlosserNameImAktuellenVerzeichnisOhneSchreibrecht", "Daten.txt", false, false, true,
     "nurlesen", [](const TTestOrdner& v) { Ordner(v, "nurlesen", NurLesen); },
     "Speichern nicht möglich: Im Verzeichnis „{c}nurlesen/“ darf keine Datei angelegt werden "
     "(keine Schreibberechtigung). (Datei „Daten.txt“)"},
    {"DateiOhneSchreibrecht", "{v}Daten.txt", false, false, true, "",
     [](const TTestOrdner& v) {
         DateiSchreiben(v / "Daten.txt", "alt");
         std::filesystem::permissions(v / "Daten.txt", perms::owner_read | perms::others_read);
     },
     "Speichern nicht möglich: Die Datei darf nicht beschrieben werden (keine "
     "Schreibberechtigung). (Datei „{v}Daten.txt“)"},
    {"VerzeichnisNichtDurchsuchbarBeiAutomatischemNamen", "{v}zu/Daten.txt", true, false, true, "",
     [](const TTestOrdner& v) { Ordner(v, "zu", perms::none); },
     "Speichern nicht möglich: Im Verzeichnis „{v}zu/“ darf keine Datei angelegt werden "
     "(keine Schreibberechtigung). (Datei „{v}zu/06122001.000“)"},
    {"AlleNamenDesTagesVergeben", "{v}Daten.txt", true, false, false, "", AlleNamenBelegen,
     "Speichern nicht möglich: Alle Dateinamen des Tages sind vergeben: „{v}06122001.000“ bis "
     "„06122001.999“."},
    // A named pipe (no reader needed to refuse it) and a device are no place for readings.
    {"PipeStattDatei", "{v}rohr", false, false, false, "",
     [](const TTestOrdner& v) { ASSERT_EQ(::mkfifo((v / "rohr").c_str(), 0666), 0); },
     "Speichern nicht möglich: Der Pfad bezeichnet eine benannte Pipe (FIFO), keine gewöhnliche "
     "Datei; gespeichert wird nur in gewöhnliche Dateien. (Datei „{v}rohr“)"},
    {"GeraetStattDatei", "/dev/zero", false, true, false, "", [](const TTestOrdner&) {},
     "Speichern nicht möglich: Der Pfad bezeichnet ein Gerät, keine gewöhnliche Datei; "
     "gespeichert wird nur in gewöhnliche Dateien. (Datei „/dev/zero“)"},
};

class StartFehlerTest : public ::testing::TestWithParam<TFall> {
protected:
    // The unprivileged user must be able to pass through the test folder.
    void SetUp() override { std::filesystem::permissions(v.Pfad(), NurLesen | perms::owner_all); }
    TTestOrdner v;
};

TEST_P(StartFehlerTest, SagtWarumMitDemDateinamen) {
    const TFall& fall = GetParam();
    fall.Vorbereiten(v);
    TKonfiguration k;
    k.Ausgabedatei = Einsetzen(fall.Ausgabedatei, v);
    k.AutoDateiname = fall.AutoDateiname;
    k.Ueberschreiben = fall.Ueberschreiben;
    const std::string ordner = *fall.Arbeitsordner != '\0' ? v.Datei(fall.Arbeitsordner) : "";
    const TStartErgebnis ergebnis = StartenImKind(k, fall.OhneRechte, ordner);
    ASSERT_EQ(ergebnis.Kind, 0);
    EXPECT_FALSE(ergebnis.Gestartet);
    EXPECT_FALSE(ergebnis.Offen);
    EXPECT_EQ(ergebnis.Fehler, Einsetzen(fall.Erwartet, v));
}

INSTANTIATE_TEST_SUITE_P(Ursachen, StartFehlerTest, ::testing::ValuesIn(Faelle),
                         [](const ::testing::TestParamInfo<TFall>& fall) {
                             return std::string(fall.param.Name);
                         });

// The causes that a test cannot produce on every machine (a read-only file system, a full
// table of open files, ...), told with their errno; the directory exists.
TEST(OeffnenFehlerText, UrsachenOhneEigeneVorbereitung) {
    TTestOrdner v;
    const std::string datei = v.Datei("Daten.txt");
    const std::pair<int, std::string> faelle[] = {
        {EROFS, "Der Datenträger ist schreibgeschützt."},
        {EPERM, "Im Verzeichnis „" + v.Verzeichnis() +
                    "“ darf keine Datei angelegt werden (keine Schreibberechtigung)."},
        // The run-time's text, and the German text of the system's error beside it.
        {ENOSPC, "Zu wenig Speicherplatz (Kein Speicherplatz mehr auf dem Gerät)."},
        {EMFILE, "Zu viele geöffnete Dateien (Zu viele offene Dateien)."},
        {ENAMETOOLONG, "Ungültiger Dateiname (Der Dateiname ist zu lang)."},
        {ENXIO, "E/A-Fehler 1006 (Gerät oder Adresse nicht vorhanden)."},
        {EIO, "E/A-Fehler 1005 (Ein-/Ausgabefehler)."},
        // The directory is there, so a missing file is not blamed on it.
        {ENOENT, "Datei nicht gefunden (Datei oder Verzeichnis nicht vorhanden)."},
    };
    for (const auto& [fehler, grund] : faelle) {
        EXPECT_EQ(OeffnenFehlerText(datei, fehler),
                  "Speichern nicht möglich: " + grund + " (Datei „" + datei + "“)")
            << fehler;
    }
}

TEST_F(SpeichernTest, ErfolgreicherStartLeertDenStartfehler) {
    TKonfiguration k = FesterName(false);
    k.Ausgabedatei = verzeichnis.Datei("fehlt/Daten.txt");
    ASSERT_FALSE(SpeichernStarten(zustand, k, Nikolaus2001));
    EXPECT_NE(zustand.StartFehler, "");
    k.Ausgabedatei = verzeichnis.Datei("Daten.txt");
    ASSERT_TRUE(SpeichernStarten(zustand, k, Nikolaus2001));
    EXPECT_EQ(zustand.StartFehler, "");
    zustand.Datendatei.Schliessen();
}

} // namespace
