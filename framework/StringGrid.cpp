// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "framework/StringGrid.h"

#include <QHeaderView>

#include <algorithm>

namespace {
constexpr int Zeilenhoehe = 20;
// The narrowest column the options allow; the user cannot drag a column out of sight.
constexpr int KleinsteBreite = 5;
constexpr Qt::Alignment ZellAusrichtung = Qt::AlignLeft | Qt::AlignTop;
} // namespace

TStringGrid::TStringGrid(QWidget* parent)
    : QTableWidget(0, 0, parent) {
    // Row 0 of the table is the horizontal header, so it stays in view while scrolling.
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(Zeilenhoehe);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setFixedHeight(Zeilenhoehe);
    horizontalHeader()->setMinimumSectionSize(KleinsteBreite);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
    setShowGrid(true);
    setWordWrap(false);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void TStringGrid::Anzeigen(const TGitterInhalt& inhalt) {
    const int datenZeilen = std::max(inhalt.ZeilenAnzahl() - 1, 0);
    if (rowCount() != datenZeilen) {
        setRowCount(datenZeilen);
    }
    if (inhalt.LayoutNummer != layoutNummer_ || inhalt.Spalten != columnCount()) {
        LayoutAnwenden(inhalt);
    }
    for (int spalte = 0; spalte < columnCount(); ++spalte) {
        KopfSetzen(spalte, inhalt.Zelle(spalte, 0));
        for (int zeile = 1; zeile <= datenZeilen; ++zeile) {
            ZelleSetzen(spalte, zeile, inhalt.Zelle(spalte, zeile));
        }
    }
}

int TStringGrid::ColCount() const {
    return columnCount();
}

QString TStringGrid::Cells(int spalte, int zeile) const {
    const QTableWidgetItem* eintrag =
        zeile == 0 ? horizontalHeaderItem(spalte) : item(zeile - 1, spalte);
    return eintrag != nullptr ? eintrag->text() : QString();
}

void TStringGrid::LayoutAnwenden(const TGitterInhalt& inhalt) {
    layoutNummer_ = inhalt.LayoutNummer;
    setColumnCount(inhalt.Spalten);
    horizontalHeader()->setDefaultSectionSize(inhalt.Breite);
    // A new layout forgets the widths the user dragged.
    for (int spalte = 0; spalte < columnCount(); ++spalte) {
        setColumnWidth(spalte, horizontalHeader()->defaultSectionSize());
    }
}

void TStringGrid::KopfSetzen(int spalte, const QString& text) {
    QTableWidgetItem* kopf = horizontalHeaderItem(spalte);
    if (kopf == nullptr) {
        setHorizontalHeaderItem(spalte, new QTableWidgetItem(text));
    } else if (kopf->text() != text) {
        kopf->setText(text);
    }
}

void TStringGrid::ZelleSetzen(int spalte, int zeile, const QString& text) {
    QTableWidgetItem* zelle = item(zeile - 1, spalte);
    if (zelle == nullptr) {
        if (!text.isEmpty()) {
            zelle = new QTableWidgetItem(text);
            // Top left like a string grid draws, so the first line of a text that ends in a
            // line break stays readable in the low row.
            zelle->setTextAlignment(ZellAusrichtung);
            setItem(zeile - 1, spalte, zelle);
        }
    } else if (zelle->text() != text) {
        zelle->setText(text);
    }
}
