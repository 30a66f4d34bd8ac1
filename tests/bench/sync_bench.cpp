// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The cost of durable writes: a data file and a capture written at 1 and at 50 readings a
// second in real time, driven as the event loop drives them (Synchronisieren when SyncInMs
// says). Prints the syncs a second per file, the CPU of the whole run with and without the
// syncs, and the mean time of one fdatasync. The files lie in the folder given as the first
// argument (default: the current folder; a tmpfs folder would show no cost); the second
// argument is the seconds per run (default 10).
#include "storage/Datendatei.h"
#include "storage/RohdatenSchreiber.h"
#include "storage/Uhr.h"

#include "CpuSeconds.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <time.h>
#include <unistd.h>

namespace {

constexpr std::int64_t Sekunde = 1'000'000'000;

class TZaehlendeAufrufe : public TEchteDateiAufrufe {
public:
    int Syncs = 0;
    double SyncSekunden = 0;

    int Fdatasync(int fd) override {
        const auto anfang = std::chrono::steady_clock::now();
        const int ergebnis = TEchteDateiAufrufe::Fdatasync(fd);
        SyncSekunden +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - anfang).count();
        ++Syncs;
        return ergebnis;
    }
};

struct TErgebnis {
    double Sekunden = 0;
    int Werte = 0;
    int DatenSyncs = 0;
    int RohSyncs = 0;
    double Cpu = 0;
    double SyncSekunden = 0;
};

void Warten(std::int64_t ns) {
    const timespec dauer{static_cast<time_t>(ns / Sekunde), static_cast<long>(ns % Sekunde)};
    ::clock_nanosleep(CLOCK_MONOTONIC, 0, &dauer, nullptr);
}

// The time until the next reading or the next sync, -1 when nothing is left.
std::int64_t Pause(std::int64_t naechster, std::int64_t ende, std::int64_t jetzt,
                   std::initializer_list<std::int64_t> syncInMs) {
    std::int64_t pause = naechster < ende ? std::max<std::int64_t>(0, naechster - jetzt) : -1;
    for (const std::int64_t ms : syncInMs) {
        if (ms >= 0) {
            pause = pause < 0 ? ms * 1'000'000 : std::min(pause, ms * 1'000'000);
        }
    }
    return pause;
}

TErgebnis Lauf(const std::string& ordner, int jeSekunde, double dauer, bool synchronisieren) {
    TZaehlendeAufrufe datenAufrufe;
    TZaehlendeAufrufe rohAufrufe;
    const std::string datenPfad = ordner + "/sync_bench_" + std::to_string(::getpid()) + ".txt";
    const std::string rohPfad = datenPfad + ".roh";
    ::unlink(rohPfad.c_str());
    TDatendatei daten;
    daten.UmgebungSetzen(TSchreibUmgebung{&datenAufrufe, {}, {}});
    if (!daten.Oeffnen(datenPfad, TOeffnungsArt::Neuschreiben)) {
        std::fprintf(stderr, "%s lässt sich nicht anlegen\n", datenPfad.c_str());
        std::exit(1);
    }
    TRohSchreiber roh(rohPfad, TRohKopf{0, "bench", "/dev/ttyUSB0", {}}, TRohOeffnung::Neu,
                      TSchreibUmgebung{&rohAufrufe, {}, {}});
    const std::string zeile = "06.12.2026\t16:53:34\t  7,01\tpH\t 24,80\t\xB0"
                              "C\r\n";
    TRohEintrag eintrag{TRohArt::Empfangen, 0, 0, 3600,
                        " 7.01 pH   24.8 \xF8"
                        "C\r\n"};
    TErgebnis ergebnis;
    const double cpuVorher = CpuSeconds(RUSAGE_SELF);
    const std::int64_t anfang = MonotonJetzt();
    const std::int64_t ende = anfang + static_cast<std::int64_t>(dauer * 1e9);
    for (std::int64_t naechster = anfang;;) {
        const std::int64_t jetzt = MonotonJetzt();
        if (naechster < ende && jetzt >= naechster) {
            daten.Schreiben(zeile);
            eintrag.MonoNs = jetzt;
            roh.Schreiben(eintrag);
            ++ergebnis.Werte;
            naechster += Sekunde / jeSekunde;
            continue;
        }
        if (synchronisieren) {
            daten.Synchronisieren();
            roh.Datei().Synchronisieren();
        }
        const std::int64_t pause =
            synchronisieren
                ? Pause(naechster, ende, jetzt, {daten.SyncInMs(), roh.Datei().SyncInMs()})
                : Pause(naechster, ende, jetzt, {});
        if (pause < 0) {
            break;
        }
        Warten(pause);
    }
    ergebnis.Sekunden = static_cast<double>(MonotonJetzt() - anfang) / 1e9;
    ergebnis.DatenSyncs = datenAufrufe.Syncs;
    ergebnis.RohSyncs = rohAufrufe.Syncs;
    ergebnis.SyncSekunden = datenAufrufe.SyncSekunden + rohAufrufe.SyncSekunden;
    ergebnis.Cpu = CpuSeconds(RUSAGE_SELF) - cpuVorher;
    daten.Schliessen();
    roh.Schliessen();
    ::unlink(datenPfad.c_str());
    ::unlink(rohPfad.c_str());
    return ergebnis;
}

} // namespace

int main(int argc, char** argv) {
    const std::string ordner = argc > 1 ? argv[1] : ".";
    const double dauer = argc > 2 ? std::atof(argv[2]) : 10.0;
    for (const int jeSekunde : {1, 50}) {
        const TErgebnis mit = Lauf(ordner, jeSekunde, dauer, true);
        const TErgebnis ohne = Lauf(ordner, jeSekunde, dauer, false);
        std::printf("%2d Messwerte/s: %.2f Syncs/s Datendatei, %.2f Syncs/s Rohdaten (%d und %d "
                    "Syncs für %d Messwerte in %.0f s); CPU %.3f %% mit, %.3f %% ohne Syncs; "
                    "fdatasync im Mittel %.2f ms\n",
                    jeSekunde, mit.DatenSyncs / dauer, mit.RohSyncs / dauer, mit.DatenSyncs,
                    mit.RohSyncs, mit.Werte, dauer, 100.0 * mit.Cpu / mit.Sekunden,
                    100.0 * ohne.Cpu / ohne.Sekunden,
                    mit.DatenSyncs + mit.RohSyncs > 0
                        ? 1000.0 * mit.SyncSekunden / (mit.DatenSyncs + mit.RohSyncs)
                        : 0.0);
    }
    return 0;
}
