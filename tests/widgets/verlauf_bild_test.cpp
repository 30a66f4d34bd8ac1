// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The chart painted into an image and into SVG: what a user must see in it.
#include "WidgetTest.h"
#include "chart/widgets/VerlaufFenster.h"
#include "chart/widgets/VerlaufZeichnung.h"
#include "tests/widgets/VerlaufSvg.h"

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QRegularExpression>
#include <QtTest>

#include <cstdlib>

namespace {

constexpr std::int64_t Anfang = 1796634000000; // 07.12.2026 10:00:00 CET
const QRgb Wertfarbe = qRgb(0x1f, 0x4e, 0x9c);
const QRect Flaeche(0, 0, 1200, 400);

QImage Malen(const TVerlaufReihe& reihe, double von, double bis) {
    QImage bild(Flaeche.size(), QImage::Format_RGB32);
    QPainter maler(&bild);
    VerlaufZeichnen(maler, Flaeche, {&reihe, von, bis, false});
    return bild;
}

// Pixels of the value's colour in the plot's columns [links, rechts) and rows [oben, unten).
int Wertpixel(const QImage& bild, int links, int rechts, int oben, int unten) {
    int anzahl = 0;
    for (int y = oben; y < unten; ++y) {
        for (int x = links; x < rechts; ++x) {
            anzahl += bild.pixel(x, y) == Wertfarbe ? 1 : 0;
        }
    }
    return anzahl;
}

const TVerlaufReihe& Reihe(const TVerlauf& verlauf) {
    return verlauf.Reihen().front();
}

// Colour and text of every text the picture paints: "#1f4e9c pH".
QString Svg(const TVerlaufBild& bild) {
    return AlsSvg(Flaeche.size(), [&](QPainter& maler) { VerlaufZeichnen(maler, Flaeche, bild); });
}

QStringList SvgTexte(const TVerlaufBild& bild) {
    static const QRegularExpression text(
        QStringLiteral(R"re(<text fill="(#[0-9a-f]{6})"[^>]*>([^<]*)</text>)re"));
    QStringList texte;
    for (const auto& treffer : text.globalMatch(Svg(bild))) {
        texte << treffer.captured(1) + QStringLiteral(" ") + treffer.captured(2);
    }
    return texte;
}

} // namespace

class TVerlaufBildTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        setenv("TZ", "Europe/Berlin", 1);
        tzset();
    }

    // 200,000 readings at 7 with one at 9: the outlier reaches the top of the plot.
    void einAusreisserBleibtSichtbar() {
        TVerlauf verlauf;
        for (int i = 0; i < 200000; ++i) {
            verlauf.Hinzufuegen(
                {Anfang + i * 1000LL, "pH", "pH", i == 123456 ? 9.0 : 7.0, true, 25.0, 7.0});
        }
        double von = 0;
        double bis = 0;
        GanzerBereich(&Reihe(verlauf), von, bis);
        const QRect r = Zeichenflaeche(Flaeche);
        const QImage bild = Malen(Reihe(verlauf), von, bis);
        QVERIFY(Wertpixel(bild, r.left() + 1, r.right(), r.top() + 1, r.top() + r.height() / 5) >
                0);
        // Without it, the top of the plot stays free of the line.
        TVerlauf ruhig;
        for (int i = 0; i < 200000; ++i) {
            ruhig.Hinzufuegen(
                {Anfang + i * 1000LL, "pH", "pH", i % 2 == 0 ? 7.0 : 7.2, true, 25.0, 7.0});
        }
        ruhig.Hinzufuegen({Anfang + 200000 * 1000LL, "pH", "pH", 7.0, true, 25.0, 7.0});
        const QImage ohne = Malen(Reihe(ruhig), von, bis);
        QCOMPARE(Wertpixel(ohne, r.left() + 1, r.right(), r.top() + 1, r.top() + 8), 0);
    }

    // A pause of a minute in readings a second apart: nothing is drawn across it.
    void eineLueckeUnterbrichtDieLinie() {
        TVerlauf verlauf;
        for (int i = 0; i < 200; ++i) {
            const std::int64_t t = Anfang + i * 1000LL + (i >= 100 ? 60000 : 0);
            verlauf.Hinzufuegen({t, "pH", "pH", 7.0 + (i % 10) * 0.01, true, 25.0, 7.0});
        }
        QVERIFY(Reihe(verlauf).Punkte.LueckeVor(100));
        const double von = Anfang;
        const double bis = Anfang + 260000.0;
        const QRect r = Zeichenflaeche(Flaeche);
        const auto spalte = [&](double ms) {
            return r.left() + static_cast<int>((ms - von) / (bis - von) * r.width());
        };
        const int links = spalte(Anfang + 99000.0) + 3;
        const int rechts = spalte(Anfang + 160000.0) - 3;
        QCOMPARE(Wertpixel(Malen(Reihe(verlauf), von, bis), links, rechts, r.top() + 1, r.bottom()),
                 0);
        // The same readings without the gap's mark are joined across it.
        TVerlaufReihe verbunden{"pH", "pH", {}};
        for (std::size_t i = 0; i < Reihe(verlauf).Punkte.size(); ++i) {
            verbunden.Punkte.push_back(Reihe(verlauf).Punkte[i]);
        }
        QVERIFY(Wertpixel(Malen(verbunden, von, bis), links, rechts, r.top() + 1, r.bottom()) > 0);
    }

    // Each sample change in view is a thin vertical line with the sample's name at the top;
    // one outside the time range is not drawn.
    void probenwechselSindMarkiert() {
        TVerlauf verlauf;
        for (int i = 0; i < 120; ++i) {
            verlauf.Hinzufuegen({Anfang + i * 1000LL, "pH", "pH", 7.0, true, 25.0, 7.0});
        }
        verlauf.ProbeMarkieren(Anfang - 60000, "Vorher");
        verlauf.ProbeMarkieren(Anfang + 30000, "P-17");
        verlauf.ProbeMarkieren(Anfang + 90000, "Charge Ä2");
        const TVerlaufBild bild{&Reihe(verlauf), Anfang * 1.0, Anfang + 120000.0, false,
                                &verlauf.ProbenMarken()};
        const QStringList texte = SvgTexte(bild);
        QVERIFY2(texte.contains(QStringLiteral("#2e7d32 P-17")), qPrintable(texte.join('|')));
        QVERIFY2(texte.contains(QStringLiteral("#2e7d32 Charge Ä2")), qPrintable(texte.join('|')));
        QVERIFY(!texte.join('|').contains(QStringLiteral("Vorher")));

        QImage gemalt(Flaeche.size(), QImage::Format_RGB32);
        QPainter maler(&gemalt);
        const TVerlaufMass mass = VerlaufZeichnen(maler, Flaeche, bild);
        maler.end();
        const int x = static_cast<int>(mass.X(Anfang + 30000.0));
        int linie = 0;
        for (int y = mass.Flaeche.top(); y <= mass.Flaeche.bottom(); ++y) {
            linie += gemalt.pixel(x, y) == VerlaufProbenFarbe.rgb() ? 1 : 0;
        }
        QVERIFY2(linie > mass.Flaeche.height() / 2, qPrintable(QString::number(linie)));
    }

    // The axes say what is drawn: quantity and unit, °C, numbers with a decimal comma, German
    // times.
    void achsenBeschriftungAufDeutsch() {
        TVerlauf verlauf;
        for (int i = 0; i < 120; ++i) {
            verlauf.Hinzufuegen({Anfang + i * 1000LL, "Lf", "\xE6S/cm", 14.1 + i * 0.01, true,
                                 25.0 + i * 0.01, 1410.0});
        }
        const QString text = Svg({&Reihe(verlauf), Anfang * 1.0, Anfang + 120000.0, false});
        for (const QString& erwartet : {QStringLiteral("Lf [µS/cm]"), QStringLiteral("Temp. [°C]"),
                                        QStringLiteral("10:00:00"), QStringLiteral("10:01:00"),
                                        QStringLiteral("14,4"), QStringLiteral("25,0")}) {
            QVERIFY2(text.contains(QStringLiteral(">") + erwartet), qPrintable(erwartet));
        }
    }

    // Beyond the chart's limit the oldest readings leave it, and the window says how many.
    void verworfeneWerteWerdenGenannt() {
        TVerlauf verlauf(3);
        TVerlaufFenster fenster(verlauf);
        for (int i = 0; i < 5; ++i) {
            verlauf.Hinzufuegen({Anfang + i * 1000LL, "pH", "pH", 7.0, true, 25.0, 7.0});
        }
        fenster.Auffrischen();
        QVERIFY(fenster.Hinweis->text().contains(QStringLiteral("ältesten 2 Messwerte")));
        QVERIFY(fenster.Hinweis->text().contains(QStringLiteral("nur noch in der Datei")));
    }

    void legendeNenntJedeLinie_data() {
        // Bytes as the meter sends them (code page 850).
        QTest::addColumn<QByteArray>("groesse");
        QTest::addColumn<QByteArray>("einheit");
        QTest::addColumn<bool>("temperatur");
        QTest::addColumn<bool>("mittel");
        // Colour and text of each legend entry; the series' name is the left axis' title too.
        QTest::addColumn<QStringList>("erwartet");
        QTest::addColumn<QStringList>("fehlend");
        QTest::newRow("pH mit Temperatur und Mittel")
            << QByteArray("pH") << QByteArray("pH") << true << true
            << QStringList{"#1f4e9c pH", "#1f4e9c pH", "#e07b00 Gleitendes Mittel",
                           "#b03030 Temperatur"}
            << QStringList{};
        QTest::newRow("Leitfaehigkeit")
            << QByteArray("Lf") << QByteArray("\xE6S/cm") << true << false
            << QStringList{"#1f4e9c Lf [µS/cm]", "#1f4e9c Lf [µS/cm]", "#b03030 Temperatur"}
            << QStringList{"Gleitendes Mittel"};
        // A reading whose quantity and unit the meter does not name.
        QTest::newRow("ohne Einheit")
            << QByteArray("?") << QByteArray() << false << true
            << QStringList{"#1f4e9c Messwert", "#1f4e9c Messwert", "#e07b00 Gleitendes Mittel"}
            << QStringList{"?", "Temperatur"};
    }

    void legendeNenntJedeLinie() {
        QFETCH(QByteArray, groesse);
        QFETCH(QByteArray, einheit);
        QFETCH(bool, temperatur);
        QFETCH(bool, mittel);
        QFETCH(QStringList, erwartet);
        QFETCH(QStringList, fehlend);
        TVerlauf verlauf;
        for (int i = 0; i < 60; ++i) {
            verlauf.Hinzufuegen({Anfang + i * 1000LL, groesse.toStdString(), einheit.toStdString(),
                                 7.0 + (i % 7) * 0.1, temperatur, 25.0, 7.0});
        }
        const QStringList texte =
            SvgTexte({&Reihe(verlauf), Anfang * 1.0, Anfang + 60000.0, mittel});
        for (const QString& eintrag : erwartet) {
            QVERIFY2(texte.count(eintrag) == erwartet.count(eintrag), qPrintable(eintrag));
        }
        for (const QString& text : fehlend) {
            for (const QString& gemalt : texte) {
                QVERIFY2(gemalt.section(' ', 1) != text, qPrintable(text));
            }
        }
    }

    void ohneMesswerteEinHinweis() {
        QVERIFY(Svg({nullptr, 0, 60000, false}).contains(QStringLiteral("Noch keine Messwerte")));
    }
};

QUORLITS_WIDGET_TEST(TVerlaufBildTest)
#include "verlauf_bild_test.moc"
