// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "chart/Verlauf.h"

#include <functional>
#include <string_view>

// "Daten exportieren ...": the readings a chart shows as a text file for Calc and Excel, in the
// data file's form: Windows-1252, fields separated by a tab, lines ended by CR LF, the header
// and columns of the data file's short layout (PC-Datum, PC-Zeit, Wert, Einheit, Temp.,
// Einheit) and its numbers (width 6, `trenner` as the decimal separator). With `mittel` the
// moving average follows as "G-Wert". Values are in the unit the series is drawn in, with
// Nachkommastellen decimals; the temperature fields of a reading without one stay empty. The
// PC date and time are the local time of each reading.
//
// Writes the header and the readings of `reihe` with time in [vonMs, bisMs), in pieces of some
// kilobytes, through `schreiben`.
void DatenExportSchreiben(const TVerlaufReihe& reihe, double vonMs, double bisMs, bool mittel,
                          char trenner, const std::function<void(std::string_view)>& schreiben);
