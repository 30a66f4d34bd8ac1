// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/Datendatei.h"
#include "storage/EInOutError.h"

#include "TestOrdner.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class DatendateiTest : public ::testing::Test {
protected:
    TTestOrdner v;
    const std::string pfad = v.Datei("Daten.txt");
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
