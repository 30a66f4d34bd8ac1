// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <string>

// The meter's end of a pseudo-terminal pair: the master side, raw and non-blocking, plus the
// path of the slave device that the program opens as its serial port. Closing the master (the
// object going) hangs up the slave and discards what its reader has not taken yet.
class TPseudoterminal {
public:
    // Opens the pair; throws std::runtime_error with the system's reason when it cannot.
    TPseudoterminal();
    ~TPseudoterminal();
    TPseudoterminal(const TPseudoterminal&) = delete;
    TPseudoterminal& operator=(const TPseudoterminal&) = delete;

    int Master() const { return MasterFd; }
    const std::string& Geraet() const { return GeraetePfad; }

private:
    int MasterFd = -1;
    std::string GeraetePfad;
};
