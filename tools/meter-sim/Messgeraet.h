// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <chrono>
#include <cstddef>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

// What the simulated meter measures; each kind has its own line layout.
enum class TArt { PH, MV, LfMilli, LfMikro, O2MgL, O2Prozent };

// How the meter shapes its records: plain result lines, DC3 ... DC1 printouts, or both in turn.
enum class TForm { Zeile, Rahmen, Gemischt };

// One record to send: the meter's bytes and a readable account of it for the record log. A
// record with its own `Abstand` is followed by the next one that long after it is due, instead
// of one interval after it.
struct TDatensatz {
    std::string Bytes;
    std::string Beschreibung;
    std::optional<std::chrono::nanoseconds> Abstand = std::nullopt;
};

// Plays a meter of the pH 325 series: hands out one record after another, as the meter's own
// bytes (code page 850: the degree sign is 0xF8, "µ" is 0xE6). The kinds are taken in turn; with
// TForm::Gemischt a full round of plain lines is followed by a full round of printouts, so record
// i of n kinds is kinds[i % n], framed when (i / n) is odd.
class TMessgeraet {
public:
    TMessgeraet(std::vector<TArt> arten, TForm form);

    // The next record; `jetzt` stamps printouts with the meter's date and time.
    TDatensatz NaechsterDatensatz(std::time_t jetzt);

private:
    std::vector<TArt> Arten;
    TForm Form;
    std::size_t Nummer = 0;
};

// The kinds behind a --quantity argument ("pH", "mV", "Lf", "O2" or "mixed"); empty when the
// name is unknown.
std::vector<TArt> ArtenFuer(const std::string& name);

// The reading of one kind at one step, as the meter prints its fields: value with the kind's
// decimals, unit in code page 850, temperature with one decimal. `schritt` makes value and
// temperature drift.
struct TAnzeige {
    std::string Wert;
    std::string Einheit;
    std::string Temp;
};
TAnzeige Ablesung(TArt art, std::size_t schritt);

// The result line of one kind without line end: 18 characters with "°C" in columns 17-18 for
// pH, mV and oxygen; conductivity lines are longer.
std::string Messzeile(TArt art, std::size_t schritt);

// A printout: DC3, date and time, the result line, for conductivity "TREF" and "C =", DC1.
std::string Protokoll(TArt art, std::size_t schritt, std::time_t jetzt);

// The record log's line for a reading, tab-separated: "Zeile" or "Ausdruck", value, unit (UTF-8),
// temperature; a printout adds the meter's date and time, and for conductivity the reference
// temperature and the coefficient.
std::string Beschreibung(TArt art, std::size_t schritt, bool gerahmt, std::time_t jetzt);
