// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "tools/meter-sim/Pseudoterminal.h"

#include <memory>
#include <string>

// The meter's cable: the pseudo-terminal it sends on and the optional symlink that the program
// opens as its port. It can be unplugged (the device goes away) and plugged in again (a new
// device appears). The link is removed when the object goes.
class TAnschluss {
public:
    // Opens a pseudo-terminal and, when `verknuepfung` is not empty, places a symlink there
    // pointing to its slave; an existing file at that path is left alone and is an error.
    // Throws std::runtime_error with the system's reason.
    explicit TAnschluss(std::string verknuepfung);
    ~TAnschluss();
    TAnschluss(const TAnschluss&) = delete;
    TAnschluss& operator=(const TAnschluss&) = delete;

    bool Gesteckt() const { return Terminal != nullptr; }
    // The master side; -1 while unplugged.
    int Master() const { return Terminal ? Terminal->Master() : -1; }
    // The slave device of the current pseudo-terminal, or of the last one while unplugged.
    const std::string& Geraet() const { return GeraetePfad; }

    // Removes the link and closes the master: the program's reads end with a hang-up, and what
    // it has not read yet is lost.
    void Ziehen();

    // Opens a new pseudo-terminal and points the link at its slave through a temporary link
    // renamed over the path, so the path never holds a half-made link. Throws
    // std::runtime_error.
    void Stecken();

private:
    std::unique_ptr<TPseudoterminal> Terminal;
    std::string GeraetePfad;
    std::string Verknuepfung;
};
