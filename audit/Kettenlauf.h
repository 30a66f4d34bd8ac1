// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "audit/Kette.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
    std::size_t Erwartet = 0;       // covered by the part of the chain where they part
    std::string KetteBis;           // the time of the trail's last line
    // The first data line that no longer fits (1-based): the first line of the part that does
    // not fit, or the line after the last one the chain confirms.
    std::size_t AbZeile = 0;
};

// A value the chain took on the way through the files, and the data line that came next
// (1-based): the value over everything written before that line, data lines and audit lines.
struct TKettenwert {
    TKette::TWert Wert;
    std::size_t VorZeile = 0;
};

// A walk of a data file along its whole audit trail, every part of the chain in its order.
struct TKettenlauf {
    TPruefung Pruefung; // the first place where file and trail part
    // With Werte asked for: every value after a data line or an audit line, in their order, as
    // computed from the data file (so they differ from the trail's from the first change on).
    std::vector<TKettenwert> Werte;
    // For a run that goes on with the trail: the value and time its last well-formed line
    // records, and how many data lines its part of the chain covers.
    std::optional<TKette> LetzteKette;
    std::size_t Gedeckt = 0;
    std::size_t Protokollzeilen = 0; // well-formed lines read
};

// Walks `daten` (a data file's bytes) along `protokoll` (its trail's bytes): each audit line's
// data lines, then the line itself, compared with its chain field. "Kette begonnen" restarts
// the chain at zero, "Kette unterbrochen …" goes on from the line before; both count the data
// lines from the file's first. A trail line that is not whole and well-formed ends the walk.
TKettenlauf KetteAblaufen(std::string_view daten, std::string_view protokoll,
                          bool werteSammeln = false);
