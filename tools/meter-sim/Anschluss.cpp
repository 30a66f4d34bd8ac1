// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "tools/meter-sim/Anschluss.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <unistd.h>
#include <utility>

namespace {

[[noreturn]] void VerknuepfungFehlgeschlagen(const std::string& pfad) {
    throw std::runtime_error("symlink " + pfad + ": " + std::strerror(errno));
}

} // namespace

TAnschluss::TAnschluss(std::string verknuepfung)
    : Terminal(std::make_unique<TPseudoterminal>())
    , GeraetePfad(Terminal->Geraet()) {
    if (!verknuepfung.empty() && symlink(GeraetePfad.c_str(), verknuepfung.c_str()) != 0) {
        VerknuepfungFehlgeschlagen(verknuepfung);
    }
    Verknuepfung = std::move(verknuepfung);
}

TAnschluss::~TAnschluss() {
    if (Gesteckt() && !Verknuepfung.empty()) {
        unlink(Verknuepfung.c_str());
    }
}

void TAnschluss::Ziehen() {
    // The link goes first: a program that reacts to the hang-up at once finds no device, as
    // with a USB adapter pulled out, and never an old device number taken by another terminal.
    if (!Verknuepfung.empty()) {
        unlink(Verknuepfung.c_str());
    }
    Terminal.reset();
}

void TAnschluss::Stecken() {
    Terminal = std::make_unique<TPseudoterminal>();
    GeraetePfad = Terminal->Geraet();
    if (Verknuepfung.empty()) {
        return;
    }
    const std::string neu = Verknuepfung + ".neu";
    unlink(neu.c_str());
    if (symlink(GeraetePfad.c_str(), neu.c_str()) != 0 ||
        std::rename(neu.c_str(), Verknuepfung.c_str()) != 0) {
        VerknuepfungFehlgeschlagen(Verknuepfung);
    }
}
