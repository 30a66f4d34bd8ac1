// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "acquisition/Messwert.h"

#include <string>
#include <string_view>

// Parses a completed meter record (bytes as received, code page 850) into a reading: a framed
// printout when `gerahmt`, else a plain result line. Fills everything but PCDatum and PCZeit,
// sets Gerahmt from `gerahmt`, and writes the quantity into `messgroesse` (emptied first, so an
// empty record leaves it empty). Never fails: what is not found stays empty or 0.
TMesswert MesswertLesen(std::string_view datensatz, bool gerahmt, std::string& messgroesse);

// The plain result line: temperature, unit ("S/CM", "pH", "mV", "mg/l", "%", else the letters
// left) and value.
TMesswert ZeileLesen(std::string_view datensatz);

// The framed printout: time, date, temperature, reference temperature ("TREF"), coefficient
// ("C ="), conductivity unit or the letters and "%" left, and value.
TMesswert ProtokollLesen(std::string_view datensatz);
