// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// Working the chart: the readout under the pointer, the marker, the keys, the data export and
// the series "Neueste Messgröße" shows.
#include "WidgetTest.h"
#include "acquisition/Zahlformat.h"
#include "chart/widgets/VerlaufAnsicht.h"
#include "chart/widgets/VerlaufFenster.h"
#include "chart/widgets/VerlaufZeichnung.h"
#include "tests/unit/common/TestOrdner.h"
#include "tests/widgets/VerlaufSvg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPainter>
#include <QPushButton>
#include <QtTest>

#include <cmath>
#include <cstdlib>

namespace {

constexpr std::int64_t Anfang = 1796634000000; // 07.12.2026 10:00:00 CET
const QSize Groesse(800, 420);                 // a plot 680 pixels wide: 88 ms a pixel

// A minute of pH readings, one a second: 7,00 + i/100, temperature 25 + i/10 but none at
// 20 s, moving average 7.
void MinutePh(TVerlauf& verlauf) {
    for (int i = 0; i < 60; ++i) {
        verlauf.Hinzufuegen(
            {Anfang + i * 1000LL, "pH", "pH", 7.0 + i * 0.01, i != 20, 25.0 + i * 0.1, 7.0});
    }
}

// The texts the view paints as it stands.
QString Gemalt(QWidget& widget) {
    return AlsSvg(widget.size(), [&](QPainter& maler) { widget.render(&maler); });
}

bool Enthaelt(const QString& svg, const QString& text) {
    return svg.contains(QStringLiteral(">") + text + QStringLiteral("</text>"));
}

// The pixel column `spalte` pixels into the plot, half way down.
QPoint ImPlot(const QWidget& widget, int spalte) {
    const QRect r = Zeichenflaeche(widget.rect());
    return {r.left() + spalte, r.center().y()};
}

// A view of the minute, shown, its range the minute.
struct TAnsichtRig {
    TVerlauf Verlauf;
    TVerlaufAnsicht Ansicht{Verlauf};

    TAnsichtRig() {
        MinutePh(Verlauf);
        Ansicht.resize(Groesse);
        Ansicht.show();
        Ansicht.BereichSetzen(Anfang, Anfang + 60000.0);
    }
};

} // namespace

class TVerlaufBedienungTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        setenv("TZ", "Europe/Berlin", 1);
        tzset();
    }

    void ablesungAnEinemPixel_data() {
        QTest::addColumn<int>("spalte");
        QTest::addColumn<bool>("mittel");
        QTest::addColumn<QStringList>("zeilen");
        // Column 118 is 10.41 s, nearer to the reading at 10 s; 120 is 10.59 s.
        QTest::newRow("naeher am frueheren")
            << 118 << false
            << QStringList{"07.12.2026, 10:00:10", "pH: 7,10", "Temperatur: 26,00 °C"};
        QTest::newRow("naeher am spaeteren, mit Mittel")
            << 120 << true
            << QStringList{"07.12.2026, 10:00:11", "pH: 7,11", "Gleitendes Mittel: 7,00",
                           "Temperatur: 26,10 °C"};
        // 19.94 s: the reading at 20 s has no temperature, the nearest with one is at 19 s.
        QTest::newRow("ohne Temperatur")
            << 226 << false
            << QStringList{"07.12.2026, 10:00:20", "pH: 7,20", "Temperatur: 26,90 °C"};
    }

    void ablesungAnEinemPixel() {
        QFETCH(int, spalte);
        QFETCH(bool, mittel);
        QFETCH(QStringList, zeilen);
        TAnsichtRig rig;
        rig.Ansicht.SetMittel(mittel);
        QVERIFY(!Enthaelt(Gemalt(rig.Ansicht), zeilen[0]));
        QTest::mouseMove(&rig.Ansicht, ImPlot(rig.Ansicht, spalte));
        const QString svg = Gemalt(rig.Ansicht);
        for (const QString& zeile : zeilen) {
            QVERIFY2(Enthaelt(svg, zeile), qPrintable(zeile));
        }
        QCOMPARE(Enthaelt(svg, QStringLiteral("Gleitendes Mittel: 7,00")), mittel);
        // Off the chart, no readout.
        QEvent verlassen(QEvent::Leave);
        QApplication::sendEvent(&rig.Ansicht, &verlassen);
        QVERIFY(!Enthaelt(Gemalt(rig.Ansicht), zeilen[0]));
    }

    // A click marks the nearest reading and its readout stays while the pointer moves on; a
    // click elsewhere moves the marker, a click on the marked reading or Esc removes it.
    void eineMarkeBleibtBisZumNaechstenKlick() {
        TAnsichtRig rig;
        TVerlaufAnsicht& a = rig.Ansicht;
        QTest::mouseClick(&a, Qt::LeftButton, {}, ImPlot(a, 118));
        QCOMPARE(a.Marke(), std::optional<std::int64_t>(Anfang + 10000));
        QVERIFY(a.Folgt() == false);          // a click is no zoom: the range stays
        QTest::mouseMove(&a, ImPlot(a, 340)); // 30 s
        const QString svg = Gemalt(a);
        QVERIFY(Enthaelt(svg, QStringLiteral("07.12.2026, 10:00:10")));
        QVERIFY(Enthaelt(svg, QStringLiteral("07.12.2026, 10:00:30")));
        QTest::mouseClick(&a, Qt::LeftButton, {}, ImPlot(a, 340));
        QCOMPARE(a.Marke(), std::optional<std::int64_t>(Anfang + 30000));
        QVERIFY(!Enthaelt(Gemalt(a), QStringLiteral("07.12.2026, 10:00:10")));
        QTest::mouseClick(&a, Qt::LeftButton, {}, ImPlot(a, 341));
        QCOMPARE(a.Marke(), std::nullopt);
        QTest::mouseClick(&a, Qt::LeftButton, {}, ImPlot(a, 118));
        QTest::keyClick(&a, Qt::Key_Escape);
        QCOMPARE(a.Marke(), std::nullopt);
        // Panning with the right button sets none.
        QTest::mouseClick(&a, Qt::RightButton, {}, ImPlot(a, 118));
        QCOMPARE(a.Marke(), std::nullopt);
    }

    void tastaturZoomUndVerschieben_data() {
        QTest::addColumn<int>("taste");
        QTest::addColumn<double>("von");
        QTest::addColumn<double>("bis");
        QTest::addColumn<bool>("folgt");
        // From [10 s, 50 s) of the minute.
        QTest::newRow("+ um die Mitte") << int(Qt::Key_Plus) << 14000.0 << 46000.0 << false;
        QTest::newRow("- um die Mitte") << int(Qt::Key_Minus) << 5000.0 << 55000.0 << false;
        QTest::newRow("links") << int(Qt::Key_Left) << 6000.0 << 46000.0 << false;
        QTest::newRow("rechts") << int(Qt::Key_Right) << 14000.0 << 54000.0 << false;
        QTest::newRow("Pos1 zeigt alles") << int(Qt::Key_Home) << 0.0 << 60000.0 << true;
    }

    // The window starts with the series list; Tab leads from the last button into the chart,
    // whose keys then zoom and pan.
    void tastaturZoomUndVerschieben() {
        QFETCH(int, taste);
        QFETCH(double, von);
        QFETCH(double, bis);
        QFETCH(bool, folgt);
        TVerlauf verlauf;
        MinutePh(verlauf);
        TVerlaufFenster fenster(verlauf);
        fenster.show();
        fenster.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&fenster));
        fenster.Ansicht->BereichSetzen(Anfang + 10000.0, Anfang + 50000.0);
        QCOMPARE(QApplication::focusWidget(), fenster.Reihenwahl);
        fenster.DatenKnopf->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), fenster.Ansicht);
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(taste));
        // The chart lets Tab go on: it is no trap.
        QTest::keyClick(fenster.Ansicht, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), fenster.Reihenwahl);
        double istVon = 0;
        double istBis = 0;
        fenster.Ansicht->Bereich(istVon, istBis);
        QVERIFY2(std::abs(istVon - Anfang - von) < 0.01,
                 qPrintable(QString::number(istVon - Anfang)));
        QVERIFY2(std::abs(istBis - Anfang - bis) < 0.01,
                 qPrintable(QString::number(istBis - Anfang)));
        QCOMPARE(fenster.Ansicht->Folgt(), folgt);
    }

    // The readings of the range in view, in the data file's form: µS/cm in Windows-1252,
    // mS/cm readings converted, a reading without temperature with empty fields.
    void datenExportDesSichtbarenBereichs() {
        TVerlauf verlauf;
        const double werte[] = {1410, 1412, 1.5, 1415, 1.6, 1420, 1421};
        for (int i = 0; i < 7; ++i) {
            const bool milli = werte[i] < 10;
            verlauf.Hinzufuegen({Anfang + i * 1000LL, "Lf", milli ? "mS/cm" : "\xE6S/cm", werte[i],
                                 i != 3, 25.0 + i * 0.1, milli ? werte[i] - 0.05 : 1400.0 + i});
        }
        TVerlaufFenster fenster(verlauf);
        fenster.resize(Groesse);
        fenster.show();
        fenster.MittelZeigen->setChecked(true);
        fenster.Ansicht->BereichSetzen(Anfang + 2000.0, Anfang + 6000.0);
        const char trenner = DezimalTrennzeichen();
        DezimalTrennzeichenSetzen(',');
        TTestOrdner ordner;
        fenster.DatenExportieren(ordner / "Verlauf.txt");
        DezimalTrennzeichenSetzen(trenner);
        QCOMPARE(DateiLesen(ordner / "Verlauf.txt"),
                 DateiLesen(QUORLITS_TEST_DATA_DIR "/verlauf_export.txt"));
    }

    // The series list says which series "Neueste Messgröße" shows; % takes over from mg/l once
    // it has been the newest for 5 s by the program's clock.
    void neuesteMessgroesseNachFuenfSekunden() {
        TVerlauf verlauf;
        std::int64_t uhr = Anfang;
        TVerlaufFenster fenster(verlauf);
        fenster.SetUhr([&uhr] { return UhrzeitAusUtc(uhr); });
        verlauf.Hinzufuegen({Anfang, "O2", "mg/l", 8.1, true, 25.0, 8.1});
        fenster.Auffrischen();
        verlauf.Hinzufuegen({Anfang + 1000, "O2", "%", 95.0, true, 25.0, 95.0});
        uhr += 5999;
        fenster.Auffrischen();
        QCOMPARE(fenster.Reihenwahl->itemText(0), QStringLiteral("Neueste Messgröße (O2 [mg/l])"));
        QCOMPARE(fenster.Ansicht->GezeigteNummer(), 0);
        uhr += 1;
        fenster.Auffrischen();
        QCOMPARE(fenster.Reihenwahl->itemText(0), QStringLiteral("Neueste Messgröße (O2 [%])"));
        QCOMPARE(fenster.Ansicht->GezeigteNummer(), 1);
        // A series chosen by name is shown as chosen.
        fenster.Reihenwahl->setCurrentIndex(1);
        emit fenster.Reihenwahl->activated(1);
        QCOMPARE(fenster.Reihenwahl->itemText(0), QStringLiteral("Neueste Messgröße"));
        QCOMPARE(fenster.Ansicht->GezeigteNummer(), 0);
    }
};

QUORLITS_WIDGET_TEST(TVerlaufBedienungTest)
#include "verlauf_bedienung_test.moc"
