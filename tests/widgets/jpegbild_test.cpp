// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The JPEG decoder: the about box's picture among the resources, other pictures compared with
// Qt's own JPEG reader, and damaged data.
#include "WidgetTest.h"
#include "framework/widgets/JpegBild.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QRandomGenerator>
#include <QTest>

#include <cstdlib>

namespace {

QByteArray Ressource(const QString& name) {
    QFile datei(name);
    return datei.open(QIODevice::ReadOnly) ? datei.readAll() : QByteArray();
}

QByteArray AlsJpeg(const QImage& bild) {
    QByteArray daten;
    QBuffer puffer(&daten);
    puffer.open(QIODevice::WriteOnly);
    bild.save(&puffer, "JPG", 95);
    return daten;
}

// Colourful content, so a swap of channels, a wrong row stride or an upside-down picture shows.
QImage Testbild(int breite, int hoehe, QImage::Format format) {
    QImage bild(breite, hoehe, QImage::Format_RGB32);
    bild.fill(Qt::white);
    QPainter maler(&bild);
    maler.fillRect(0, 0, breite / 2, hoehe / 2, QColor(220, 30, 30));
    maler.fillRect(breite / 2, 0, breite - breite / 2, hoehe / 2, QColor(30, 200, 40));
    maler.fillRect(0, hoehe / 2, breite / 2, hoehe - hoehe / 2, QColor(20, 40, 210));
    maler.end();
    return bild.convertToFormat(format);
}

// Both decoders are libjpeg underneath; they may differ by rounding only.
void GleichWieQt(const QImage& bild, const QByteArray& daten) {
    const QImage vergleich = QImage::fromData(daten, "JPG").convertToFormat(QImage::Format_RGB888);
    QVERIFY(!vergleich.isNull());
    QCOMPARE(bild.size(), vergleich.size());
    for (int y = 0; y < bild.height(); ++y) {
        for (int x = 0; x < bild.width(); ++x) {
            const QRgb a = bild.pixel(x, y);
            const QRgb b = vergleich.pixel(x, y);
            const int abstand = std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                                std::abs(qBlue(a) - qBlue(b));
            if (abstand > 12) {
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2 differs").arg(x).arg(y)));
            }
        }
    }
}

} // namespace

class JpegBildTest : public QObject {
    Q_OBJECT
private slots:
    void AboutBild();
    void AndereBilder_data();
    void AndereBilder();
    void Beschaedigt_data();
    void Beschaedigt();
    void Zufallsdaten();
};

void JpegBildTest::AboutBild() {
    const QByteArray daten = Ressource(QStringLiteral(":/about.jpg"));
    QVERIFY(!daten.isEmpty());
    const QImage bild = JpegDekodieren(daten);
    QVERIFY(!bild.isNull());
    QCOMPARE(bild.size(), QSize(90, 125));
    QCOMPARE(bild.format(), QImage::Format_RGB888);
    GleichWieQt(bild, daten);
}

void JpegBildTest::AndereBilder_data() {
    QTest::addColumn<QSize>("groesse");
    QTest::addColumn<int>("format");
    QTest::newRow("ungerade Breite") << QSize(33, 17) << int(QImage::Format_RGB32);
    QTest::newRow("eine Spalte") << QSize(1, 9) << int(QImage::Format_RGB32);
    QTest::newRow("ein Pixel") << QSize(1, 1) << int(QImage::Format_RGB32);
    QTest::newRow("gross") << QSize(640, 480) << int(QImage::Format_RGB32);
    QTest::newRow("Graustufen") << QSize(31, 20) << int(QImage::Format_Grayscale8);
}

void JpegBildTest::AndereBilder() {
    QFETCH(QSize, groesse);
    QFETCH(int, format);
    const QByteArray daten =
        AlsJpeg(Testbild(groesse.width(), groesse.height(), static_cast<QImage::Format>(format)));
    QVERIFY(!daten.isEmpty());
    const QImage bild = JpegDekodieren(daten);
    QVERIFY(!bild.isNull());
    QCOMPARE(bild.size(), groesse);
    GleichWieQt(bild, daten);
}

void JpegBildTest::Beschaedigt_data() {
    const QByteArray gut = Ressource(QStringLiteral(":/about.jpg"));
    QTest::addColumn<QByteArray>("daten");
    QTest::newRow("leer") << QByteArray();
    QTest::newRow("Text") << QByteArray("kein Bild, nur Text");
    QTest::newRow("nur Anfangsmarke") << QByteArray("\xFF\xD8", 2);
    QTest::newRow("PNG") << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16);
    for (const qsizetype laenge :
         {qsizetype{2}, qsizetype{20}, qsizetype{200}, gut.size() / 2, gut.size() - 2}) {
        QTest::addRow("abgeschnitten nach %lld Bytes", static_cast<long long>(laenge))
            << gut.left(laenge);
    }
    // A header that claims 65500 × 65500 pixels, followed by nothing.
    QByteArray riesig = gut;
    const qsizetype sof = riesig.indexOf(QByteArray("\xFF\xC0", 2));
    QVERIFY(sof > 0);
    riesig[sof + 5] = '\xFF';
    riesig[sof + 6] = '\xDC';
    riesig[sof + 7] = '\xFF';
    riesig[sof + 8] = '\xDC';
    QTest::newRow("riesige Masse") << riesig;
}

void JpegBildTest::Beschaedigt() {
    QFETCH(QByteArray, daten);
    QVERIFY(JpegDekodieren(daten).isNull());
}

// Garbage after a valid start marker: any outcome but a crash or an exit is fine, and a picture
// that comes back is a whole one.
void JpegBildTest::Zufallsdaten() {
    QRandomGenerator zufall(4711);
    for (int i = 0; i < 200; ++i) {
        QByteArray daten("\xFF\xD8\xFF", 3);
        const int laenge = zufall.bounded(1, 600);
        for (int j = 0; j < laenge; ++j) {
            daten.append(static_cast<char>(zufall.bounded(256)));
        }
        const QImage bild = JpegDekodieren(daten);
        QVERIFY(bild.isNull() || (bild.width() > 0 && bild.height() > 0));
    }
}

QUORLITS_WIDGET_TEST(JpegBildTest)
#include "jpegbild_test.moc"
