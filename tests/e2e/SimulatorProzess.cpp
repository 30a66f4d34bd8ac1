// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "tests/e2e/SimulatorProzess.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using Uhr = std::chrono::steady_clock;

// Waits for the child to end until `bis`; true when it has.
bool WartenBis(pid_t pid, int& status, Uhr::time_point bis) {
    for (;;) {
        const pid_t ergebnis = waitpid(pid, &status, WNOHANG);
        if (ergebnis == pid || (ergebnis < 0 && errno != EINTR)) {
            return true;
        }
        if (Uhr::now() >= bis) {
            return false;
        }
        poll(nullptr, 0, 10);
    }
}

} // namespace

TSimulatorProzess::TSimulatorProzess(const std::string& programm,
                                     const std::vector<std::string>& argumente) {
    int enden[2] = {-1, -1};
    if (pipe2(enden, O_CLOEXEC) != 0) {
        throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
    }
    posix_spawn_file_actions_t aktionen;
    posix_spawn_file_actions_init(&aktionen);
    posix_spawn_file_actions_adddup2(&aktionen, enden[1], STDOUT_FILENO);
    std::vector<std::string> alle{programm};
    alle.insert(alle.end(), argumente.begin(), argumente.end());
    std::vector<char*> argv;
    for (std::string& argument : alle) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    const int fehler =
        posix_spawn(&pid_, programm.c_str(), &aktionen, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&aktionen);
    close(enden[1]);
    ausgabe_ = enden[0];
    if (fehler != 0) {
        close(ausgabe_);
        throw std::runtime_error(programm + ": " + std::strerror(fehler));
    }
    fcntl(ausgabe_, F_SETFL, fcntl(ausgabe_, F_GETFL) | O_NONBLOCK);
}

TSimulatorProzess::~TSimulatorProzess() {
    Beenden();
    close(ausgabe_);
}

bool TSimulatorProzess::AusgabeLesen() {
    std::array<char, 4096> puffer{};
    for (;;) {
        const ssize_t n = read(ausgabe_, puffer.data(), puffer.size());
        if (n > 0) {
            gelesen_.append(puffer.data(), static_cast<std::size_t>(n));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            ausgabeZuEnde_ = ausgabeZuEnde_ || n == 0;
            return n < 0 && errno == EAGAIN;
        }
    }
}

std::string TSimulatorProzess::Geraet(std::chrono::milliseconds frist) {
    const Uhr::time_point bis = Uhr::now() + frist;
    std::size_t ende = gelesen_.find('\n');
    while (ende == std::string::npos && Uhr::now() < bis) {
        pollfd fd{ausgabe_, POLLIN, 0};
        poll(&fd, 1, 50);
        if (!AusgabeLesen()) {
            break;
        }
        ende = gelesen_.find('\n');
    }
    if (ende == std::string::npos) {
        ende = gelesen_.find('\n');
    }
    return ende == std::string::npos ? std::string() : gelesen_.substr(0, ende);
}

bool TSimulatorProzess::Beenden(std::chrono::milliseconds frist) {
    if (beendet_ || pid_ <= 0) {
        return false;
    }
    beendet_ = true;
    kill(pid_, SIGTERM);
    int status = 0;
    bool vonSelbst = WartenBis(pid_, status, Uhr::now() + frist);
    if (!vonSelbst) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
    }
    // The process is gone, so the pipe ends once its contents are read.
    fcntl(ausgabe_, F_SETFL, fcntl(ausgabe_, F_GETFL) & ~O_NONBLOCK);
    AusgabeLesen();
    return vonSelbst && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::vector<std::string> TSimulatorProzess::Protokoll() {
    AusgabeLesen();
    std::vector<std::string> zeilen;
    std::size_t anfang = gelesen_.find('\n');
    while (anfang != std::string::npos) {
        const std::size_t ende = gelesen_.find('\n', anfang + 1);
        if (ende == std::string::npos) {
            break;
        }
        zeilen.push_back(gelesen_.substr(anfang + 1, ende - anfang - 1));
        anfang = ende;
    }
    return zeilen;
}

std::vector<TVerbindung> TSimulatorProzess::Verbindungen() {
    const std::vector<std::string> zeilen = Protokoll();
    std::vector<TVerbindung> verbindungen{{Geraet(std::chrono::milliseconds(0)), {}, false}};
    const std::string verbunden = "VERBUNDEN ";
    for (const std::string& zeile : zeilen) {
        if (zeile == "GETRENNT") {
            verbindungen.back().Getrennt = true;
        } else if (zeile.starts_with(verbunden)) {
            verbindungen.push_back({zeile.substr(verbunden.size()), {}, false});
        } else {
            verbindungen.back().Datensaetze.push_back(zeile);
        }
    }
    return verbindungen;
}

std::vector<std::string> TSimulatorProzess::Datensaetze() {
    std::vector<std::string> datensaetze;
    for (const TVerbindung& verbindung : Verbindungen()) {
        datensaetze.insert(datensaetze.end(), verbindung.Datensaetze.begin(),
                           verbindung.Datensaetze.end());
    }
    return datensaetze;
}

bool TSimulatorProzess::AusgabeZuEnde() {
    AusgabeLesen();
    return ausgabeZuEnde_;
}
