// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The window "Verlauf" beside a meter measurement.
#include "HauptfensterRig.h"
#include "WidgetTest.h"

#include "chart/widgets/VerlaufAnsicht.h"
#include "chart/widgets/VerlaufFenster.h"
#include "framework/widgets/SpeedButton.h"
#include "storage/EInOutError.h"
#include "tests/unit/acquisition/Geraetetext.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include <cstdlib>
#include <string>

namespace {

const std::string Ph7 = Geraetetext(" 7.01 pH   25.0 °C{CR}{LF}");
const std::string Lf = Geraetetext(" 1.41 mS/cm   25.0 °C{CR}{LF}");

// Pixels in the top `zeilen` rows that are grey or black (text in black), or of the value's
// blue of the value (the value axis' title, smoothed at its edges).
int Pixel(const QImage& bild, int zeilen, bool grau) {
    int anzahl = 0;
    for (int y = 0; y < zeilen; ++y) {
        for (int x = 0; x < bild.width(); ++x) {
            const QColor c = bild.pixelColor(x, y);
            const bool dunkelgrau = c.red() == c.green() && c.green() == c.blue() && c.red() < 128;
            const bool blau = c.blue() - c.red() > 60;
            anzahl += (grau ? dunkelgrau : blau) ? 1 : 0;
        }
    }
    return anzahl;
}

} // namespace

class TVerlaufFensterTest : public QObject {
    Q_OBJECT

private slots:
    // The chart's times are local: these cases are written for Berlin.
    void initTestCase() {
        setenv("TZ", "Europe/Berlin", 1);
        tzset();
    }

    void folgtDerMessungUndBeginntMitIhrNeu() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        f.WTW_Rx_Button->click();
        QVERIFY(rig.Empfangen(Ph7 + Ph7 + Lf));
        f.VerlaufButton->click();
        QVERIFY(f.VerlaufFenster != nullptr && f.VerlaufFenster->isVisible());
        const TVerlauf& verlauf = *f.Zustand.Verlauf;
        QCOMPARE(verlauf.Reihen().size(), std::size_t{2});
        const TPunktFolge& ph = verlauf.Reihen()[0].Punkte;
        QCOMPARE(ph.size(), std::size_t{2});
        QCOMPARE(std::int64_t{ph[0].UtcMs},
                 std::int64_t{1796634000000}); // the rig's clock, 10:00:00 CET
        QVERIFY(ph[0].MitTemperatur());
        QCOMPARE(verlauf.Reihen()[1].Einheit, std::string("mS/cm"));
        // The series list and the view follow; the timer runs only while the window shows.
        auto* takt = f.VerlaufFenster->findChild<QTimer*>(QStringLiteral("Verlaufstakt"));
        QVERIFY(takt->isActive());
        QCOMPARE(f.VerlaufFenster->Reihenwahl->count(), 3);
        TVerlaufAnsicht& ansicht = *f.VerlaufFenster->Ansicht;
        QVERIFY(ansicht.Folgt());
        ansicht.Zoomen(0.5, 1796634000000.0);
        QVERIFY(!ansicht.Folgt());
        f.VerlaufFenster->AllesZeigenKnopf->click();
        QVERIFY(ansicht.Folgt());
        // A range dragged with the left button is zoomed into; the right button pans.
        double von = 0;
        double bis = 0;
        ansicht.Bereich(von, bis);
        const int y = ansicht.height() / 2;
        QTest::mousePress(&ansicht, Qt::LeftButton, {}, QPoint(200, y));
        QTest::mouseMove(&ansicht, QPoint(400, y));
        QTest::mouseRelease(&ansicht, Qt::LeftButton, {}, QPoint(400, y));
        double zoomVon = 0;
        double zoomBis = 0;
        ansicht.Bereich(zoomVon, zoomBis);
        QVERIFY(!ansicht.Folgt());
        QVERIFY(zoomVon > von && zoomBis < bis);
        QTest::mousePress(&ansicht, Qt::RightButton, {}, QPoint(400, y));
        QTest::mouseMove(&ansicht, QPoint(300, y));
        QTest::mouseRelease(&ansicht, Qt::RightButton, {}, QPoint(300, y));
        double pVon = 0;
        double pBis = 0;
        ansicht.Bereich(pVon, pBis);
        QVERIFY(pVon > zoomVon);
        QCOMPARE(pBis - pVon, zoomBis - zoomVon);
        f.VerlaufFenster->hide();
        QVERIFY(!takt->isActive());
        // The table's menu opens it too, showing all again; a new measurement starts a new chart.
        f.VerlaufZeigen->trigger();
        QVERIFY(f.VerlaufFenster->isVisible());
        QVERIFY(ansicht.Folgt());
        f.WTW_Rx_Button->click();
        f.WTW_Rx_Button->click();
        QCOMPARE(verlauf.Anzahl(), std::size_t{0});
        f.VerlaufFenster->Auffrischen();
        QCOMPARE(f.VerlaufFenster->Reihenwahl->count(), 1);
        QVERIFY(rig.Fehler.isEmpty());
    }

    void exportUndZwischenablage() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        f.WTW_Rx_Button->click();
        QVERIFY(rig.Empfangen(Ph7 + Ph7));
        f.VerlaufClick();
        TVerlaufFenster& fenster = *f.VerlaufFenster;
        fenster.Exportieren(rig.Ordner / "Verlauf.png");
        const QImage png(QString::fromStdString((rig.Ordner / "Verlauf.png").string()));
        QCOMPARE(png.size(), fenster.Ansicht->size());
        fenster.Exportieren(rig.Ordner / "Verlauf.svg");
        const std::string svg = DateiLesen(rig.Ordner / "Verlauf.svg");
        QVERIFY(svg.find("<svg") != std::string::npos);
        QVERIFY(svg.find(">pH<") != std::string::npos);
        // The title line: series, port, first and last time in view.
        const std::string titel = "pH – COM1 – 07.12.2026, 10:00:00 bis 07.12.2026, 10:00:59";
        QCOMPARE(fenster.Bildtitel(), QString::fromStdString(titel));
        QVERIFY(svg.find(">" + titel + "<") != std::string::npos);
        try {
            fenster.Exportieren(rig.Ordner / "fehlt" / "Verlauf.png");
            QFAIL("no error raised");
        } catch (const EInOutError& fehler) {
            QCOMPARE(fehler.SystemFehler(), ENOENT);
        }
        fenster.Kopieren();
        const QImage kopie = QGuiApplication::clipboard()->image();
        QCOMPARE(kopie.size(), fenster.Ansicht->size());
        // The picture's title line is black, and the chart with its axis titles moves below it.
        const QImage ohneTitel = fenster.Ansicht->AlsBild(kopie.size());
        QVERIFY(Pixel(kopie, 24, true) > 0);
        QCOMPARE(Pixel(ohneTitel, 24, true), 0);
        QCOMPARE(Pixel(kopie, 24, false), 0);
        QVERIFY(Pixel(ohneTitel, 24, false) > 0);
    }

    // Readings after the line came back are not joined to those before.
    void eineUnterbrechungIstEineLuecke() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        f.WTW_Rx_Button->click();
        QVERIFY(rig.Empfangen(Ph7));
        rig.Geraet->HangUp(EIO);
        QVERIFY(QTest::qWaitFor([&f] { return f.WartetAufGeraet(); }, 10000));
        f.WiederverbindenVersuchen();
        QVERIFY(!f.WartetAufGeraet());
        QVERIFY(rig.Empfangen(Ph7));
        const TPunktFolge& punkte = f.Zustand.Verlauf->Reihen()[0].Punkte;
        QCOMPARE(punkte.size(), std::size_t{2});
        QVERIFY(!punkte.LueckeVor(0));
        QVERIFY(punkte.LueckeVor(1));
    }
};

QUORLITS_WIDGET_TEST(TVerlaufFensterTest)
#include "verlauf_fenster_test.moc"
