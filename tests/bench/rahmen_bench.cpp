// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// Framing and parsing of one meter record, as the receive path runs it per chunk.
#include "acquisition/MesswertLesen.h"
#include "acquisition/Rahmen.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

// Frames the chunks and parses the record they complete, as the receive dispatcher does.
void Lesen(const std::vector<std::string>& chunks, TRahmenZustand& zustand,
           std::string& messgroesse) {
    for (const std::string& chunk : chunks) {
        if (RahmenPruefen(chunk, zustand)) {
            TMesswert messwert =
                MesswertLesen(zustand.EmpfangsPuffer, zustand.Gerahmt, messgroesse);
            benchmark::DoNotOptimize(messwert);
            zustand.EmpfangsPuffer.clear();
        }
    }
}

void Messen(benchmark::State& state, const std::vector<std::string>& chunks) {
    TRahmenZustand zustand;
    std::string messgroesse;
    for (auto _ : state) {
        Lesen(chunks, zustand, messgroesse);
    }
}

std::vector<std::string> EinzelneBytes(const std::vector<std::string>& chunks) {
    std::vector<std::string> bytes;
    for (const std::string& chunk : chunks) {
        for (const char zeichen : chunk) {
            bytes.emplace_back(1, zeichen);
        }
    }
    return bytes;
}

const std::vector<std::string> ZeilePH = {" 7.01 pH   25.0 ",
                                          "\xF8"
                                          "C",
                                          "\r\n"};

const std::vector<std::string> ProtokollLf = {"\x13"
                                              "06.12.96 12:34\r\n",
                                              "  1.413 mS/cm 25.0 \xF8"
                                              "C\r\n",
                                              "TREF 25 C = 0.475\r\n\x11\r\n"};

void BM_ZeileLesen(benchmark::State& state) {
    Messen(state, ZeilePH);
}

void BM_ProtokollLesen(benchmark::State& state) {
    Messen(state, ProtokollLf);
}

void BM_ZeileByteweiseLesen(benchmark::State& state) {
    Messen(state, EinzelneBytes(ZeilePH));
}

void BM_ProtokollByteweiseLesen(benchmark::State& state) {
    Messen(state, EinzelneBytes(ProtokollLf));
}

} // namespace

BENCHMARK(BM_ZeileLesen);
BENCHMARK(BM_ProtokollLesen);
BENCHMARK(BM_ZeileByteweiseLesen);
BENCHMARK(BM_ProtokollByteweiseLesen);
