// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "acquisition/Messart.h"
#include "acquisition/Messwert.h"

#include <array>
#include <cstddef>
#include <cstdint>

// Entries of each moving-average history: as many readings as the autosave dialog lets the user
// average.
inline constexpr std::size_t GleitPufferGroesse = 300;

// A history of the latest readings; the newest is at entry n (1-based), the oldest at entry 1.
using TGleitPuffer = std::array<double, GleitPufferGroesse>;

// The window actually used for a configured count: clamped to 1 ... GleitPufferGroesse, so no
// history is read or written outside its entries and nothing is divided by 0.
std::size_t GleitFenster(std::int64_t anzahlGleitMittel);

// Moves entries 2 to n one place towards the front and writes x into entry n (n clamped as by
// GleitFenster). Entries beyond n keep what they hold.
void GleitPuffernSchieben(TGleitPuffer& puffer, std::int64_t n, double x);

// Sets all entries to 0.
void GleitPufferLoeschen(TGleitPuffer& puffer);

// The two histories and the averages after the latest reading. The histories hold the latest
// readings of one kind (TMessart), the newest in the last entry, its values in the unit of the
// newest reading; only the last `Anzahl` entries are readings.
struct TGleitMittel {
    TGleitPuffer GleitWerte{};
    TGleitPuffer GleitTemps{};
    std::size_t Anzahl = 0; // readings held, at most GleitPufferGroesse
    TMessart Messart;       // the kind of the readings held
    double GleitMittelWert = 0.0;
    double GleitMittelTemp = 0.0;
};

// Clears both histories and the averages (start of a meter measurement).
void GleitMittelZuruecksetzen(TGleitMittel& gleitMittel);

// Adds one reading and recomputes both averages over the readings held, at most the last
// `anzahlGleitMittel` of them (so the first readings of a measurement are averaged among
// themselves). A reading in another unit of the same quantity (mS/cm after µS/cm) converts the
// readings held to its unit; a reading of another kind (pH after mV, mg/l after %, a printout's
// unit after a line's) drops them, and the averages start afresh with it.
void GleitMittelAktualisieren(TGleitMittel& gleitMittel, std::int64_t anzahlGleitMittel,
                              const TMesswert& messwert);
