// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <cstdint>
#include <string>

// One reading of the meter. Texts are bytes as received (the meter speaks code page 850);
// the PC date and time are filled by the receive dispatcher, everything else by the parser.
struct TMesswert {
    std::string PCDatum;
    std::string PCZeit;
    std::string Datum;
    std::string Zeit;
    double Wert = 0.0;
    double Temp = 0.0;
    bool MitTemperatur = false; // the record had a temperature (Temp stays 0 without one)
    double Tref = 0.0;
    double TCKoeff = 0.0;
    std::string Messgroesse;
    std::string Einheit;
    bool Gerahmt = false;
    std::string Roh; // the record as received, for those who pass the reading on
    // The PC time of the reading as UTC milliseconds: the chart's time axis, unambiguous where
    // the text stamps have whole seconds or the local hour repeats in autumn.
    std::int64_t PCUtcMs = 0;
};
