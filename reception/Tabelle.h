// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "acquisition/Messwert.h"
#include "framework/GitterInhalt.h"

#include <QString>

#include <cstdint>
#include <string>

// The reading table's contents, free of widgets: eight rows (row 0 the fixed header row, seven
// data rows; the count never changes), a column count, a default column width and one text per
// cell. The window's grid shows its contents (Inhalt).
class TTabelle {
public:
    static constexpr int Zeilen = 8;

    TTabelle();

    int RowCount() const noexcept { return Zeilen; }
    int FixedRows() const noexcept { return 1; }
    int FixedCols() const noexcept { return 0; }

    int ColCount() const noexcept { return inhalt_.Spalten; }
    // New columns start empty; the cells of columns that remain keep their text.
    void SetColCount(int anzahl);
    int DefaultColWidth() const noexcept { return inhalt_.Breite; }
    void SetDefaultColWidth(int breite);

    // Raised by every layout (column count or default width set), so a view knows when to
    // reset the widths the user dragged.
    std::uint64_t LayoutNummer() const noexcept { return inhalt_.LayoutNummer; }

    // Cells are addressed (column, row) like the grid; outside the table a read gives an empty
    // text and a write does nothing.
    const QString& Cell(int spalte, int zeile) const noexcept {
        return inhalt_.Zelle(spalte, zeile);
    }
    void SetCell(int spalte, int zeile, const QString& text);

    // Everything a grid shows, read in place.
    const TGitterInhalt& Inhalt() const noexcept { return inhalt_; }

private:
    TGitterInhalt inhalt_;
};

// The cell that receives the next entry.
struct TAktZelle {
    std::int32_t AktSpalte = 0;
    std::int32_t AktZeile = 1;
};

// Unformatted layout: `spaltenzahl` columns of `spaltenbreite` pixels headed "1", "2", ...; the
// next entry goes to column 0 of row 1. Data cells keep their text.
void DesignStandardGrid(TTabelle& tabelle, int spaltenzahl, int spaltenbreite, TAktZelle& akt);

// Scrolls the data rows up by one and empties the last row; the header row stays.
void TabelleRollen(TTabelle& tabelle);

// Empties every cell of the data rows; the header row stays.
void TabelleLeeren(TTabelle& tabelle);

// One chunk's display text into the current cell of an unformatted measurement: scrolls first
// when the table is full, then moves right, or to the next line after the last column or when
// the chunk held a line feed.
void UnformatiertEintragen(TTabelle& tabelle, TAktZelle& akt, const QString& anzeige,
                           bool zeilenvorschub);

// The header of the value column: the quantity (code page 850 bytes), with " (gleit)" when the
// table shows moving averages.
QString WertKopf(const std::string& messgroesse, bool gleit);

// Meter layout: five columns of 80 pixels, "Datum", "Zeit", the value header, "Einheit" and
// "T [°C]" (or "T [°C] (gleit)"); the next reading goes to row 1.
void DesignWTWGrid(TTabelle& tabelle, const std::string& messgroesse, bool gleit, TAktZelle& akt);

// One reading as a table line: PC date, PC time, the value (or the moving average), the unit and
// the temperature (or its moving average), numbers as "  7.01"; the two headers follow the
// quantity of this reading. Scrolls first when the table is full.
void WTWZeileEintragen(TTabelle& tabelle, TAktZelle& akt, const TMesswert& messwert,
                       const std::string& messgroesse, bool gleit, double gleitMittelWert,
                       double gleitMittelTemp);
