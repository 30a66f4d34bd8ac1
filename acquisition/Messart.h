// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "acquisition/Messwert.h"

#include <optional>
#include <string>
#include <string_view>

// What a reading measures, as far as averaging goes: its quantity and unit, bytes as received.
// Readings of one kind are averaged together. Conductivity ("Lf") is one kind in all its units,
// since the meter ranges between µS/cm and mS/cm by itself; every other quantity is one kind per
// unit. A printout's unit other than conductivity comes with the quantity "?", so it never joins
// a result line's.
struct TMessart {
    std::string Messgroesse;
    std::string Einheit;
};

inline TMessart MessartVon(const TMesswert& messwert) {
    return {messwert.Messgroesse, messwert.Einheit};
}

// Turns a value of one unit into another unit of the same quantity: times 10^Zehnerpotenz.
struct TUmrechnung {
    int Zehnerpotenz = 0;
    // Divides for a negative power, so 1442 µS/cm becomes exactly the number 1.442 (mS/cm).
    double operator()(double wert) const;
};

// The power of ten of a conductivity unit relative to S/cm, from its first character: "mS/cm"
// -3, "µS/cm" (code page 850 0xE6, Latin-1 0xB5, or "u") -6, anything else 0.
int LeitwertZehnerpotenz(std::string_view einheit);

// How values held in the kind `von` become values in the unit of `nach`; nothing when the two
// kinds cannot be averaged together (another quantity, or a unit that does not convert:
// pH and mV, mg/l and %, a printout's unit and a line's).
std::optional<TUmrechnung> Umrechnung(const TMessart& von, const TMessart& nach);
