// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

// What a string grid shows, free of widgets: rows of cell texts (row 0 is the header row), a
// column count, a default column width and a layout number. Whoever fills it keeps every row
// `Spalten` cells long; the grid reads it where it lies, without a copy.
struct TGitterInhalt {
    int Spalten = 0;
    int Breite = 64;
    // Raised by every layout (column count or default width set), so a grid knows when to reset
    // the widths the user dragged.
    std::uint64_t LayoutNummer = 0;
    std::vector<std::vector<QString>> Zellen; // [row][column]

    int ZeilenAnzahl() const noexcept { return static_cast<int>(Zellen.size()); }

    // The text at (column, row); outside the rows and columns an empty text.
    const QString& Zelle(int spalte, int zeile) const noexcept {
        static const QString leer;
        if (spalte < 0 || spalte >= Spalten || zeile < 0 || zeile >= ZeilenAnzahl()) {
            return leer;
        }
        const std::vector<QString>& reihe = Zellen[static_cast<std::size_t>(zeile)];
        const auto index = static_cast<std::size_t>(spalte);
        return index < reihe.size() ? reihe[index] : leer;
    }
};
