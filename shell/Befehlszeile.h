// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <string>
#include <vector>

// The program's command line: "quorlits [--port GERÄT]". Without arguments the port starts
// with "COM1".
struct TBefehlszeile {
    std::string Port;   // empty: the default device
    bool Hilfe = false; // --help or -h: print the usage and end
    std::string Fehler; // German text of a wrong command line; empty when it is fine
};

// Reads the arguments after the program's name. "--port GERÄT" and "--port=GERÄT" are both
// accepted.
TBefehlszeile BefehlszeileLesen(const std::vector<std::string>& argumente);

// The usage text for --help (UTF-8).
std::string HilfeText();
