// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <cstdint>
#include <string>

// The program's settings, one set per run, held by the main window. The first seven fields
// persist in PHRX.CFG; the last three start from their defaults at every start.
struct TKonfiguration {
    bool AutoDateiname = true;
    bool Ueberschreiben = false;
    bool MittelwertIntervall = false;
    bool GleitendesMittel = false;
    bool ZeitRaster = false;
    std::uint16_t AnzahlGleitMittel = 10;
    std::uint16_t Speicherintervall = 0; // seconds; 0 saves every reading
    std::string Ausgabedatei = "Daten.txt";
    std::uint8_t Spaltenzahl = 20;
    std::uint16_t Spaltenbreite = 21;

    friend bool operator==(const TKonfiguration&, const TKonfiguration&) = default;
};
