// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// A whole reception: received chunks go through the main window's chunk steps in a meter
// measurement with saving on, into a data file on a memory file system (one per process,
// emptied for each input). Afterwards the file must hold whole CR LF lines only, one header
// line before the first record, one record line for each reading the steps counted as saved
// and, with immediate saving, one for each record they reported.
//
// Input layout:
//   byte 0  settings: bit 0 automatic instead of immediate saving, bit 1 moving average,
//           bit 2 interval mean, bit 3 time raster, bit 4 moving average shown in the table
//   byte 1  readings in the moving average (0..255, clamped by the averaging itself)
//   byte 2  save interval in seconds (0..255)
//   byte 3  low nibble: seconds the clock moves on per reading; high nibble: the number L of
//           chunk-length bytes that follow
//   byte 4  the autosave window: low nibble minutes from the clock's start to its beginning,
//           high nibble its length in minutes
//   then L chunk lengths (0..64 each, used in turn), then the received bytes.
#include "reception/Empfang.h"
#include "storage/EInOutError.h"
#include "storage/Speichern.h"
#include "storage/Uhr.h"
#include "storage/Zeitrechnung.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t KopfGroesse = 5;
constexpr TZeitpunkt Startzeit{6, 12, 2001, 10, 0, 0};

void Pruefen(bool bedingung) {
    if (!bedingung) {
        __builtin_trap();
    }
}

const std::string& DateiPfad() {
    static const std::string pfad = [] {
        std::error_code fehler;
        const std::string ordner =
            std::filesystem::is_directory("/dev/shm", fehler) ? "/dev/shm" : "/tmp";
        return ordner + "/quorlits-fuzz-" + std::to_string(::getpid()) + ".txt";
    }();
    return pfad;
}

void Aufraeumen() {
    std::error_code fehler;
    std::filesystem::remove(DateiPfad(), fehler);
}

TZeitpunkt NachMinuten(std::int32_t minuten) {
    TZeitpunkt zeitpunkt = Startzeit;
    MinutenAddieren(minuten, zeitpunkt);
    return zeitpunkt;
}

// A clock that moves on by `schritt` seconds at every reading, so intervals elapse and the
// autosave window opens and closes.
TUhr LaufendeUhr(std::int32_t schritt) {
    return [schritt, sekunden = std::int32_t{0}]() mutable {
        TZeitpunkt jetzt = NachMinuten(sekunden / 60);
        jetzt.Sekunde = sekunden % 60;
        sekunden += schritt;
        return UhrzeitAusLokal(jetzt, 3600);
    };
}

struct TEinstellungen {
    bool AutoSpeichern = false;
    std::int32_t Schritt = 0;
};

TEinstellungen Einrichten(TProgrammZustand& zustand, const std::uint8_t* kopf) {
    TKonfiguration& k = zustand.Konfiguration;
    k.AutoDateiname = false;
    k.Ueberschreiben = true; // empties the file of the previous input
    k.Ausgabedatei = DateiPfad();
    k.GleitendesMittel = (kopf[0] & 0x02U) != 0;
    k.MittelwertIntervall = (kopf[0] & 0x04U) != 0;
    k.ZeitRaster = (kopf[0] & 0x08U) != 0;
    zustand.GleitAnzeigen = (kopf[0] & 0x10U) != 0;
    k.AnzahlGleitMittel = kopf[1];
    k.Speicherintervall = kopf[2];
    zustand.AutoSpeicher.Speicherbeginn = NachMinuten(kopf[4] & 0x0FU);
    zustand.AutoSpeicher.Speicherende = NachMinuten((kopf[4] & 0x0FU) + (kopf[4] >> 4U));
    return {(kopf[0] & 0x01U) != 0, kopf[3] & 0x0F};
}

std::vector<std::size_t> ChunkLaengen(std::string_view laengenBytes) {
    std::vector<std::size_t> laengen;
    for (const char byte : laengenBytes) {
        laengen.push_back(static_cast<unsigned char>(byte) % 65U);
    }
    if (std::none_of(laengen.begin(), laengen.end(), [](std::size_t l) { return l > 0; })) {
        laengen.push_back(7);
    }
    return laengen;
}

// A save step's error is rethrown: a failed write (a full /dev/shm) ends the input unchecked,
// anything else escapes and counts as a fault.
void FehlerWerfen(const std::exception_ptr& fehler) {
    if (fehler) {
        std::rethrow_exception(fehler);
    }
}

std::string DateiLesen() {
    std::ifstream datei(DateiPfad(), std::ios::binary);
    return {std::istreambuf_iterator<char>(datei), std::istreambuf_iterator<char>()};
}

// Every line whole, ended by CR LF, with no CR or LF inside; returns the lines without it.
std::vector<std::string_view> Zeilen(std::string_view inhalt) {
    std::vector<std::string_view> zeilen;
    while (!inhalt.empty()) {
        const std::size_t ende = inhalt.find("\r\n");
        Pruefen(ende != std::string_view::npos);
        const std::string_view zeile = inhalt.substr(0, ende);
        Pruefen(zeile.find_first_of("\r\n") == std::string_view::npos);
        zeilen.push_back(zeile);
        inhalt.remove_prefix(ende + 2);
    }
    return zeilen;
}

bool IstKopfzeile(std::string_view zeile) {
    return zeile.starts_with("PC-Datum\t");
}

// A record line has the short layout (6 fields) or the long one (10 fields).
bool FelderStimmen(std::string_view zeile) {
    const auto tabs = std::count(zeile.begin(), zeile.end(), '\t');
    return tabs == 5 || tabs == 9;
}

void DateiPruefen(const TProgrammZustand& zustand, int gemeldet, bool autoSpeichern) {
    const std::string inhalt = DateiLesen();
    const std::vector<std::string_view> zeilen = Zeilen(inhalt);
    const std::int32_t gespeichert = zustand.Speicher.AnzahlGespeichert;
    Pruefen(zeilen.size() == static_cast<std::size_t>(gespeichert + (gespeichert > 0 ? 1 : 0)));
    if (!zeilen.empty()) {
        Pruefen(IstKopfzeile(zeilen.front()));
        Pruefen(FelderStimmen(zeilen.front()));
    }
    for (std::size_t i = 1; i < zeilen.size(); ++i) {
        Pruefen(!IstKopfzeile(zeilen[i]));
        Pruefen(FelderStimmen(zeilen[i]));
    }
    Pruefen(autoSpeichern ? gespeichert <= gemeldet : gespeichert == gemeldet);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse) {
    if (groesse < KopfGroesse) {
        return 0;
    }
    static const bool aufraeumenVorgemerkt = (DateiPfad(), std::atexit(Aufraeumen) == 0);
    (void)aufraeumenVorgemerkt;

    TProgrammZustand zustand;
    const TEinstellungen einstellungen = Einrichten(zustand, daten);
    const TUhr uhr = LaufendeUhr(einstellungen.Schritt);
    WTWMessungBeginnen(zustand);
    if (!SpeichernStarten(zustand.Speicher, zustand.Konfiguration, UhrLesen(uhr).Lokal)) {
        return 0; // the memory file system refused the file; nothing of the reception to check
    }
    zustand.Speicher.SofortSpeichernAktiv = !einstellungen.AutoSpeichern;
    zustand.Speicher.AutoSpeichernAktiv = einstellungen.AutoSpeichern;

    const std::string_view eingabe(reinterpret_cast<const char*>(daten), groesse);
    const std::size_t anzahlLaengen = std::min<std::size_t>(daten[3] >> 4U, groesse - KopfGroesse);
    const std::vector<std::size_t> laengen =
        ChunkLaengen(eingabe.substr(KopfGroesse, anzahlLaengen));
    std::string_view rest = eingabe.substr(KopfGroesse + anzahlLaengen);

    int gemeldet = 0;
    try {
        for (std::size_t i = 0; !rest.empty(); ++i) {
            const std::string_view chunk = rest.substr(0, laengen[i % laengen.size()]);
            const TChunkErgebnis ergebnis = ChunkVerarbeiten(zustand, chunk, UhrLesen(uhr));
            FehlerWerfen(ergebnis.Fehler);
            gemeldet += ergebnis.Datensaetze;
            rest.remove_prefix(chunk.size());
        }
        zustand.Speicher.Datendatei.Schliessen();
    } catch (const EInOutError&) {
        return 0;
    }
    DateiPruefen(zustand, gemeldet, einstellungen.AutoSpeichern);
    return 0;
}
