// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/Datenzeile.h"

#include <benchmark/benchmark.h>

namespace {

TMesswert Beispiel(bool gerahmt) {
    TMesswert m;
    m.PCDatum = "06.12.2001";
    m.PCZeit = "14:30:05";
    m.Datum = "06.12.96";
    m.Zeit = "12:34";
    m.Wert = 1.413;
    m.Einheit = "mS/cm";
    m.Temp = 25.0;
    m.Tref = 25;
    m.TCKoeff = 0.475;
    m.Gerahmt = gerahmt;
    return m;
}

void DatenzeileFormatieren(benchmark::State& state) {
    const TMesswert m = Beispiel(state.range(0) != 0);
    for (auto _ : state) {
        std::string zeile = DatenZeile(m, ',');
        benchmark::DoNotOptimize(zeile);
    }
}

} // namespace

// lang:0 is the short layout of a single-line reading, lang:1 the long one of a printout.
BENCHMARK(DatenzeileFormatieren)->ArgName("lang")->Arg(0)->Arg(1);
