// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The cost of one record of the raw-data capture: a small chunk as a meter line arrives at 4800
// baud, and a large one as a fast port delivers it. The file is started afresh every 4096
// records (outside the timing) so it stays small.
#include "storage/RohdatenSchreiber.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <unistd.h>

namespace {

const TRohKopf Kopf{0, "bench", "/dev/ttyUSB0", {{"Baud", "4800"}}};

void Schreiben(benchmark::State& state) {
    const std::string pfad = "/tmp/rohdaten_bench_" + std::to_string(getpid()) + ".roh";
    TRohEintrag eintrag{TRohArt::Empfangen, 0, 1'767'225'600'000, 3600,
                        std::string(static_cast<std::size_t>(state.range(0)), 'x')};
    auto schreiber = std::make_unique<TRohSchreiber>(pfad, Kopf);
    std::int64_t anzahl = 0;
    for (auto _ : state) {
        eintrag.MonoNs = anzahl;
        schreiber->Schreiben(eintrag);
        if (++anzahl % 4096 == 0) {
            state.PauseTiming();
            schreiber->Schliessen();
            schreiber = std::make_unique<TRohSchreiber>(pfad, Kopf);
            state.ResumeTiming();
        }
    }
    schreiber->Schliessen();
    ::unlink(pfad.c_str());
    state.SetBytesProcessed(anzahl * state.range(0));
}

// The checksum alone, the part of a record's cost that grows with its length.
void Pruefsumme(benchmark::State& state) {
    const std::string daten(static_cast<std::size_t>(state.range(0)), 'x');
    for (auto _ : state) {
        benchmark::DoNotOptimize(Crc32(daten));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

} // namespace

BENCHMARK(Schreiben)->Arg(20)->Arg(16 * 1024);
BENCHMARK(Pruefsumme)->Arg(16 * 1024);
