// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// Writing PHRX.CFG byte for byte, round trips, and the quiet and loud failures of both ways.
#include "DateiGroessenGrenze.h"
#include "KonfFelder.h"
#include "TestOrdner.h"
#include "app/KonfDatei.h"
#include "storage/Dateideskriptor.h"
#include "storage/EInOutError.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace fs = std::filesystem;

namespace {

const std::string VorgabeDatei = "1         ; Dateinamen f\xFCr Speichern selbst erzeugen\r\n"
                                 "0         ; Datei immer ueberschreiben\r\n"
                                 "0         ; Mittelwert im Zeitintervall ausgeben\r\n"
                                 "0         ; Gleitenden Mittelwert ausgeben\r\n"
                                 "0         ; Zeitmessung in Raster einpassen\r\n"
                                 "10        ; Anzahl Messwerte f\xFCr gleitendes Mittel\r\n"
                                 "0         ; Speicherintervall in sec\r\n";

TKonfiguration AllesUmgekehrt() {
    TKonfiguration k;
    k.AutoDateiname = false;
    k.Ueberschreiben = k.MittelwertIntervall = k.GleitendesMittel = k.ZeitRaster = true;
    k.AnzahlGleitMittel = 65535;
    k.Speicherintervall = 300;
    return k;
}

// Saves the defaults as an unprivileged user; returns the child's result (0 when it returned).
int AlsTestnutzerSpeichern(const fs::path& pfad) {
    return ImKindprozess(
        [&] {
            KonfSave(TKonfiguration{}, pfad);
            return 0;
        },
        true);
}

mode_t Modus(const fs::path& pfad) {
    struct stat info {};
    return ::stat(pfad.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

TEST(KonfSave, ByteFuerByte) {
    const std::string umgekehrt = "0         ; Dateinamen f\xFCr Speichern selbst erzeugen\r\n"
                                  "1         ; Datei immer ueberschreiben\r\n"
                                  "1         ; Mittelwert im Zeitintervall ausgeben\r\n"
                                  "1         ; Gleitenden Mittelwert ausgeben\r\n"
                                  "1         ; Zeitmessung in Raster einpassen\r\n"
                                  "65535     ; Anzahl Messwerte f\xFCr gleitendes Mittel\r\n"
                                  "300       ; Speicherintervall in sec\r\n";
    for (const auto& [konf, inhalt] :
         {std::pair{TKonfiguration{}, VorgabeDatei}, std::pair{AllesUmgekehrt(), umgekehrt}}) {
        TTestOrdner ordner;
        KonfSave(konf, ordner / "PHRX.CFG");
        EXPECT_EQ(DateiLesen(ordner / "PHRX.CFG"), inhalt);
    }
}

// Every combination of switches, and numbers of every width.
TEST(KonfSave, RundreiseAllerFelder) {
    TTestOrdner ordner;
    const std::uint16_t zahlen[][2] = {{0, 65535}, {1, 9}, {50, 4096}, {300, 32768}, {65535, 0}};
    for (unsigned muster = 0; muster < 32; ++muster) {
        TKonfiguration k;
        k.AutoDateiname = muster & 1;
        k.Ueberschreiben = muster & 2;
        k.MittelwertIntervall = muster & 4;
        k.GleitendesMittel = muster & 8;
        k.ZeitRaster = muster & 16;
        k.AnzahlGleitMittel = zahlen[muster % 5][0];
        k.Speicherintervall = zahlen[muster % 5][1];
        KonfSave(k, ordner / "PHRX.CFG");
        TKonfiguration gelesen = AllesUmgekehrt();
        KonfLoad(gelesen, ordner / "PHRX.CFG");
        EXPECT_EQ(Felder(gelesen), Felder(k)) << "Muster " << muster;
    }
}

TEST(KonfSave, ErsetztLaengereDateiGanzUndLaesstKeineHilfsdatei) {
    TTestOrdner ordner;
    DateiSchreiben(ordner / "PHRX.CFG", std::string(1000, '7'));
    // A temporary file left by an earlier run with the same process id is no obstacle.
    DateiSchreiben(ordner / ("PHRX.CFG." + std::to_string(::getpid()) + ".tmp"), "alt");
    KonfSave(TKonfiguration{}, ordner / "PHRX.CFG");
    EXPECT_EQ(DateiLesen(ordner / "PHRX.CFG"), VorgabeDatei);
    EXPECT_EQ(Verzeichnisinhalt(ordner.Pfad()), "PHRX.CFG");
}

TEST(KonfSave, LegtFehlendeOrdnerAn) {
    TTestOrdner ordner;
    KonfSave(TKonfiguration{}, ordner / "config/quorlits/PHRX.CFG");
    EXPECT_EQ(DateiLesen(ordner / "config/quorlits/PHRX.CFG"), VorgabeDatei);
}

TEST(KonfSave, BehaeltDieRechteDerAltenDatei) {
    TTestOrdner ordner;
    for (const mode_t modus : {0600u, 0640u, 0664u}) {
        DateiSchreiben(ordner / "PHRX.CFG", "alt");
        ASSERT_EQ(::chmod((ordner / "PHRX.CFG").c_str(), modus), 0);
        KonfSave(TKonfiguration{}, ordner / "PHRX.CFG");
        EXPECT_EQ(Modus(ordner / "PHRX.CFG"), modus);
        EXPECT_EQ(DateiLesen(ordner / "PHRX.CFG"), VorgabeDatei);
    }
}

TEST(KonfSave, SchreibtDurchEinenLinkInDessenZiel) {
    TTestOrdner ordner;
    fs::create_directory(ordner / "echt");
    DateiSchreiben(ordner / "echt/PHRX.CFG", "alt");
    fs::create_symlink("echt/PHRX.CFG", ordner / "PHRX.CFG");
    KonfSave(TKonfiguration{}, ordner / "PHRX.CFG");
    EXPECT_TRUE(fs::is_symlink(ordner / "PHRX.CFG"));
    EXPECT_EQ(DateiLesen(ordner / "echt/PHRX.CFG"), VorgabeDatei);
}

// Paths that cannot be created even by root: the name is a directory, or the folder is a file.
TEST(KonfSave, NichtAnlegbarIstStill) {
    TTestOrdner ordner;
    fs::create_directory(ordner / "PHRX.CFG");
    DateiSchreiben(ordner / "datei", "x");
    EXPECT_NO_THROW(KonfSave(TKonfiguration{}, ordner / "PHRX.CFG"));
    EXPECT_NO_THROW(KonfSave(TKonfiguration{}, ordner / "datei/quorlits/PHRX.CFG"));
    EXPECT_TRUE(fs::is_directory(ordner / "PHRX.CFG"));
    EXPECT_EQ(DateiLesen(ordner / "datei"), "x");
    EXPECT_EQ(Verzeichnisinhalt(ordner.Pfad()), "PHRX.CFG datei");
}

TEST(KonfSave, SchreibgeschuetzterOrdnerIstStill) {
    TTestOrdner ordner;
    DemTestnutzerGeben(ordner.Pfad());
    const fs::path gesperrt = ordner / "gesperrt";
    fs::create_directory(gesperrt);
    DemTestnutzerGeben(gesperrt);
    ASSERT_EQ(::chmod(gesperrt.c_str(), 0555), 0);
    EXPECT_EQ(AlsTestnutzerSpeichern(gesperrt / "PHRX.CFG"), 0);
    EXPECT_EQ(Verzeichnisinhalt(gesperrt), "");
}

// A read-only PHRX.CFG keeps its settings, although its folder would allow replacing it.
TEST(KonfSave, SchreibgeschuetzteDateiBleibt) {
    TTestOrdner ordner;
    DemTestnutzerGeben(ordner.Pfad());
    DateiSchreiben(ordner / "PHRX.CFG", "fest");
    DemTestnutzerGeben(ordner / "PHRX.CFG");
    ASSERT_EQ(::chmod((ordner / "PHRX.CFG").c_str(), 0444), 0);
    EXPECT_EQ(AlsTestnutzerSpeichern(ordner / "PHRX.CFG"), 0);
    EXPECT_EQ(DateiLesen(ordner / "PHRX.CFG"), "fest");
    EXPECT_EQ(Verzeichnisinhalt(ordner.Pfad()), "PHRX.CFG");
}

// A disk that fills while saving: the file-size limit makes the second write fail as a full
// disk would. The old file must survive and the error must be raised.
TEST(KonfSave, SchreibfehlerMeldetUndBehaeltAlteDatei) {
    TTestOrdner ordner;
    DateiSchreiben(ordner / "PHRX.CFG", "alte Einstellungen");
    const int ergebnis = ImKindprozess(
        [&] {
            const TDateiGroessenGrenze grenze(100);
            try {
                KonfSave(TKonfiguration{}, ordner / "PHRX.CFG");
            } catch (const EInOutError& fehler) {
                return fehler.ErrorCode() == 101 ? 0 : 11;
            }
            return 12;
        },
        false);
    EXPECT_EQ(ergebnis, 0) << "92: kein Limit, 11: falscher Code, 12: kein Fehler gemeldet";
    EXPECT_EQ(DateiLesen(ordner / "PHRX.CFG"), "alte Einstellungen");
    EXPECT_EQ(Verzeichnisinhalt(ordner.Pfad()), "PHRX.CFG");
}

TEST(KonfLoad, FehlendeDateiLaesstAllesStehen) {
    TTestOrdner ordner;
    TKonfiguration k = AllesUmgekehrt();
    KonfLoad(k, ordner / "PHRX.CFG");
    EXPECT_EQ(Felder(k), Felder(AllesUmgekehrt()));
}

TEST(KonfLoad, NichtOeffnbarIstStill) {
    TTestOrdner ordner;
    fs::create_directory(ordner / "PHRX.CFG");
    DateiSchreiben(ordner / "datei", "0\r\n0\r\n");
    ASSERT_EQ(::mkfifo((ordner / "fifo").c_str(), 0600), 0);
    for (const fs::path& pfad : {ordner / "PHRX.CFG", ordner / "datei/PHRX.CFG", ordner / "fifo"}) {
        TKonfiguration k = AllesUmgekehrt();
        EXPECT_NO_THROW(KonfLoad(k, pfad)) << pfad;
        EXPECT_EQ(Felder(k), Felder(AllesUmgekehrt())) << pfad;
    }
}

TEST(KonfLoad, UnlesbareDateiIstStill) {
    TTestOrdner ordner;
    DemTestnutzerGeben(ordner.Pfad());
    DateiSchreiben(ordner / "PHRX.CFG", "0\r\n1\r\n");
    DemTestnutzerGeben(ordner / "PHRX.CFG");
    ASSERT_EQ(::chmod((ordner / "PHRX.CFG").c_str(), 0), 0);
    const int ergebnis = ImKindprozess(
        [&] {
            TKonfiguration k;
            KonfLoad(k, ordner / "PHRX.CFG");
            return Felder(k) == Felder(TKonfiguration{}) ? 0 : 1;
        },
        true);
    EXPECT_EQ(ergebnis, 0);
}

// Reading this process's memory from address 0 fails with EIO after a successful open.
TEST(KonfLoad, LesefehlerMeldetUndLaesstAllesStehen) {
    TKonfiguration k = AllesUmgekehrt();
    try {
        KonfLoad(k, "/proc/self/mem");
        ADD_FAILURE() << "kein Fehler gemeldet";
    } catch (const EInOutError& fehler) {
        EXPECT_EQ(fehler.ErrorCode(), InOutCodeAusErrno(EIO));
        EXPECT_EQ(fehler.SystemFehler(), EIO);
    }
    EXPECT_EQ(Felder(k), Felder(AllesUmgekehrt()));
}

} // namespace
