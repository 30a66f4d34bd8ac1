// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The time of TAusgang::Ablegen while the outbox is at its limit (the broker away for long):
// each message then may drop the oldest segment and write its gap record. Fills an outbox to
// its limit with readings of the usual size, then appends as many again and prints the mean,
// the 99th percentile and the longest append, and how long opening the full outbox takes.
// Arguments: the folder (default: the current one; a tmpfs folder would show no disk cost) and
// the limit in MB (default 256).
#include "publish/Ausgang.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using TUhrzeitpunkt = std::chrono::steady_clock::time_point;

double Mikrosekunden(TUhrzeitpunkt von, TUhrzeitpunkt bis) {
    return std::chrono::duration<double, std::micro>(bis - von).count();
}

// A reading's payload as the publisher writes it (about 450 bytes).
TAusgangsSatz Messwert(std::uint64_t seq) {
    std::string inhalt =
        R"({"measurement":"3f0d7c1e-0c9b-4c55-a1d2-9e8f5b6a7c10","seq":)" + std::to_string(seq) +
        R"(,"utc_ms":1796572414120,"utc_offset_s":3600,"local":"2026-12-06T16:53:34.120+01:00",)"
        R"("port":"/dev/ttyUSB0","quantity":"pH","unit":"pH","value":7.012,"temperature_c":24.8,)"
        R"("raw":"  7.012 pH  24.8 °C","data_file":"/home/labor/Messungen/06122026.000","line":)" +
        std::to_string(seq + 1) + R"(,"sample":"P-17","operator":"laborant","electrode":"SenTix"})";
    return TAusgangsSatz{TAusgangsArt::Nachricht, "3f0d7c1e-0c9b-4c55-a1d2-9e8f5b6a7c10", seq,
                         "quorlits/v1/bank3/FTDI%20FT232R%20A50285BI/reading", std::move(inhalt)};
}

} // namespace

int main(int argc, char** argv) {
    const std::string basis = argc > 1 ? argv[1] : ".";
    const std::uint64_t grenze = (argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 256) << 20;
    const std::string ordner = basis + "/ausgang_bench_" + std::to_string(::getpid());
    std::uint64_t seq = 0;
    {
        TAusgang ausgang(ordner, grenze);
        while (ausgang.Verworfen() == 0) {
            ausgang.Ablegen(Messwert(++seq));
        }
        ausgang.Synchronisieren();
        const std::uint64_t voll = seq;
        std::vector<double> zeiten;
        zeiten.reserve(voll);
        for (std::uint64_t i = 0; i < voll; ++i) {
            const auto anfang = std::chrono::steady_clock::now();
            ausgang.Ablegen(Messwert(++seq));
            zeiten.push_back(Mikrosekunden(anfang, std::chrono::steady_clock::now()));
        }
        std::sort(zeiten.begin(), zeiten.end());
        double summe = 0;
        for (const double zeit : zeiten) {
            summe += zeit;
        }
        std::printf(
            "Grenze %llu MB, %llu Nachrichten bis zur Grenze, %zu Segmente, %llu verworfen\n",
            static_cast<unsigned long long>(grenze >> 20), static_cast<unsigned long long>(voll),
            ausgang.Segmente(), static_cast<unsigned long long>(ausgang.Verworfen()));
        std::printf("Ablegen an der Grenze: Mittel %.1f µs, 99%% %.1f µs, längstes %.1f µs\n",
                    summe / static_cast<double>(zeiten.size()), zeiten[zeiten.size() * 99 / 100],
                    zeiten.back());
    }
    const auto anfang = std::chrono::steady_clock::now();
    {
        const TAusgang wieder(ordner, grenze);
        std::printf("Öffnen des vollen Ausgangs: %.0f ms, %zu wartend\n",
                    Mikrosekunden(anfang, std::chrono::steady_clock::now()) / 1000,
                    wieder.Wartend());
    }
    std::error_code fehler;
    std::filesystem::remove_all(ordner, fehler);
    return 0;
}
