// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/Datenzeile.h"

#include "BeispielMesswerte.h"

#include <benchmark/benchmark.h>

namespace {

void DatenzeileFormatieren(benchmark::State& state) {
    const TMesswert m = state.range(0) != 0 ? Ausdruck() : Einzelzeile();
    for (auto _ : state) {
        std::string zeile = DatenZeile(m, ',');
        benchmark::DoNotOptimize(zeile);
    }
}

} // namespace

// lang:0 is the short layout of a single-line reading, lang:1 the long one of a printout.
BENCHMARK(DatenzeileFormatieren)->ArgName("lang")->Arg(0)->Arg(1);
