// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "settings/Konfiguration.h"
#include "storage/Angaben.h"
#include "storage/RohdatenFormat.h"
#include "storage/Zeitpunkt.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The settings a capture carries so that it replays on its own: those that shape the data file
// (the seven of PHRX.CFG) in its header, and with each start of saving the settings and the
// autosave window in effect then.

using TRohWerte = std::vector<std::pair<std::string, std::string>>;

// Appends the seven settings of PHRX.CFG as key/value pairs ("AutoDateiname", "Ueberschreiben",
// "MittelwertIntervall", "GleitendesMittel", "ZeitRaster", "AnzahlGleitMittel",
// "Speicherintervall"; truth values as 0 and 1) and "Ausgabedatei".
void KonfigurationEintragen(TRohWerte& werte, const TKonfiguration& konfiguration);

// The header of a capture of the port `anschluss`: this program's version, the port's line
// settings (`leitung`, as LineSettingsTexts gives them) and the settings of `konfiguration`.
TRohKopf RohKopfErstellen(const std::string& anschluss, TRohWerte leitung,
                          const TKonfiguration& konfiguration);

// `vorgabe` with every setting of `werte` that KonfigurationEintragen writes; other keys are
// left alone. Raises ERohdatenFehler (German) on a value that is no valid setting.
TKonfiguration KonfigurationAuslesen(const TRohWerte& werte, TKonfiguration vorgabe);

// A start of saving as the capture keeps it.
struct TSpeicherBeginn {
    bool Automatisch = false; // autosave; otherwise immediate saving
    std::string Datei;        // the data file the live run wrote
    TKonfiguration Konfiguration;
    TZeitpunkt Speicherbeginn; // the autosave window; unused by immediate saving
    TZeitpunkt Speicherende;
    // Sample, operator and electrode when every line carries them (AngabenSchreiben).
    std::optional<TAngaben> Angaben;

    friend bool operator==(const TSpeicherBeginn&, const TSpeicherBeginn&) = default;
};

// The payload of a SpeichernEin record: "sofort" or "auto", a tab, the data file's name (escaped
// as header values are), then
// tab-separated Schluessel=Wert fields of the settings and, for autosave, "Speicherbeginn" and
// "Speicherende" as "TT.MM.JJJJ hh:mm:ss"; with Angaben "Angaben=1" and "Probe", "Bediener" and
// "Elektrode" (escaped as header values are, so no tab is left in them).
std::string SpeicherBeginnText(const TSpeicherBeginn& beginn);

// The reverse. Fields it does not know are ignored, missing ones keep `vorgabe`'s settings (a
// payload of only the kind and the name is valid). Raises ERohdatenFehler on another kind or a
// value that cannot be read.
TSpeicherBeginn SpeicherBeginnLesen(std::string_view text, const TKonfiguration& vorgabe);

// The payload of an Angabe record: the name ("Probe", "Bediener", "Elektrode"), a tab, the value.
std::string AngabeRohText(TAngabe angabe, std::string_view wert);
// The reverse; nothing for a payload without a tab or with a name this program does not know
// (a later version's), which a replay passes over.
std::optional<std::pair<TAngabe, std::string>> AngabeRohLesen(std::string_view text);
