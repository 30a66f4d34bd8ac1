// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "acquisition/Zahlformat.h"
#include "reception/Empfang.h"
#include "tests/unit/acquisition/Geraetetext.h"

#include "TestOrdner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

inline const TZeitpunkt Nikolaus2001{6, 12, 2001, 14, 30, 5};

// The meter's texts of the two readings whose data-file lines tests/data/datenzeile_kurz.txt
// and datenzeile_lang.txt hold, when completed at Nikolaus2001.
inline const std::string PhZeile = " 7.01 pH   24.8 °C{CR}{LF}";
inline const std::string LfAusdruck =
    "{DC3}06.12.96 12:34{CR}{LF}  1.413 mS/cm 25.0 °C{CR}{LF}TREF 25 C = 0.475{CR}{LF}{DC1}";

inline const std::string KopfKurz = "PC-Datum\tPC-Zeit\tWert\tEinheit\tTemp.\tEinheit\r\n";

inline std::string Referenz(const std::string& name) {
    return DateiLesen(std::filesystem::path(QUORLITS_TEST_DATA_DIR) / name);
}

// The main window's state without widgets, a clock that always reads Nikolaus2001 and the comma
// as decimal separator, as after the window's first activation.
class EmpfangTest : public ::testing::Test {
protected:
    void SetUp() override {
        trennerVorher_ = DezimalTrennzeichen();
        DezimalTrennzeichenSetzen(',');
    }
    void TearDown() override { DezimalTrennzeichenSetzen(trennerVorher_); }

    // One chunk, written with Geraetetext's markers.
    TChunkErgebnis Empfangen(std::string_view lesbar) {
        return ChunkVerarbeiten(zustand, Geraetetext(lesbar), UhrLesen(uhr));
    }

    // Immediate saving on, appending to Daten.txt in the test's folder.
    void SofortSpeichern() {
        zustand.Konfiguration.AutoDateiname = false;
        zustand.Konfiguration.Ausgabedatei = ordner.Datei("Daten.txt");
        ASSERT_TRUE(SpeichernStarten(zustand.Speicher, zustand.Konfiguration, Nikolaus2001));
        zustand.Speicher.SofortSpeichernAktiv = true;
    }

    // Closes the data file and returns its bytes.
    std::string Datei() {
        zustand.Speicher.Datendatei.Schliessen();
        return DateiLesen(ordner / "Daten.txt");
    }

    TProgrammZustand zustand;
    TUhr uhr = FesteUhr(Nikolaus2001, 3600);
    TTestOrdner ordner;

private:
    char trennerVorher_ = '.';
};
