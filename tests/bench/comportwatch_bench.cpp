// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// Wake-ups of the device watch while nothing is plugged: the voluntary context switches of the
// whole process during a quiet stretch of its event loop, with the watch and, for comparison,
// without one. Each source the machine offers is measured, and polling as its fallback.
#include "serial/ComPortWatch.h"
#include "tests/bench/BenchLoop.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr auto Stille = std::chrono::seconds(10);

long Kontextwechsel() {
    long summe = 0;
    for (const auto& eintrag : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream status(eintrag.path() / "status");
        std::string feld;
        while (status >> feld) {
            if (feld == "voluntary_ctxt_switches:") {
                long anzahl = 0;
                status >> anzahl;
                summe += anzahl;
            }
        }
    }
    return summe;
}

// The event loop's wake-ups while it runs quietly, with whatever watch exists.
double WeckrufeJeSekunde() {
    RunFor(std::chrono::milliseconds(200)); // the watch settles
    const long vorher = Kontextwechsel();
    RunFor(Stille);
    return static_cast<double>(Kontextwechsel() - vorher) /
           static_cast<double>(std::chrono::seconds(Stille).count());
}

const char* Name(TMonitorSource source) {
    switch (source) {
    case TMonitorSource::Udev:
        return "udev";
    case TMonitorSource::Kernel:
        return "kernel";
    case TMonitorSource::Polling:
        return "polling";
    }
    return "?";
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::printf("wake-ups per second over %lld s of quiet\n",
                static_cast<long long>(std::chrono::seconds(Stille).count()));
    std::printf("  no watch:        %.2f\n", WeckrufeJeSekunde());
    for (const TMonitorSource source : {DefaultMonitorSource(), TMonitorSource::Polling}) {
        const TComPortWatch watch(source);
        const std::string name = Name(watch.Source());
        std::printf("  watch (%s):%*s%.2f\n", name.c_str(), static_cast<int>(9 - name.size()), "",
                    WeckrufeJeSekunde());
    }
    return 0;
}
