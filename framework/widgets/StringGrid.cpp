// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "framework/widgets/StringGrid.h"

#include <QHeaderView>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {
constexpr int Zeilenhoehe = 20;
// The narrowest column the options allow; the user cannot drag a column out of sight.
constexpr int KleinsteBreite = 5;
constexpr Qt::Alignment ZellAusrichtung = Qt::AlignLeft | Qt::AlignTop;

// Hands the style only what a row can show (the delegate has turned line feeds into line
// separators by then): a 20-pixel row shows the first line of a cell's
// text and the top of the second, and the style elides by whether the next line fits, so three
// lines are kept; of each line no more characters than the cell is pixels wide (no character
// is narrower than a pixel), plus one so that a longer line still ends in an ellipsis. The
// picture is the same as with the whole text; but a chunk of a fast line can fill a cell with
// kilobytes, and laying all of it out for every paint cost more than receiving it.
class TSichtbarerText : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const int breite = option->rect.width();
        if (breite <= 0) {
            return;
        }
        const QString& text = option->text;
        const qsizetype zeichen = breite + 1;
        QString sichtbar;
        qsizetype anfang = 0;
        for (int zeile = 0; zeile < SichtbareZeilen && anfang <= text.size(); ++zeile) {
            qsizetype ende = text.indexOf(QChar::LineSeparator, anfang);
            const bool letzte = ende < 0;
            if (letzte) {
                ende = text.size();
            }
            if (zeile > 0) {
                sichtbar += QChar::LineSeparator;
            }
            sichtbar += QStringView(text).mid(anfang, std::min(ende - anfang, zeichen));
            if (letzte) {
                break;
            }
            anfang = ende + 1;
        }
        if (sichtbar.size() < text.size()) {
            option->text = sichtbar;
        }
    }

private:
    static constexpr int SichtbareZeilen = 3;
};
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
    // Tab and Shift+Tab move on to the next control, not through the cells: the arrow keys
    // move within the table.
    setTabKeyNavigation(false);
    setItemDelegate(new TSichtbarerText(this));
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
