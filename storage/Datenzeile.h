// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "acquisition/Messwert.h"
#include "acquisition/Zahlformat.h"
#include "storage/Angaben.h"

#include <string>
#include <string_view>

// Lines of the data file, byte for byte: Windows-1252 text, fields separated by one tab, every
// line ended by CR LF. A reading from a framed printout is written in the long layout (ten
// fields), a reading from a single line in the short layout (six fields).

// What the value and temperature columns hold; names the header words.
enum class TWertArt {
    Messwert,         // "Wert", "Temp.": the reading as received
    Intervallmittel,  // "M-Wert", "M-Temp.": the mean of a save interval
    GleitendesMittel, // "G-Wert", "G-Temp.": the moving average
};

// The header line for the layout of a reading (`gerahmt`: long layout), with CR LF.
std::string KopfZeile(TWertArt art, bool gerahmt);

// The record line of `messwert` in its layout, with CR LF. `pcZeit`, `wert` and `temp` stand in
// the PC time, value and temperature columns (the reading's own or an aligned time and means);
// every other field is the reading's own, the meter's texts (date, time, unit) turned from its
// code page 850 into Windows-1252 ("µS/cm" with 0xB5). Numbers: value and temperature width 6 with
// 2 decimals, Tref width 5 with 2, TCKoeff width 6 with 3, `trenner` as the decimal separator.
std::string DatenZeile(const TMesswert& messwert, std::string_view pcZeit, double wert, double temp,
                       char trenner = DezimalTrennzeichen());

// The record line of a reading as received.
std::string DatenZeile(const TMesswert& messwert, char trenner = DezimalTrennzeichen());

// The header line `kopf` with the three more names "Probe", "Bediener" and "Elektrode" before
// its CR LF, for a file that holds them.
void AngabenKopfAnhaengen(std::string& kopf);

// The record line `zeile` with sample, operator and electrode (as AngabeFeld makes them) as
// three more fields before its CR LF.
void AngabenAnhaengen(std::string& zeile, const TAngaben& angaben);
