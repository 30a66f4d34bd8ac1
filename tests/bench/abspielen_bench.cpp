// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The replay of a capture against real time: eight hours of a meter sending one pH line a
// second (28,800 received chunks, immediate saving from the start) are written as a capture and
// replayed through the reception and saving into a data file under /tmp. Prints the time of
// each of three replays and the factor over the eight hours of the recording.
#include "reception/Abspielen.h"
#include "settings/Konfiguration.h"
#include "storage/RohdatenEinstellungen.h"
#include "storage/RohdatenLeser.h"
#include "storage/RohdatenSchreiber.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

constexpr int Sekunden = 8 * 3600;
constexpr std::int64_t Beginn = 1'796'083'200'000; // 01.12.2026 00:00 UTC
constexpr std::int32_t Versatz = 3600;

// A result line as the meter sends it: value, unit, temperature, "°C" in code page 850.
std::string Messzeile(int schritt) {
    std::array<char, 64> text{};
    const int laenge = std::snprintf(text.data(), text.size(),
                                     "%5.2f pH   %4.1f \xF8"
                                     "C\r\n",
                                     7.0 + 0.01 * (schritt % 50), 22.0 + 0.1 * (schritt % 60));
    return {text.data(), static_cast<std::size_t>(laenge)};
}

void AufnahmeSchreiben(const std::string& pfad, const std::string& datendatei) {
    TKonfiguration konfiguration;
    konfiguration.AutoDateiname = false;
    konfiguration.Ausgabedatei = datendatei;
    TRohSchreiber schreiber(pfad,
                            RohKopfErstellen("/dev/ttyUSB0", {{"Baud", "4800"}}, konfiguration));
    TRohEintrag eintrag{TRohArt::Geoeffnet, 0, Beginn, Versatz, "Baud=4800\n"};
    schreiber.Schreiben(eintrag);
    eintrag.Art = TRohArt::MessungBeginn;
    eintrag.Daten = "WTW";
    schreiber.Schreiben(eintrag);
    TSpeicherBeginn beginn;
    beginn.Datei = datendatei;
    beginn.Konfiguration = konfiguration;
    eintrag.Art = TRohArt::SpeichernEin;
    eintrag.Daten = SpeicherBeginnText(beginn);
    schreiber.Schreiben(eintrag);
    eintrag.Art = TRohArt::Empfangen;
    for (int schritt = 0; schritt < Sekunden; ++schritt) {
        eintrag.MonoNs = std::int64_t{schritt} * 1'000'000'000;
        eintrag.UtcMs = Beginn + std::int64_t{schritt} * 1000;
        eintrag.Daten = Messzeile(schritt);
        schreiber.Schreiben(eintrag);
    }
    eintrag.Daten.clear();
    for (const TRohArt art : {TRohArt::SpeichernAus, TRohArt::MessungEnde, TRohArt::Geschlossen}) {
        eintrag.Art = art;
        schreiber.Schreiben(eintrag);
    }
    schreiber.Schliessen();
}

} // namespace

int main() {
    const std::string stamm = "/tmp/abspielen_bench_" + std::to_string(getpid());
    const std::string aufnahme = stamm + ".roh";
    const std::string datendatei = stamm + ".txt";
    AufnahmeSchreiben(aufnahme, datendatei);
    std::array<double, 3> zeiten{};
    TAbspielBericht bericht;
    for (double& zeit : zeiten) {
        ::unlink(datendatei.c_str());
        const auto anfang = std::chrono::steady_clock::now();
        TRohLeser leser(aufnahme);
        bericht = AufnahmeAbspielen(leser, datendatei);
        zeit = std::chrono::duration<double>(std::chrono::steady_clock::now() - anfang).count();
        std::printf("Abspielen: %.3f s\n", zeit);
    }
    std::sort(zeiten.begin(), zeiten.end());
    std::printf("%lld Einträge, %lld Messwerte (%d h bei einem Messwert je Sekunde): Median "
                "%.3f s, %.0f-mal so schnell wie die Messung\n",
                static_cast<long long>(bericht.Eintraege),
                static_cast<long long>(bericht.Datensaetze), Sekunden / 3600, zeiten[1],
                Sekunden / zeiten[1]);
    ::unlink(datendatei.c_str());
    ::unlink(aufnahme.c_str());
    return bericht.Datensaetze == Sekunden ? 0 : 1;
}
