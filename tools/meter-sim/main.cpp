// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// meter-sim: plays a meter of the pH 325 series on a pseudo-terminal, for trying and testing
// the program without the instrument.
#include "tools/meter-sim/Ablauf.h"
#include "tools/meter-sim/Anschluss.h"
#include "tools/meter-sim/Aufnahme.h"
#include "tools/meter-sim/Optionen.h"
#include "tools/meter-sim/Rohaufnahme.h"

#include "storage/EInOutError.h"
#include "storage/RohdatenLeser.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <exception>
#include <fcntl.h>
#include <memory>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <utility>

namespace {

// Written by the signal handler, read by the main loop's poll: a signal ends the run without a
// race between checking a flag and going to sleep.
int StopSchreibende = -1;

extern "C" void BeiSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t ergebnis = write(StopSchreibende, &byte, 1);
}

// Returns the read end of the stop pipe, or -1.
int SignaleEinrichten() {
    int enden[2] = {-1, -1};
    if (pipe(enden) != 0) {
        return -1;
    }
    for (const int fd : enden) {
        fcntl(fd, F_SETFD, FD_CLOEXEC);
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    StopSchreibende = enden[1];
    struct sigaction aktion {};
    aktion.sa_handler = BeiSignal;
    sigemptyset(&aktion.sa_mask);
    sigaction(SIGINT, &aktion, nullptr);
    sigaction(SIGTERM, &aktion, nullptr);
    sigaction(SIGHUP, &aktion, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    return enden[0];
}

// A raw-data capture plays once, each chunk in one burst as the port delivered it.
TQuelle RohQuelle(TOptionen& optionen) {
    auto aufnahme = std::make_shared<TRohaufnahme>(optionen.Aufnahme, optionen.Tempo);
    if (aufnahme->Abgeschnitten()) {
        std::fprintf(stderr,
                     "meter-sim: %s endet mit einem abgeschnittenen oder beschädigten Eintrag; "
                     "gespielt wird bis dahin\n",
                     optionen.Aufnahme.c_str());
    }
    const auto anzahl = static_cast<long>(aufnahme->Anzahl());
    optionen.Anzahl = optionen.Anzahl > 0 ? std::min(optionen.Anzahl, anzahl) : anzahl;
    optionen.Baud = 0;
    return [aufnahme] { return aufnahme->NaechsterDatensatz(); };
}

// Whether --replay names a raw-data capture; the error names the file.
bool IstRohdaten(const std::string& pfad) {
    try {
        return IstRohdatenDatei(pfad);
    } catch (const EInOutError& fehler) {
        throw std::runtime_error(pfad + " kann nicht gelesen werden: " + fehler.what());
    }
}

TQuelle Quelle(TOptionen& optionen) {
    if (!optionen.Aufnahme.empty() && IstRohdaten(optionen.Aufnahme)) {
        return RohQuelle(optionen);
    }
    if (!optionen.Aufnahme.empty()) {
        return [aufnahme = std::make_shared<TAufnahme>(optionen.Aufnahme)] {
            std::string bytes = aufnahme->NaechsterDatensatz();
            std::string beschreibung = "Aufnahme\t" + Lesbar(bytes);
            return TDatensatz{std::move(bytes), std::move(beschreibung)};
        };
    }
    return [geraet = std::make_shared<TMessgeraet>(optionen.Arten, optionen.Form)] {
        return geraet->NaechsterDatensatz(std::time(nullptr));
    };
}

int Starten(TOptionen optionen) {
    const int stopFd = SignaleEinrichten();
    if (stopFd < 0) {
        std::perror("meter-sim: pipe");
        return 1;
    }
    const TQuelle quelle = Quelle(optionen);
    TAnschluss anschluss(optionen.Verknuepfung);
    std::printf("%s\n", anschluss.Geraet().c_str());
    std::fflush(stdout);
    Ablaufen(optionen, quelle, anschluss, stopFd);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::string fehler;
    const std::optional<TOptionen> optionen =
        OptionenLesen(std::vector<std::string>(argv + 1, argv + argc), fehler);
    if (!optionen) {
        std::fprintf(stderr, "meter-sim: %s\n\n%s", fehler.c_str(), Hilfetext().c_str());
        return 2;
    }
    if (optionen->Hilfe) {
        std::printf("%s", Hilfetext().c_str());
        return 0;
    }
    try {
        return Starten(*optionen);
    } catch (const std::exception& fehlerfall) {
        std::fprintf(stderr, "meter-sim: %s\n", fehlerfall.what());
        return 1;
    }
}
