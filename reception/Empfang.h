// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "acquisition/Messwert.h"
#include "reception/ProgrammZustand.h"
#include "storage/AutoSpeichern.h"
#include "storage/Uhr.h"
#include "storage/Zeitpunkt.h"

#include <QString>

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// What one received chunk did.
struct TChunkErgebnis {
    QString Anzeige; // the chunk's display text, as appended to the memo
    bool MemoGeleert = false;
    int Datensaetze = 0; // records completed and listed
    // The status lines of the last autosave step, when one ran.
    std::optional<TAutoSpeicherStatus> AutoStatus;
    // The first error of a save step. Later records of the chunk were still listed and saved,
    // and the display steps still ran.
    std::exception_ptr Fehler;
};

// Who hears of each reading while a chunk is handled (the measurement), each step optional.
struct TMesswertSchritte {
    // With immediate saving, right before the reading's line is written: the line of the data
    // file it will stand on (empty when the file cannot be read back). Without it the data
    // file's lines are not counted.
    std::function<void(const TMesswert&, std::optional<std::int64_t> zeile)> VorDerZeile;
    // Each reading once it is listed and saved.
    std::function<void(const TMesswert&)> Gelistet;
};

// The steps for one received chunk. In a meter measurement the chunk goes to the framing step
// one byte at a time, so however the line was cut into chunks, every record that completes is
// parsed, stamped with `jetzt` (the clock read once for the chunk, so a recorded chunk replays
// with the same stamps), averaged, listed and saved (immediately or by the autosave step), in
// order, each reading told to `schritte`. Then, in every mode, the chunk is shown in the memo
// (emptied after 1000 characters or the tenth chunk with a line feed) and, in an unformatted
// measurement, in the table.
TChunkErgebnis ChunkVerarbeiten(TProgrammZustand& zustand, std::string_view chunk,
                                const TUhrzeit& jetzt, const TMesswertSchritte& schritte = {});

// The line went away in the middle of a measurement: a record cut by the loss is dropped (the
// bytes after the return start a new one), and the chart shows the interruption.
void LeitungVerloren(TProgrammZustand& zustand);

// The state of a window's first activation at the time `jetzt`, before PHRX.CFG is read: no
// measurement, no saving, the settings' defaults ("Daten.txt" with automatic names, 10 values in
// the moving average), the autosave window from now for an hour, and the decimal comma.
void AnfangszustandSetzen(TProgrammZustand& zustand, const TZeitpunkt& jetzt);

// The start of a meter measurement: meter layout, LeseModus lmWTW, empty record buffer, interval
// sums and the saved-values count 0, histories and averages 0.
void WTWMessungBeginnen(TProgrammZustand& zustand);

// The table layouts with the settings and state of the window.
void DesignStandardGrid(TProgrammZustand& zustand);
void DesignWTWGrid(TProgrammZustand& zustand);

// "Fenster löschen": empties the memo and every data cell; the header row and the current cell
// stay.
void AnzeigeLeeren(TProgrammZustand& zustand);
