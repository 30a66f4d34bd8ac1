// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "reception/Empfang.h"

#include "tests/unit/reception/EmpfangTest.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// Plain lines and framed printouts as the meter sends them, with a short line that the framing
// drops, a printout that follows the previous one at once, and enough readings to scroll the
// table. The first two readings are those of the reference lines.
std::string Strom() {
    const std::string teil = PhZeile + LfAusdruck + "{CR}{LF}" + " 1.413 mS/cm 25.0 °C{CR}{LF}" +
                             "abc{CR}{LF}" +
                             "{DC3}06.12.96 12:35{CR}{LF}  7.012 pH  25.0 °C{CR}{LF}{DC1}" +
                             "{DC3}06.12.96 12:36{CR}{LF}  8.25 mg/l 19.5 °C{CR}{LF}{DC1}{CR}{LF}" +
                             " 8.25 mg/l 19.5 °C{CR}{LF}";
    return Geraetetext(teil + teil);
}
constexpr int DatensaetzeImStrom = 12;

std::vector<std::string> Ganz(const std::string& strom) {
    return {strom};
}

std::vector<std::string> Bytes(const std::string& strom) {
    std::vector<std::string> chunks;
    for (const char byte : strom) {
        chunks.emplace_back(1, byte);
    }
    return chunks;
}

// Cut right after every line feed and every DC1, so each chunk starts a line or a printout.
std::vector<std::string> NachZeilen(const std::string& strom) {
    std::vector<std::string> chunks(1);
    for (const char byte : strom) {
        chunks.back().push_back(byte);
        if (byte == '\x0A' || byte == '\x11') {
            chunks.emplace_back();
        }
    }
    return chunks;
}

std::vector<std::string> Zufaellig(const std::string& strom, unsigned saat) {
    std::mt19937 zufall(saat);
    std::uniform_int_distribution<std::size_t> laenge(1, 40);
    std::vector<std::string> chunks;
    for (std::size_t stelle = 0; stelle < strom.size();) {
        const std::size_t n = laenge(zufall);
        chunks.push_back(strom.substr(stelle, n));
        stelle += n;
    }
    return chunks;
}

struct TAblauf {
    int Datensaetze = 0;
    std::vector<QString> Tabelle;
    std::string Messgroesse;
    double GleitMittelWert = 0.0;
    std::string Datei;
};

class EmpfangZerlegung : public EmpfangTest {
protected:
    TAblauf Abspielen(const std::vector<std::string>& chunks) {
        TProgrammZustand frisch;
        frisch.Konfiguration.AutoDateiname = false;
        frisch.Konfiguration.Ausgabedatei = ordner.Datei("Daten" + std::to_string(++laeufe_));
        EXPECT_TRUE(SpeichernStarten(frisch.Speicher, frisch.Konfiguration, Nikolaus2001));
        frisch.Speicher.SofortSpeichernAktiv = true;
        WTWMessungBeginnen(frisch);
        TAblauf ablauf;
        for (const std::string& chunk : chunks) {
            const TChunkErgebnis ergebnis = ChunkVerarbeiten(frisch, chunk, UhrLesen(uhr));
            EXPECT_FALSE(ergebnis.Fehler);
            ablauf.Datensaetze += ergebnis.Datensaetze;
        }
        for (int zeile = 0; zeile < frisch.Tabelle.RowCount(); ++zeile) {
            for (int spalte = 0; spalte < frisch.Tabelle.ColCount(); ++spalte) {
                ablauf.Tabelle.push_back(frisch.Tabelle.Cell(spalte, zeile));
            }
        }
        ablauf.Messgroesse = frisch.Messung.Messgroesse;
        ablauf.GleitMittelWert = frisch.Gleit.GleitMittelWert;
        frisch.Speicher.Datendatei.Schliessen();
        ablauf.Datei = DateiLesen(frisch.Konfiguration.Ausgabedatei);
        return ablauf;
    }

private:
    int laeufe_ = 0;
};

TEST_F(EmpfangZerlegung, OneStreamGivesTheSameReadingsHoweverItIsCut) {
    const std::string strom = Strom();
    const TAblauf erwartet = Abspielen(Bytes(strom));
    ASSERT_EQ(erwartet.Datensaetze, DatensaetzeImStrom);
    EXPECT_TRUE(erwartet.Datei.starts_with(KopfKurz + Referenz("datenzeile_kurz.txt") +
                                           Referenz("datenzeile_lang.txt")));
    EXPECT_EQ(erwartet.Messgroesse, "O2");
    // Twelve readings have scrolled the first five out of the seven rows.
    EXPECT_EQ(erwartet.Tabelle[5 * 7 + 3], "mg/l");

    std::vector<std::pair<std::string, std::vector<std::string>>> zerlegungen = {
        {"ganz", Ganz(strom)}, {"nach Zeilen", NachZeilen(strom)}};
    for (const unsigned saat : {1U, 2U, 7U, 42U, 2026U}) {
        zerlegungen.emplace_back("Saat " + std::to_string(saat), Zufaellig(strom, saat));
    }
    for (const auto& [name, chunks] : zerlegungen) {
        SCOPED_TRACE(name);
        const TAblauf ablauf = Abspielen(chunks);
        EXPECT_EQ(ablauf.Datensaetze, erwartet.Datensaetze);
        EXPECT_EQ(ablauf.Tabelle, erwartet.Tabelle);
        EXPECT_EQ(ablauf.Messgroesse, erwartet.Messgroesse);
        EXPECT_EQ(ablauf.GleitMittelWert, erwartet.GleitMittelWert);
        EXPECT_EQ(ablauf.Datei, erwartet.Datei);
    }
}

} // namespace
