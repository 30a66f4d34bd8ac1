// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// Feeds arbitrary bytes to KonfLoad as PHRX.CFG; whatever it reads must survive a save and a
// second load unchanged.
#include "app/KonfDatei.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// Saving syncs the file and its folder; on a memory file system that costs nothing, which keeps
// the fuzzer fast. /tmp serves where there is none.
std::filesystem::path Temporaer(const char* endung) {
    std::error_code fehler;
    const std::filesystem::path ordner =
        std::filesystem::is_directory("/dev/shm", fehler) ? "/dev/shm" : "/tmp";
    return ordner / ("konf_fuzz_" + std::to_string(::getpid()) + endung);
}

std::filesystem::path& Eingabe() {
    static std::filesystem::path pfad = Temporaer(".in");
    return pfad;
}

std::filesystem::path& Ausgabe() {
    static std::filesystem::path pfad = Temporaer(".CFG");
    return pfad;
}

void Aufraeumen() {
    std::error_code fehler;
    std::filesystem::remove(Eingabe(), fehler);
    std::filesystem::remove(Ausgabe(), fehler);
}

void Schreiben(const std::filesystem::path& pfad, const std::uint8_t* daten, std::size_t groesse) {
    std::FILE* datei = std::fopen(pfad.c_str(), "wb");
    if (datei == nullptr || std::fwrite(daten, 1, groesse, datei) != groesse ||
        std::fclose(datei) != 0) {
        std::abort();
    }
}

bool GleicheFelder(const TKonfiguration& a, const TKonfiguration& b) {
    return a.AutoDateiname == b.AutoDateiname && a.Ueberschreiben == b.Ueberschreiben &&
           a.MittelwertIntervall == b.MittelwertIntervall &&
           a.GleitendesMittel == b.GleitendesMittel && a.ZeitRaster == b.ZeitRaster &&
           a.AnzahlGleitMittel == b.AnzahlGleitMittel && a.Speicherintervall == b.Speicherintervall;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse) {
    // The paths are made before the clean-up is registered, so they outlive it at exit.
    const std::filesystem::path& eingabe = Eingabe();
    const std::filesystem::path& ausgabe = Ausgabe();
    static const bool aufraeumenVorgemerkt = std::atexit(Aufraeumen) == 0;
    (void)aufraeumenVorgemerkt;
    Schreiben(eingabe, daten, groesse);

    TKonfiguration gelesen;
    KonfLoad(gelesen, eingabe);
    KonfSave(gelesen, ausgabe);
    TKonfiguration wieder;
    wieder.AutoDateiname = !gelesen.AutoDateiname;
    wieder.AnzahlGleitMittel = static_cast<std::uint16_t>(gelesen.AnzahlGleitMittel + 1);
    wieder.Speicherintervall = static_cast<std::uint16_t>(gelesen.Speicherintervall + 1);
    KonfLoad(wieder, ausgabe);
    if (!GleicheFelder(gelesen, wieder)) {
        std::abort();
    }
    return 0;
}
