// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "acquisition/GleitMittel.h"
#include "acquisition/MemoInhalt.h"
#include "acquisition/Messwert.h"
#include "acquisition/Rahmen.h"
#include "acquisition/Tabelle.h"
#include "chart/Verlauf.h"
#include "shell/Konfiguration.h"
#include "storage/AutoSpeichern.h"
#include "storage/Speichern.h"
#include "storage/Uhr.h"
#include "storage/Zeitpunkt.h"

#include <QString>

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The active reading mode.
enum TLeseModus : std::uint8_t { lmKeiner = 0, lmRS232 = 1, lmWTW = 2 };

// Measurement state of the main window.
struct TMessZustand {
    TLeseModus LeseModus = lmKeiner;
    TRahmenZustand Rahmen; // EmpfangsPuffer, InRahmen and Gerahmt of the record being assembled
    std::string Messgroesse = "pH"; // quantity of the latest reading, bytes as received
    TAktZelle Akt;
};

// Everything the main window knows apart from its widgets. The window shows it; the receive
// steps and the measurement transitions below work on it alone, so they are tested without a
// display.
struct TFormZustand {
    TKonfiguration Konfiguration;
    TMessZustand Messung;
    TGleitMittel Gleit;
    TSpeicherZustand Speicher;
    TAutoSpeicherZustand AutoSpeicher;
    TTabelle Tabelle;
    TMemoInhalt Memo;
    bool GleitAnzeigen = false; // the table menu's "Gleitendes Mittel anzeigen" is checked
    // The readings of the meter measurement for the chart, where one is kept (the window's).
    TVerlauf* Verlauf = nullptr;
    // Handed each new reading once it is listed and saved, where someone asks for them (the
    // window-free logger prints them).
    std::function<void(const TMesswert&)> MesswertAbgabe;
};

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

// The steps for one received chunk. In a meter measurement the chunk goes to the framing step
// one byte at a time, so however the line was cut into chunks, every record that completes is
// parsed, stamped with `jetzt` (the clock read once for the chunk, so a recorded chunk replays
// with the same stamps), averaged, listed and saved (immediately or by the autosave step), in
// order. Then, in every mode, the chunk is shown in the memo (emptied after 1000 characters or
// the tenth chunk with a line feed) and, in an unformatted measurement, in the table.
TChunkErgebnis ChunkVerarbeiten(TFormZustand& zustand, std::string_view chunk,
                                const TUhrzeit& jetzt);

// The line went away in the middle of a measurement: a record cut by the loss is dropped (the
// bytes after the return start a new one), and the chart shows the interruption.
void LeitungVerloren(TFormZustand& zustand);

// The state of a window's first activation at the time `jetzt`, before PHRX.CFG is read: no
// measurement, no saving, the settings' defaults ("Daten.txt" with automatic names, 10 values in
// the moving average), the autosave window from now for an hour, and the decimal comma.
void AnfangszustandSetzen(TFormZustand& zustand, const TZeitpunkt& jetzt);

// The start of a meter measurement: meter layout, LeseModus lmWTW, empty record buffer, interval
// sums and the saved-values count 0, histories and averages 0.
void WTWMessungBeginnen(TFormZustand& zustand);

// The table layouts with the settings and state of the window.
void DesignStandardGrid(TFormZustand& zustand);
void DesignWTWGrid(TFormZustand& zustand);

// "Fenster löschen": empties the memo and every data cell; the header row and the current cell
// stay.
void AnzeigeLeeren(TFormZustand& zustand);
