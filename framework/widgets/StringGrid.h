// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "framework/GitterInhalt.h"

#include <QTableWidget>

#include <cstdint>

// The reading table on the screen: row 0 of the contents is the fixed header row (always in
// view), the rows after it are the data rows. Rows are 20 pixels high, lines run between all cells,
// ranges of cells can be selected and the columns can be resized with the mouse; the widths the
// user set stay until the next layout. Tab enters and leaves the table as one control.
class TStringGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit TStringGrid(QWidget* parent = nullptr);

    // Brings the screen up to date with `inhalt`; only cells whose text changed are touched.
    void Anzeigen(const TGitterInhalt& inhalt);

    int ColCount() const;
    // The text shown at (column, row); row 0 is the header.
    QString Cells(int spalte, int zeile) const;

private:
    void LayoutAnwenden(const TGitterInhalt& inhalt);
    void KopfSetzen(int spalte, const QString& text);
    void ZelleSetzen(int spalte, int zeile, const QString& text);

    std::uint64_t layoutNummer_ = UINT64_MAX;
};
