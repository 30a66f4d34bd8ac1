// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "tools/meter-sim/Messgeraet.h"

#include <optional>
#include <string>
#include <vector>

// The simulator's command line.
struct TOptionen {
    long IntervallMs = 1000;
    TForm Form = TForm::Zeile;
    std::vector<TArt> Arten{TArt::PH};
    long Anzahl = 0; // 0: no limit
    std::string Verknuepfung;
    std::string Aufnahme;           // replayed instead of generated records when set
    double Tempo = 1.0;             // a raw-data capture's pauses are divided by this
    long Baud = 4800;               // 0: each record in one burst
    bool DatensaetzeZeigen = false; // each record sent is described on stdout
    long TrennenNachMs = 0;         // 0: the line stays plugged in
    long TrennenWegMs = 0;
    bool Hilfe = false;
};

// Reads the arguments after the program name; on a mistake returns nothing and says why in
// `fehler`.
std::optional<TOptionen> OptionenLesen(const std::vector<std::string>& argumente,
                                       std::string& fehler);

// The text that --help prints.
std::string Hilfetext();
