// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "acquisition/GleitMittel.h"
#include "acquisition/Messwert.h"
#include "acquisition/Rahmen.h"
#include "chart/Verlauf.h"
#include "reception/MemoInhalt.h"
#include "reception/Tabelle.h"
#include "settings/Konfiguration.h"
#include "storage/AutoSpeichern.h"
#include "storage/Speichern.h"

#include <cstdint>
#include <string>

// The active reading mode.
enum TLeseModus : std::uint8_t { lmKeiner = 0, lmRS232 = 1, lmWTW = 2 };

// Measurement state of the program.
struct TMessZustand {
    TLeseModus LeseModus = lmKeiner;
    TRahmenZustand Rahmen; // EmpfangsPuffer, InRahmen and Gerahmt of the record being assembled
    std::string Messgroesse = "pH"; // quantity of the latest reading, bytes as received
    TAktZelle Akt;
};

// The program's state apart from any widget: settings, the measurement, saving, and the table
// and memo contents. The main window shows it, the logger without a window keeps it unshown; the
// receive steps and the measurement transitions (reception/Empfang.h) work on it alone, so they
// are tested without a display.
struct TProgrammZustand {
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
};
