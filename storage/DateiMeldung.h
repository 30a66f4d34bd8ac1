// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "storage/Uhr.h"

#include <cstdint>
#include <string>
#include <string_view>

// What a file being written tells its user besides the errors it raises: one German sentence
// (UTF-8) that names the file. The caller shows it (Fehler: as an error) and goes on.
struct TDateiMeldung {
    enum class TArt {
        Stoerung,   // writing fails since a moment; what follows waits in memory
        Behoben,    // writing works again; what waited is written
        Ersetzt,    // the file's name no longer names the open file; it is opened anew
        SyncFehler, // the system could not bring what was written onto the disk
    };
    TArt Art = TArt::Stoerung;
    std::string Text;
    int SystemFehler = 0; // errno, 0 when none

    bool Fehler() const noexcept { return Art != TArt::Behoben; }
};

// The words the reports of a file use: "Datendatei", "Zeile", "Zeilen", "verspätete Zeile",
// "verspätete Zeilen".
struct TDateiWorte {
    std::string_view Datei;
    std::string_view Einheit;
    std::string_view Einheiten;
    std::string_view Spaete;
    std::string_view SpaeteMehrere;
};

inline constexpr TDateiWorte DatendateiWorte{"Datendatei", "Zeile", "Zeilen", "verspätete Zeile",
                                             "verspätete Zeilen"};
inline constexpr TDateiWorte RohdatenWorte{"Rohdatenaufzeichnung", "Eintrag", "Einträge",
                                           "verspäteter Eintrag", "verspätete Einträge"};

// "1 Zeile", "3 Zeilen".
std::string AnzahlText(std::uint64_t anzahl, std::string_view einzahl, std::string_view mehrzahl);

// "„/pfad/Daten.txt“"
std::string InAnfuehrung(std::string_view text);

// "Datendatei „x“ seit 06.12.2026 14:30:05 nicht beschreibbar: Zu wenig Speicherplatz (Kein
// Speicherplatz mehr auf dem Gerät). Was folgt, wird im Speicher aufbewahrt und geschrieben,
// sobald es wieder geht."
TDateiMeldung StoerungsMeldung(const TDateiWorte& worte, const std::string& pfad,
                               const TUhrzeit& seit, int fehler);

// "Datendatei „x“ wieder beschreibbar: 157 verspätete Zeilen geschrieben, 0 verloren."
TDateiMeldung BehobenMeldung(const TDateiWorte& worte, const std::string& pfad,
                             std::uint64_t geschrieben, std::uint64_t verloren);

// The name no longer names the open file: `angelegt` (a new file was created), another file
// lies there now, or (`fehler` != 0) the name cannot be opened again.
TDateiMeldung ErsetztMeldung(const TDateiWorte& worte, const std::string& pfad, bool angelegt,
                             int fehler);

TDateiMeldung SyncMeldung(const TDateiWorte& worte, const std::string& pfad, int fehler);

// Closed with `verloren` units that could not be written any more (raised by closing).
std::string VerlustText(const TDateiWorte& worte, const std::string& pfad, std::uint64_t verloren,
                        int fehler);

// The text of an error of the system (errno) with its German detail: "Zu wenig Speicherplatz
// (Kein Speicherplatz mehr auf dem Gerät)".
std::string FehlerMitDetail(int fehler);
