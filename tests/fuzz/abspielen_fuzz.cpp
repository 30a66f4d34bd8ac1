// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// A capture from anywhere replayed into a data file: `quorlits --replay` reads files that may be
// damaged or made up. Whatever the capture holds, the replay ends (normally or with an error)
// and the data file holds whole CR LF lines only.
//
// Input layout: byte 0 even: the rest is the capture file as it stands. Byte 0 odd: the rest is
// a list of records, each one byte kind (modulo 12, so unknown kinds occur too), one byte
// payload length, one byte clock step in seconds and the payload; they are written as a
// well-formed capture with their checksums, so the fuzzer reaches the replay behind them.
#include "reception/Abspielen.h"
#include "storage/RohdatenEinstellungen.h"
#include "storage/RohdatenFormat.h"
#include "storage/RohdatenLeser.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

std::string Pfad(const char* endung) {
    std::error_code fehler;
    const std::string ordner =
        std::filesystem::is_directory("/dev/shm", fehler) ? "/dev/shm" : "/tmp";
    return ordner + "/quorlits-abspielen-fuzz-" + std::to_string(::getpid()) + endung;
}

const std::string& Aufnahme() {
    static const std::string pfad = Pfad(".roh");
    return pfad;
}

const std::string& Daten() {
    static const std::string pfad = Pfad(".txt");
    return pfad;
}

void Aufraeumen() {
    std::error_code fehler;
    std::filesystem::remove(Aufnahme(), fehler);
    std::filesystem::remove(Daten(), fehler);
}

std::string Gebaut(const std::uint8_t* daten, std::size_t groesse) {
    TKonfiguration konfiguration;
    konfiguration.AutoDateiname = false;
    std::string datei = RohKopfText(RohKopfErstellen("/dev/ttyS0", {}, konfiguration));
    TRohEintrag eintrag{TRohArt::Empfangen, 0, std::int64_t{1796634000} * 1000, 3600, {}};
    std::size_t i = 0;
    while (i + 3 <= groesse) {
        eintrag.Art = static_cast<TRohArt>(daten[i] % 12);
        const std::size_t laenge = std::min<std::size_t>(daten[i + 1], groesse - i - 3);
        eintrag.UtcMs += std::int64_t{daten[i + 2]} * 1000;
        eintrag.MonoNs += std::int64_t{daten[i + 2]} * 1'000'000'000;
        eintrag.Daten.assign(reinterpret_cast<const char*>(daten + i + 3), laenge);
        RohSatzAnhaengen(datei, eintrag);
        i += 3 + laenge;
    }
    return datei;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse) {
    if (groesse == 0) {
        return 0;
    }
    const std::string& aufnahme = Aufnahme();
    const std::string& ziel = Daten();
    static const bool aufraeumenVorgemerkt = std::atexit(Aufraeumen) == 0;
    (void)aufraeumenVorgemerkt;
    {
        std::ofstream aus(aufnahme, std::ios::binary | std::ios::trunc);
        if (daten[0] % 2 == 0) {
            aus.write(reinterpret_cast<const char*>(daten + 1),
                      static_cast<std::streamsize>(groesse - 1));
        } else {
            aus << Gebaut(daten + 1, groesse - 1);
        }
    }
    std::error_code fehler;
    std::filesystem::remove(ziel, fehler);
    try {
        TRohLeser leser(aufnahme);
        AufnahmeAbspielen(leser, ziel);
    } catch (const std::exception&) {
        // A capture that cannot be read or replayed is refused with a message; that is fine.
    }
    std::ifstream ein(ziel, std::ios::binary);
    const std::string inhalt{std::istreambuf_iterator<char>(ein), std::istreambuf_iterator<char>()};
    if (!inhalt.empty() &&
        inhalt.substr(inhalt.size() - std::min<std::size_t>(2, inhalt.size())) != "\r\n") {
        __builtin_trap();
    }
    return 0;
}
