// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <string>

// Fixed-point text of a number: rounded to `nachkommastellen` decimals, right-aligned with
// blanks to at least `breite` characters (never cut), no digit grouping, `trenner` as the
// decimal point. Independent of the C library's locale, which QApplication sets from the
// environment.
std::string Festkomma(double wert, int breite, int nachkommastellen, char trenner);

// The reading table's number format: two decimals, ".", width 6 (7.012 gives "  7.01").
std::string TabellenZahl(double wert);

// The process-wide decimal separator of every number written as text for the user's files.
// It is "." until the main window's first activation sets ",".
char DezimalTrennzeichen();
void DezimalTrennzeichenSetzen(char trenner);
