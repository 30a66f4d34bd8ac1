// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "settings/Konfiguration.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The seven lines of PHRX.CFG: how they are written and how one line is read back.

// Number of lines the file holds; further lines are never read.
inline constexpr int KonfZeilenzahl = 7;

// The longest start of a line that reading ever looks at (the number lines use seven
// characters, the switch lines five).
inline constexpr std::size_t KonfZeilenanfang = 7;

// The whole file as Windows-1252 bytes: seven lines, each ended by CR LF.
std::string KonfText(const TKonfiguration& konf);

// A switch line: true exactly when its first five characters, trimmed of blanks and control
// characters at both ends, are "1".
bool KonfSchalterLesen(std::string_view zeile);

// A number line: its first seven characters without blanks, read as a whole number (decimal
// with optional sign, hexadecimal after "$" or "0x"); text that is no such number gives the
// value of its leading digits without sign. The low 16 bits are kept.
std::uint16_t KonfZahlLesen(std::string_view zeile);

// Sets the field of line `index` (0 to 6) from the line's text (without its line break).
void KonfZeileUebernehmen(TKonfiguration& konf, int index, std::string_view zeile);
