// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/Datendatei.h"
#include "storage/EInOutError.h"

#include "TestAufrufe.h"
#include "TestOrdner.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

class DatendateiTest : public ::testing::Test {
protected:
    TTestOrdner v;
    const std::string pfad = v.Datei("Daten.txt");
    TTestAufrufe aufrufe; // outlives the file that uses it
    TDatendatei datei;
};

// The number the next new descriptor gets: the lowest free one.
int NaechsterDeskriptor() {
    const int probe = ::dup(0);
    EXPECT_GE(probe, 0);
    ::close(probe);
    return probe;
}

TEST_F(DatendateiTest, AnhaengenSchreibtAmEndeWeiterUndLegtFehlendeDateiAn) {
    ASSERT_TRUE(datei.Oeffnen(pfad, TOeffnungsArt::Anhaengen));
    EXPECT_TRUE(datei.IstOffen());
    datei.Schreiben("eins\r\n");
    datei.Schliessen();
    EXPECT_FALSE(datei.IstOffen());
    ASSERT_TRUE(datei.Oeffnen(pfad, TOeffnungsArt::Anhaengen));
    datei.Schreiben("zwei\r\n");
    datei.Schliessen();
    EXPECT_EQ(DateiLesen(pfad), "eins\r\nzwei\r\n");
}

TEST_F(DatendateiTest, VerweisAufEineNochFehlendeDateiLegtSieAn) {
    std::filesystem::create_symlink(v / "Ziel.txt", pfad);
    ASSERT_TRUE(datei.Oeffnen(pfad, TOeffnungsArt::Anhaengen));
    datei.Schreiben("eins\r\n");
    datei.Schliessen();
    EXPECT_EQ(DateiLesen(v / "Ziel.txt"), "eins\r\n");
}

// The line of the reading just saved: a continued file counts its earlier lines once, each
// write adds its own, and a rewritten file starts at none.
TEST_F(DatendateiTest, ZaehltDieZeilenDerDatei) {
    DateiSchreiben(pfad, "Kopf\r\neins\r\nzwei\r\n");
    ASSERT_TRUE(datei.Oeffnen(pfad, TOeffnungsArt::Anhaengen));
    datei.Schreiben("drei\r\n");
    EXPECT_EQ(datei.Zeilen(), 4);
    datei.Schreiben("Kopf\r\nvier\r\n");
    EXPECT_EQ(datei.Zeilen(), 6);
    ASSERT_TRUE(datei.Oeffnen(pfad, TOeffnungsArt::Neuschreiben));
    EXPECT_EQ(datei.Zeilen(), 0);
    datei.Schreiben("eins\r\n");
    EXPECT_EQ(datei.Zeilen(), 1);
}

TEST_F(DatendateiTest, NeuschreibenLeertDieDateiSofort) {
    DateiSchreiben(pfad, "alter Inhalt\r\n");
    ASSERT_TRUE(datei.Oeffnen(pfad, TOeffnungsArt::Neuschreiben));
    EXPECT_EQ(DateiLesen(pfad), "");
    datei.Schreiben("neu\r\n");
    datei.Schliessen();
    EXPECT_EQ(DateiLesen(pfad), "neu\r\n");
}

TEST_F(DatendateiTest, JedeZeileIstSofortImBetriebssystem) {
    ASSERT_TRUE(datei.Oeffnen(pfad, TOeffnungsArt::Neuschreiben));
    datei.Schreiben("erste Zeile\r\n");
    EXPECT_EQ(DateiLesen(pfad), "erste Zeile\r\n");
    const std::string gross(1 << 20, 'x');
    datei.Schreiben(gross);
    EXPECT_EQ(DateiLesen(pfad).size(), 13U + gross.size());
}

TEST_F(DatendateiTest, OeffnenScheitertLeiseOhneEtwasAnzulegen) {
    EXPECT_FALSE(datei.Oeffnen(v.Datei("fehlt/Daten.txt"), TOeffnungsArt::Anhaengen));
    EXPECT_FALSE(datei.IstOffen());
    EXPECT_FALSE(datei.Oeffnen(v.Verzeichnis(), TOeffnungsArt::Neuschreiben)); // a directory
    EXPECT_FALSE(std::filesystem::exists(v.Datei("fehlt")));
}

TEST_F(DatendateiTest, OeffnenFehlerBehaeltDenSystemfehlerBisZumNaechstenErfolg) {
    struct Fall {
        std::string pfad;
        TOeffnungsArt art;
        int fehler;
    };
    const Fall faelle[] = {
        {v.Datei("fehlt/Daten.txt"), TOeffnungsArt::Anhaengen, ENOENT},
        {v.Verzeichnis(), TOeffnungsArt::Neuschreiben, EISDIR},
        {pfad, TOeffnungsArt::Anhaengen, 0},
        {v.Datei("Daten.txt/x"), TOeffnungsArt::Anhaengen, ENOTDIR},
    };
    for (const Fall& fall : faelle) {
        EXPECT_EQ(datei.Oeffnen(fall.pfad, fall.art), fall.fehler == 0) << fall.pfad;
        EXPECT_EQ(datei.OeffnenFehler(), fall.fehler) << fall.pfad;
    }
}

// A named pipe that nobody reads in place of the data file must not hang the program.
TEST_F(DatendateiTest, PipeOhneLeserScheitertSofortStattZuHaengen) {
    ASSERT_EQ(::mkfifo(pfad.c_str(), 0600), 0);
    EXPECT_FALSE(datei.Oeffnen(pfad, TOeffnungsArt::Anhaengen));
    EXPECT_FALSE(datei.IstOffen());
}

struct TDateiart {
    const char* Name;
    std::function<std::string(const TTestOrdner&)> Anlegen; // gives the path
    int Fehler;                                             // 0: taken
    mode_t Typ;
};

// Readings go to a regular file or a sink only: a device might be the meter itself, a pipe
// might block for good. Refused files are left as they were.
const TDateiart Dateiarten[] = {
    {"Datei", [](const TTestOrdner& v) { return v.Datei("Daten.txt"); }, 0, S_IFREG},
    {"NullGeraet", [](const TTestOrdner&) { return std::string("/dev/null"); }, 0, S_IFCHR},
    {"VollesGeraet", [](const TTestOrdner&) { return std::string("/dev/full"); }, 0, S_IFCHR},
    {"Geraet", [](const TTestOrdner&) { return std::string("/dev/zero"); }, EINVAL, S_IFCHR},
    {"VerweisAufGeraet",
     [](const TTestOrdner& v) {
         std::filesystem::create_symlink("/dev/zero", v / "link");
         return v.Datei("link");
     },
     EINVAL, S_IFCHR},
    {"Verzeichnis", [](const TTestOrdner& v) { return v.Verzeichnis(); }, EISDIR, S_IFDIR},
    {"Socket",
     [](const TTestOrdner& v) {
         const std::string pfad = v.Datei("sock");
         sockaddr_un adresse{};
         adresse.sun_family = AF_UNIX;
         pfad.copy(adresse.sun_path, sizeof(adresse.sun_path) - 1);
         const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
         EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&adresse), sizeof(adresse)), 0);
         ::close(fd);
         return pfad;
     },
     EINVAL, S_IFSOCK},
};

class DatendateiArt : public ::testing::TestWithParam<TDateiart> {};

TEST_P(DatendateiArt, NurGewoehnlicheDateienUndSenkenWerdenGenommen) {
    TTestOrdner v;
    const std::string pfad = GetParam().Anlegen(v);
    TDatendatei datei;
    for (const TOeffnungsArt art : {TOeffnungsArt::Anhaengen, TOeffnungsArt::Neuschreiben}) {
        EXPECT_EQ(datei.Oeffnen(pfad, art), GetParam().Fehler == 0);
        EXPECT_EQ(datei.OeffnenFehler(), GetParam().Fehler);
        EXPECT_EQ(datei.OeffnenDateityp(), GetParam().Typ);
        EXPECT_EQ(datei.IstOffen(), GetParam().Fehler == 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Arten, DatendateiArt, ::testing::ValuesIn(Dateiarten),
                         [](const auto& fall) { return std::string(fall.param.Name); });

// A pipe with a reader: refused all the same, and the reader gets nothing.
TEST_F(DatendateiTest, PipeMitLeserBekommtKeinByte) {
    ASSERT_EQ(::mkfifo(pfad.c_str(), 0600), 0);
    const int leser = ::open(pfad.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(leser, 0);
    EXPECT_FALSE(datei.Oeffnen(pfad, TOeffnungsArt::Anhaengen));
    EXPECT_EQ(datei.OeffnenDateityp(), S_IFIFO);
    EXPECT_THROW(datei.Schreiben("Zeile\r\n"), EInOutError);
    char byte = 0;
    EXPECT_LE(::read(leser, &byte, 1), 0);
    ::close(leser);
}

struct TDateiende {
    const char* Vorher;
    const char* Nachher; // after "neu\r\n" was appended
};

class AbgeschnitteneZeile : public ::testing::TestWithParam<TDateiende> {};

// A file whose last line was cut (a power cut, a killed program) gets its line end before the
// next line, so the new line is not glued to it.
TEST_P(AbgeschnitteneZeile, WirdVorDerNaechstenZeileBeendet) {
    TTestOrdner v;
    const std::string pfad = v.Datei("Daten.txt");
    DateiSchreiben(pfad, GetParam().Vorher);
    TDatendatei datei;
    ASSERT_TRUE(datei.Oeffnen(pfad, TOeffnungsArt::Anhaengen));
    datei.Schreiben("neu\r\n");
    datei.Schliessen();
    EXPECT_EQ(DateiLesen(pfad), GetParam().Nachher);
}

INSTANTIATE_TEST_SUITE_P(Enden, AbgeschnitteneZeile,
                         ::testing::Values(TDateiende{"", "neu\r\n"},
                                           TDateiende{"a\r\n", "a\r\nneu\r\n"},
                                           TDateiende{"  7,0", "  7,0\r\nneu\r\n"},
                                           TDateiende{"a\r\n7,0\r", "a\r\n7,0\r\nneu\r\n"},
                                           TDateiende{"a\n", "a\nneu\r\n"}));

struct TWeg {
    const char* Name;
    std::function<void(const std::string&)> Tun;
    const char* Danach; // the file under the name, after "neu\r\n"
    bool Angelegt;
};

class WegeDerDatei : public ::testing::TestWithParam<TWeg> {};

// Deleted, moved or replaced while saving: within a second the name is opened anew, it is told
// once, and the readings land where the user looks.
TEST_P(WegeDerDatei, NameWirdNeuGeoeffnetUndGemeldet) {
    TTestOrdner v;
    const std::string pfad = v.Datei("Daten.txt");
    TTestAufrufe aufrufe;
    TDatendatei datei;
    datei.UmgebungSetzen(aufrufe.UmgebungMit());
    ASSERT_TRUE(datei.Oeffnen(pfad, TOeffnungsArt::Anhaengen));
    EXPECT_FALSE(datei.PfadPruefen());
    datei.Schreiben("alt\r\n");
    GetParam().Tun(pfad);
    aufrufe.Jetzt += 999'999'999; // checked at most once a second
    EXPECT_FALSE(datei.PfadPruefen());
    aufrufe.Jetzt += 1;
    EXPECT_TRUE(datei.PfadPruefen());
    datei.Schreiben("neu\r\n");
    aufrufe.Jetzt += 1'000'000'000;
    EXPECT_FALSE(datei.PfadPruefen());
    EXPECT_EQ(DateiLesen(pfad), GetParam().Danach);
    const std::vector<TDateiMeldung> meldungen = datei.MeldungenAbholen();
    ASSERT_EQ(meldungen.size(), 1U);
    EXPECT_EQ(meldungen[0].Art, TDateiMeldung::TArt::Ersetzt);
    EXPECT_EQ(meldungen[0].Text,
              "Datendatei „" + pfad + "“ ist gelöscht, verschoben oder ersetzt worden; " +
                  (GetParam().Angelegt
                       ? "sie ist neu angelegt, alles Weitere geht dort hinein."
                       : "alles Weitere geht in die Datei, die jetzt unter diesem Namen liegt."));
}

INSTANTIATE_TEST_SUITE_P(
    Wege, WegeDerDatei,
    ::testing::Values(TWeg{"Geloescht", [](const std::string& p) { std::filesystem::remove(p); },
                           "neu\r\n", true},
                      TWeg{"Verschoben",
                           [](const std::string& p) { std::filesystem::rename(p, p + ".alt"); },
                           "neu\r\n", true},
                      TWeg{"Ersetzt",
                           [](const std::string& p) {
                               std::filesystem::remove(p);
                               DateiSchreiben(p, "fremd");
                           },
                           "fremd\r\nneu\r\n", false}),
    [](const auto& fall) { return std::string(fall.param.Name); });

// The folder itself is gone: told once, tried again each second, the old file goes on.
TEST_F(DatendateiTest, OhneOrdnerGehtEsInDieAlteDateiWeiter) {
    const std::filesystem::path unter = v / "unter";
    std::filesystem::create_directory(unter);
    datei.UmgebungSetzen(aufrufe.UmgebungMit());
    ASSERT_TRUE(datei.Oeffnen((unter / "Daten.txt").string(), TOeffnungsArt::Anhaengen));
    std::filesystem::remove_all(unter);
    for (int sekunde = 0; sekunde < 3; ++sekunde) {
        EXPECT_FALSE(datei.PfadPruefen());
        aufrufe.Jetzt += 1'000'000'000;
    }
    EXPECT_EQ(datei.Schreiben("weiter\r\n"), 1U);
    const std::vector<TDateiMeldung> meldungen = datei.MeldungenAbholen();
    ASSERT_EQ(meldungen.size(), 1U);
    EXPECT_NE(meldungen[0].Text.find("lässt sich nicht wieder öffnen: Datei nicht gefunden"),
              std::string::npos)
        << meldungen[0].Text;
}

TEST(Datendatei, VollesGeraetMeldetZuWenigSpeicherplatz) {
    TDatendatei datei;
    ASSERT_TRUE(datei.Oeffnen("/dev/full", TOeffnungsArt::Anhaengen));
    try {
        datei.Schreiben("eine Zeile\r\n");
        FAIL() << "no error raised";
    } catch (const EInOutError& fehler) {
        EXPECT_EQ(fehler.ErrorCode(), 101);
        EXPECT_EQ(fehler.SystemFehler(), ENOSPC);
        EXPECT_STREQ(fehler.what(), "Zu wenig Speicherplatz");
    }
    EXPECT_TRUE(datei.IstOffen()); // a failed write leaves the file open
    EXPECT_NO_THROW(datei.Schliessen());
}

TEST(Datendatei, SchreibenOhneOffeneDateiIstEinEAFehler) {
    TDatendatei datei;
    EXPECT_THROW(datei.Schreiben("x"), EInOutError);
    EXPECT_NO_THROW(datei.Schliessen());
}

TEST_F(DatendateiTest, ErneutesOeffnenSchliesstDieVorigeDatei) {
    ASSERT_TRUE(datei.Oeffnen(v.Datei("a.txt"), TOeffnungsArt::Neuschreiben));
    datei.Schreiben("a");
    ASSERT_TRUE(datei.Oeffnen(v.Datei("b.txt"), TOeffnungsArt::Neuschreiben));
    datei.Schreiben("b");
    datei.Schliessen();
    EXPECT_EQ(DateiLesen(v.Datei("a.txt")), "a");
    EXPECT_EQ(DateiLesen(v.Datei("b.txt")), "b");
}

TEST_F(DatendateiTest, DestruktorSchliesstUndGibtDenDeskriptorFrei) {
    const int probe = NaechsterDeskriptor();
    {
        TDatendatei lokal;
        ASSERT_TRUE(lokal.Oeffnen(pfad, TOeffnungsArt::Neuschreiben));
        lokal.Schreiben("bleibt\r\n");
    }
    EXPECT_EQ(DateiLesen(pfad), "bleibt\r\n");
    EXPECT_EQ(NaechsterDeskriptor(), probe);
}

TEST_F(DatendateiTest, DeskriptorWirdBeiExecGeschlossen) {
    const int probe = NaechsterDeskriptor();
    ASSERT_TRUE(datei.Oeffnen(pfad, TOeffnungsArt::Neuschreiben));
    // The file took the lowest free number.
    const int flags = ::fcntl(probe, F_GETFD);
    ASSERT_GE(flags, 0);
    EXPECT_NE(flags & FD_CLOEXEC, 0);
}

} // namespace
