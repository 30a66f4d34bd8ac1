// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <string>
#include <vector>

class QCommandLineParser;

// What was wrong with a program's arguments, with the argument as the user wrote it. Qt's own
// texts for it are English; each program words the message in German.
struct TAufrufFehler {
    enum class TArt {
        Keiner,
        Unbekannt, // an option the program does not know, or an argument that is no option
        OhneWert,  // an option at the end that needs a value
    };
    TArt Art = TArt::Keiner;
    std::string Argument;
};

// Reads `argumente` (without the program's name) with `parser`, whose options the caller has
// added: long names with two dashes (one works too), "--name=wert" or "--name wert". The first
// problem found comes back; the parser holds what it read. "--" is no argument of the programs.
TAufrufFehler AufrufLesen(QCommandLineParser& parser, const std::vector<std::string>& argumente);
