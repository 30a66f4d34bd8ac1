// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "WidgetTest.h"
#include "framework/widgets/StringGrid.h"

#include "reception/Tabelle.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyledItemDelegate>
#include <QTest>

namespace {

// Every text the grid shows, header row first, as the table holds them.
void VergleicheAlles(const TStringGrid& grid, const TTabelle& tabelle) {
    QCOMPARE(grid.ColCount(), tabelle.ColCount());
    for (int zeile = 0; zeile < TTabelle::Zeilen; ++zeile) {
        for (int spalte = 0; spalte < tabelle.ColCount(); ++spalte) {
            QCOMPARE(grid.Cells(spalte, zeile), tabelle.Cell(spalte, zeile));
        }
    }
}

void VergleicheBreiten(const TStringGrid& grid, int breite) {
    for (int spalte = 0; spalte < grid.ColCount(); ++spalte) {
        QCOMPARE(grid.columnWidth(spalte), breite);
    }
}

// Lays `tabelle` out unformatted and fills every data cell with "z<column>/<row>".
void Fuellen(TTabelle& tabelle, int spalten, int breite) {
    TAktZelle akt;
    DesignStandardGrid(tabelle, spalten, breite, akt);
    for (int zeile = 1; zeile < TTabelle::Zeilen; ++zeile) {
        for (int spalte = 0; spalte < spalten; ++spalte) {
            tabelle.SetCell(spalte, zeile, QStringLiteral("z%1/%2").arg(spalte).arg(zeile));
        }
    }
}

} // namespace

class StringGridTest : public QObject {
    Q_OBJECT
private slots:
    void Layouts_data();
    void Layouts();
    void KopfzeileFest();
    void NutzerbreiteBleibt();
    void NeuesLayoutSetztBreitenZurueck();
    void NurGeaenderteZellen();
    void WTWKoepfeUndZeilen();
    void Rollen();
    void GrosseZellenSehenAusWieGanze();
};

void StringGridTest::Layouts_data() {
    QTest::addColumn<int>("spalten");
    QTest::addColumn<int>("breite");
    QTest::newRow("Vorgabe 20 × 21") << 20 << 21;
    QTest::newRow("kleinste 5 × 5") << 5 << 5;
    QTest::newRow("größte 50 × 300") << 50 << 300;
    QTest::newRow("Messgerät 5 × 80") << 5 << 80;
}

// Column count, widths, header numbers and all cells, also when the next layout has fewer or
// more columns than the one before (removed columns must not come back with old texts).
void StringGridTest::Layouts() {
    QFETCH(int, spalten);
    QFETCH(int, breite);
    TStringGrid grid;
    grid.show();
    TTabelle tabelle;
    for (const int vorher : {8, 50}) {
        Fuellen(tabelle, vorher, 40);
        grid.Anzeigen(tabelle.Inhalt());
        TAktZelle akt;
        DesignStandardGrid(tabelle, spalten, breite, akt);
        grid.Anzeigen(tabelle.Inhalt());
        VergleicheAlles(grid, tabelle);
        VergleicheBreiten(grid, breite);
        QCOMPARE(grid.Cells(spalten - 1, 0), QString::number(spalten));
        QCOMPARE(grid.Cells(spalten, 0), QString());
        QCOMPARE(grid.Cells(0, TTabelle::Zeilen), QString());
    }
}

// Row 0 is the header: it is not a table row, so it stays in view; seven data rows of 20 pixels.
void StringGridTest::KopfzeileFest() {
    TStringGrid grid;
    grid.resize(300, 100); // shows fewer rows than there are, so the view scrolls
    grid.show();
    TTabelle tabelle;
    Fuellen(tabelle, 20, 21);
    grid.Anzeigen(tabelle.Inhalt());
    QCOMPARE(grid.rowCount(), TTabelle::Zeilen - 1);
    QVERIFY(grid.verticalHeader()->isHidden());
    QVERIFY(!grid.horizontalHeader()->isHidden());
    for (int zeile = 0; zeile < grid.rowCount(); ++zeile) {
        QCOMPARE(grid.rowHeight(zeile), 20);
    }
    grid.scrollToBottom();
    QVERIFY(grid.verticalScrollBar()->value() > 0);
    QVERIFY(grid.horizontalHeader()->isVisible());
    QCOMPARE(grid.Cells(0, 0), QString("1"));
    // A range of cells is selected by a click and a shift click.
    grid.scrollToTop();
    const auto mitte = [&grid](int zeile, int spalte) {
        return grid.visualRect(grid.model()->index(zeile, spalte)).center();
    };
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, mitte(0, 1));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ShiftModifier, mitte(1, 3));
    const QList<QTableWidgetSelectionRange> bereiche = grid.selectedRanges();
    QCOMPARE(bereiche.size(), 1);
    QCOMPARE(bereiche[0].rowCount() * bereiche[0].columnCount(), 6);
}

// A width the user dragged survives every chunk's Anzeigen while the layout stays.
void StringGridTest::NutzerbreiteBleibt() {
    TStringGrid grid;
    grid.show();
    TTabelle tabelle;
    Fuellen(tabelle, 20, 21);
    grid.Anzeigen(tabelle.Inhalt());
    grid.horizontalHeader()->resizeSection(3, 77);
    for (int i = 0; i < 10; ++i) {
        tabelle.SetCell(i, 1, QStringLiteral("neu%1").arg(i));
        grid.Anzeigen(tabelle.Inhalt());
    }
    QCOMPARE(grid.columnWidth(3), 77);
    QCOMPARE(grid.columnWidth(2), 21);
    QCOMPARE(grid.Cells(9, 1), QString("neu9"));
}

// The next layout resets dragged widths, even with the same count and width as before.
void StringGridTest::NeuesLayoutSetztBreitenZurueck() {
    TStringGrid grid;
    grid.show();
    TTabelle tabelle;
    TAktZelle akt;
    DesignStandardGrid(tabelle, 20, 21, akt);
    grid.Anzeigen(tabelle.Inhalt());
    grid.horizontalHeader()->resizeSection(0, 90);
    grid.horizontalHeader()->resizeSection(19, 5);
    DesignStandardGrid(tabelle, 20, 21, akt);
    grid.Anzeigen(tabelle.Inhalt());
    VergleicheBreiten(grid, 21);
}

// One changed cell touches one cell of the view: the grid is updated for every chunk.
void StringGridTest::NurGeaenderteZellen() {
    TStringGrid grid;
    grid.show();
    TTabelle tabelle;
    Fuellen(tabelle, 50, 21);
    grid.Anzeigen(tabelle.Inhalt());
    QSignalSpy geaendert(grid.model(), &QAbstractItemModel::dataChanged);
    QSignalSpy kopf(grid.model(), &QAbstractItemModel::headerDataChanged);
    grid.Anzeigen(tabelle.Inhalt());
    QCOMPARE(geaendert.count(), 0);
    tabelle.SetCell(49, 7, "x");
    tabelle.SetCell(0, 1, QString()); // emptied
    grid.Anzeigen(tabelle.Inhalt());
    QCOMPARE(geaendert.count(), 2);
    QCOMPARE(kopf.count(), 0);
    QCOMPARE(grid.Cells(49, 7), QString("x"));
    QCOMPARE(grid.Cells(0, 1), QString());
}

// The meter layout: headers with the degree sign and the quantity, one reading per line.
void StringGridTest::WTWKoepfeUndZeilen() {
    TStringGrid grid;
    grid.show();
    TTabelle tabelle;
    TAktZelle akt;
    DesignWTWGrid(tabelle, "pH", true, akt);
    tabelle.SetCell(2, 1, "  7.01");
    grid.Anzeigen(tabelle.Inhalt());
    VergleicheAlles(grid, tabelle);
    QCOMPARE(grid.Cells(0, 0), QString("Datum"));
    QCOMPARE(grid.Cells(4, 0), QString("T [°C] (gleit)"));
    QCOMPARE(grid.Cells(2, 1), QString("  7.01"));
    VergleicheBreiten(grid, 80);
    tabelle.SetCell(2, 0, WertKopf("mV", false));
    grid.Anzeigen(tabelle.Inhalt());
    QCOMPARE(grid.Cells(2, 0), tabelle.Cell(2, 0));
}

// Scrolling moves every text up a row on the screen too; the header stays.
void StringGridTest::Rollen() {
    TStringGrid grid;
    grid.show();
    TTabelle tabelle;
    Fuellen(tabelle, 20, 21);
    tabelle.SetCell(0, 3, QStringLiteral("1_<CR><LF>\r\n"));
    grid.Anzeigen(tabelle.Inhalt());
    TabelleRollen(tabelle);
    grid.Anzeigen(tabelle.Inhalt());
    VergleicheAlles(grid, tabelle);
    QCOMPARE(grid.Cells(0, 2), QString("1_<CR><LF>\r\n"));
    QCOMPARE(grid.Cells(5, 7), QString());
    QCOMPARE(grid.Cells(5, 0), QString("6"));
}

// A cell that holds a whole chunk of a fast line looks exactly as if the grid laid out all of
// its text: only the first line shows, cut with an ellipsis at the cell's edge.
void StringGridTest::GrosseZellenSehenAusWieGanze() {
    TStringGrid grid;
    grid.resize(900, 200);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    TTabelle tabelle;
    Fuellen(tabelle, 4, 80);
    QString zeilen;
    for (int i = 0; i < 200; ++i) {
        zeilen += QStringLiteral(" 7.01 pH   25.0 \u00B0C<CR><LF>\r\n");
    }
    const QString langeZeile = QString(3000, QLatin1Char('W')) + QStringLiteral("\nzwei");
    tabelle.SetCell(0, 1, zeilen);
    tabelle.SetCell(1, 1, langeZeile);
    tabelle.SetCell(2, 1, QStringLiteral("\r\nerst in der zweiten Zeile"));
    tabelle.SetCell(3, 1, QStringLiteral("ab\ncd"));
    tabelle.SetCell(1, 2, langeZeile);
    grid.Anzeigen(tabelle.Inhalt());
    grid.setColumnWidth(1, 600); // dragged wide: the cut still lies beyond the edge
    QCoreApplication::processEvents();
    const QImage gekuerzt = grid.grab().toImage();
    grid.setItemDelegate(new QStyledItemDelegate(&grid));
    QCoreApplication::processEvents();
    const QImage ganz = grid.grab().toImage();
    QCOMPARE(gekuerzt, ganz);
}

QUORLITS_WIDGET_TEST(StringGridTest)
#include "stringgrid_test.moc"
