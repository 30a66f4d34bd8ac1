// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The about box: opened through the main window's "Info" button, its texts, picture, links
// and closing.
#include "HauptfensterRig.h"
#include "WidgetTest.h"

#include "framework/widgets/SpeedButton.h"
#include "mainwindow/About.h"
#include "mainwindow/LinkLabel.h"
#include "mainwindow/SRColorButton.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <functional>
#include <vector>

namespace {

constexpr int Frist = 20000; // ms; generous for a loaded machine under the sanitizers

// Clicks "Info" and runs `pruefen` on the modal box while it is open; `pruefen` closes it.
// Returns the box, which must be gone once the click has returned.
QPointer<TAboutBox> InfoKlicken(THauptfensterRig& rig,
                                const std::function<void(TAboutBox*)>& pruefen) {
    QPointer<TAboutBox> gefunden;
    QTimer suche;
    suche.setInterval(10);
    QObject::connect(&suche, &QTimer::timeout, [&] {
        auto* box = qobject_cast<TAboutBox*>(QApplication::activeModalWidget());
        if (box != nullptr && box->isVisible()) {
            suche.stop();
            gefunden = box;
            pruefen(box);
            if (box->isVisible()) {
                box->reject();
            }
        }
    });
    suche.start();
    rig.Form->InfoButton->click();
    suche.stop();
    return gefunden;
}

QStringList Oeffnungen;

} // namespace

class AboutTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void TexteUndBild();
    void OkSchliesst();
    void NeueBoxBeiJedemZeigen();
    void Links();
    void LeereLinksMeldenFehler();
};

void AboutTest::init() {
    Oeffnungen.clear();
    LinkOeffnerSetzen([](const QUrl& url) { Oeffnungen << url.toString(); });
}

void AboutTest::cleanup() {
    LinkOeffnerSetzen({});
}

void AboutTest::TexteUndBild() {
    THauptfensterRig rig;
    bool geprueft = false;
    const auto box = InfoKlicken(rig, [&](TAboutBox* b) {
        QCOMPARE(b->windowTitle(), QStringLiteral("Über widget_tests, Version 1.2"));
        QCOMPARE(b->Label5->text(), QStringLiteral("Stand:  Mai 2004,   Version:  1.2"));
        const QStringList zeilen = b->Label1->text().split(QLatin1Char('\n'));
        QCOMPARE(zeilen.size(), 5);
        QCOMPARE(zeilen[0], QStringLiteral("Programm zur Bedienung der Geräte WTW 325/340."));
        QCOMPARE(zeilen[1], QStringLiteral("Getestet wurden bisher nur: pH325, Oxi325, Lf340."));
        QCOMPARE(zeilen[2], QString());
        QCOMPARE(b->Label3->text(), QStringLiteral("Verfügbarer Arbeitsspeicher:"));
        QCOMPARE(b->Label4->text(), QStringLiteral("Verwendeter Arbeitsspeicher:"));
        QVERIFY(QRegularExpression(QStringLiteral("^[1-9]\\d{0,2}(\\.\\d{3})+ KB$"))
                    .match(b->PhysMem->text())
                    .hasMatch());
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{1,3} %$"))
                    .match(b->FreeRes->text())
                    .hasMatch());
        QCOMPARE(b->Emaillabel1->text(), QStringLiteral("Email: ") + b->Emaillabel1->Recipient);
        QCOMPARE(b->Emaillabel1->Subject, QStringLiteral("TEmailLabel"));
        QCOMPARE(b->SRColorButton4->text(), QStringLiteral("&OK"));
        // The picture, stretched to its frame at the left edge.
        QVERIFY(!b->ProgramIcon->pixmap().isNull());
        QCOMPARE(b->ProgramIcon->pixmap().size(), QSize(90, 125));
        QCOMPARE(b->ProgramIcon->size(), QSize(90, 125));
        QVERIFY(b->ProgramIcon->hasScaledContents());
        // Fixed client size, modal, centred on the main window.
        QCOMPARE(b->size(), QSize(357, 260));
        QCOMPARE(b->minimumSize(), b->maximumSize());
        QVERIFY(b->isModal());
        QCOMPARE(b->parentWidget(), rig.Form.get());
        const QPointF versatz =
            QRectF(b->geometry()).center() - QRectF(rig.Form->geometry()).center();
        QVERIFY2(versatz.manhattanLength() <= 1.0, "not centred on the main window");
        QCOMPARE(b->palette().color(QPalette::Window),
                 QApplication::palette().color(QPalette::ToolTipBase));
        QCOMPARE(b->palette().color(QPalette::WindowText), QColor(Qt::black));
        geprueft = true;
    });
    QVERIFY(geprueft);
    QVERIFY(box.isNull());
    QVERIFY(rig.Fehler.isEmpty());
}

void AboutTest::OkSchliesst() {
    THauptfensterRig rig;
    const auto vorher = rig.Form->Zustand.Konfiguration.Ausgabedatei;
    int ergebnis = -1;
    const auto box = InfoKlicken(rig, [&](TAboutBox* b) {
        connect(b, &QDialog::finished, [&](int r) { ergebnis = r; });
        QTest::mouseClick(b->SRColorButton4, Qt::LeftButton);
    });
    QCOMPARE(ergebnis, int(QDialog::Accepted));
    QVERIFY(box.isNull());
    QCOMPARE(rig.Form->Zustand.Konfiguration.Ausgabedatei, vorher);
    QVERIFY(rig.Form->isVisible());
}

// Each showing builds a new box (with figures of that moment) and destroys it afterwards.
void AboutTest::NeueBoxBeiJedemZeigen() {
    THauptfensterRig rig;
    // The box created at start stays hidden; the showings never use it.
    QVERIFY(rig.Form->AboutBox != nullptr);
    QVERIFY(!rig.Form->AboutBox->isVisible());
    std::vector<QObject*> boxen;
    for (int i = 0; i < 3; ++i) {
        const auto box = InfoKlicken(rig, [&](TAboutBox* b) {
            // The box of the last showing is gone before the new one opens.
            QCOMPARE(rig.Form->findChildren<TAboutBox*>().size(), 2);
            QVERIFY(b != rig.Form->AboutBox);
            boxen.push_back(b);
            QTest::keyClick(b, Qt::Key_Escape);
        });
        QVERIFY(box.isNull());
        QCOMPARE(rig.Form->findChildren<TAboutBox*>().size(), 1);
    }
    QCOMPARE(boxen.size(), size_t{3});
}

void AboutTest::Links() {
    TAboutBox box;
    box.show();
    QTest::mouseClick(box.Emaillabel1, Qt::LeftButton);
    QTest::mouseClick(box.UrlLabel1, Qt::LeftButton);
    QCOMPARE(Oeffnungen, QStringList({QStringLiteral("mailto:") + box.Emaillabel1->Recipient +
                                          QStringLiteral("?subject=TEmailLabel"),
                                      box.UrlLabel1->URL}));
    QVERIFY(box.Emaillabel1->Recipient.endsWith(QStringLiteral("example.org")));
    QVERIFY(box.UrlLabel1->URL.startsWith(QStringLiteral("https://")));
    QVERIFY(box.UrlLabel1->URL.contains(QStringLiteral("example.org")));
    // A click that ends outside the label opens nothing.
    QTest::mousePress(box.UrlLabel1, Qt::LeftButton);
    QTest::mouseRelease(box.UrlLabel1, Qt::LeftButton, {}, QPoint(-5, -5));
    QCOMPARE(Oeffnungen.size(), 2);
}

void AboutTest::LeereLinksMeldenFehler() {
    QStringList fehler;
    TAboutBox box;
    FehlerboxAnschliessen(&box, [&](const QString& text) { fehler << text; });
    box.show();
    box.Emaillabel1->Recipient = QStringLiteral("  ");
    box.UrlLabel1->URL.clear();
    QTest::mouseClick(box.Emaillabel1, Qt::LeftButton);
    QVERIFY(QTest::qWaitFor([&] { return fehler.size() == 1; }, Frist));
    QTest::mouseClick(box.UrlLabel1, Qt::LeftButton);
    QVERIFY(QTest::qWaitFor([&] { return fehler.size() == 2; }, Frist));
    FehlerboxTrennen();
    QCOMPARE(fehler,
             QStringList({QStringLiteral("Error: Please Specify a Recipients Email Address"),
                          QStringLiteral("Error: Property URL not Specified")}));
    QVERIFY(Oeffnungen.isEmpty());
}

QUORLITS_WIDGET_TEST(AboutTest)
#include "about_test.moc"
