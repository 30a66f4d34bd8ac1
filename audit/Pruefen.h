// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

// What the check of a data file against its audit trail found.
enum class TPruefBefund {
    Unveraendert,
    Geaendert,            // a part of the chain does not fit: its data lines or its audit line
    Fehlt,                // the data file holds fewer lines than the chain covers
    Hinzugefuegt,         // the data file holds more lines than the chain covers
    ProtokollFehlt,       // no audit trail, or one without a chain
    ProtokollBeschaedigt, // a line of the trail is not a well-formed line of the chain
};

struct TPruefung {
    TPruefBefund Befund = TPruefBefund::Unveraendert;
    // The data-file lines where file and chain part (1-based, inclusive); 0 when the part lies
    // in the audit line alone.
    std::size_t VonZeile = 0;
    std::size_t BisZeile = 0;
    std::size_t ProtokollZeile = 0; // the first trail line the chain does not confirm (1-based)
    std::size_t Datenzeilen = 0;    // in the data file
    std::size_t Erwartet = 0;       // covered by the chain
    std::string KetteBis;           // the time of the trail's last line
};

// Checks `daten` (a data file's bytes) against `protokoll` (its trail's bytes), from the last
// "Kette begonnen" on. The first part where they differ is reported.
TPruefung DatendateiPruefen(std::string_view daten, std::string_view protokoll);

// The German verdict: "unverändert: N Zeilen, Kette bis <time>" or where file and chain part.
std::string PruefText(const TPruefung& pruefung);

// quorlits --verify DATEI: checks `datei` against DATEI.protokoll and prints the verdict to
// `ausgabe`. 0 when unchanged, 4 when the file or its trail differ from the chain, 1 when
// the data file cannot be read.
int PruefenBefehl(const std::string& datei, std::FILE* ausgabe);
