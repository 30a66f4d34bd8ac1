// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "acquisition/Messwert.h"

#include <cstddef>
#include <string>
#include <string_view>

// Scanning helpers shared by the two record shapes. Positions are 1-based as the meter's record
// layout is described; 0 means "not found". Every helper accepts positions outside the text.
using TPosition = std::ptrdiff_t;

// "+", ",", "-", ".", "/", the digits, ":" and ";" (0x2B to 0x3B): what numbers, dates and times
// are made of.
bool IstZiffernzeichen(char zeichen);

// Position of the first occurrence of `muster`, or 0. With `grossKleinGleich` ASCII letters match
// whatever their case.
TPosition Suchen(std::string_view text, std::string_view muster, bool grossKleinGleich = false);

// The characters from `von` to `von + anzahl - 1` that exist in the text.
std::string Teil(std::string_view text, TPosition von, TPosition anzahl);
// Removes the characters from `von` to `von + anzahl - 1` that exist in the text.
void Entfernen(std::string& text, TPosition von, TPosition anzahl);

// Scans from `von` down to `bis` and returns the first position that holds no figure character
// (a position past the end counts as such), or 0 when all hold one.
TPosition RueckwaertsKeinZiffernzeichen(std::string_view text, TPosition von, TPosition bis);
// Scans from `von` up to `bis` and returns the first position that holds no figure character
// (a position past the end counts as such), or `bis` when all hold one.
TPosition VorwaertsKeinZiffernzeichen(std::string_view text, TPosition von, TPosition bis);

// A numeric field: blanks removed, a decimal comma read as a point; the value of its
// convertible start.
double FeldWert(std::string_view feld);

// Takes the temperature in front of the degree sign (0xF8 "C") out of `rest` into `Temp`.
void TemperaturEntnehmen(std::string& rest, TMesswert& messwert);
// Takes a conductivity unit ("S/CM" in any case and the character before it) out of `rest`.
void LeitfaehigkeitEntnehmen(std::string& rest, TMesswert& messwert);
// When no unit was recognised: the letters and "%" left in `rest` become the unit, the quantity
// "?".
void EinheitAusBuchstaben(std::string_view rest, TMesswert& messwert);
// The value: all digits, points (commas) and signs left in `rest`, converted as far as they form
// a number.
void WertEntnehmen(std::string_view rest, TMesswert& messwert);
