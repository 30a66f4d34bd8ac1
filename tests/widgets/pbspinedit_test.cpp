// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "WidgetTest.h"
#include "framework/widgets/PBSpinEdit.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include <climits>
#include <memory>

// The number field in a dialog with a default and a cancel button, as the option dialogs use it.
namespace {

// The field is told the decimal comma, as the main window tells its dialogs' fields.
struct TFeldDialog {
    explicit TFeldDialog(QChar trenner = u',') {
        auto* zeile = new QHBoxLayout(&Dialog);
        Feld = new TPBSpinEdit(&Dialog);
        Feld->SetDezimalTrennzeichen(trenner);
        Feld->SetMinValue(5);
        Feld->SetMaxValue(50);
        Feld->SetValue(20);
        Ok = new QPushButton(QStringLiteral("OK"), &Dialog);
        Ok->setDefault(true);
        Abbruch = new QPushButton(QStringLiteral("Abbruch"), &Dialog);
        QObject::connect(Ok, &QPushButton::clicked, &Dialog, &QDialog::accept);
        QObject::connect(Abbruch, &QPushButton::clicked, &Dialog, &QDialog::reject);
        zeile->addWidget(Feld);
        zeile->addWidget(Abbruch);
        zeile->addWidget(Ok);
        Dialog.show();
    }

    bool Aktivieren() {
        Dialog.activateWindow();
        if (!QTest::qWaitForWindowActive(&Dialog)) {
            return false;
        }
        Feld->Edit()->setFocus();
        return QTest::qWaitFor([this] { return Feld->Edit()->hasFocus(); });
    }

    void Tippen(const QString& text) {
        Feld->Edit()->selectAll();
        QTest::keyClick(Feld->Edit(), Qt::Key_Delete);
        QTest::keyClicks(Feld->Edit(), text);
    }

    QToolButton* Pfeil(Qt::ArrowType richtung) const {
        for (QToolButton* knopf : Feld->findChildren<QToolButton*>()) {
            if (knopf->arrowType() == richtung) {
                return knopf;
            }
        }
        return nullptr;
    }

    QDialog Dialog;
    TPBSpinEdit* Feld = nullptr;
    QPushButton* Ok = nullptr;
    QPushButton* Abbruch = nullptr;
};

} // namespace

class TPBSpinEditTest : public QObject {
    Q_OBJECT

private slots:
    void enterDrueckt_OK_undWertWirdBegrenzt() {
        TFeldDialog d;
        d.Tippen(QStringLiteral("99"));
        QCOMPARE(d.Feld->Edit()->text(), QStringLiteral("99"));
        QTest::keyClick(d.Feld->Edit(), Qt::Key_Return);
        QCOMPARE(d.Dialog.result(), int(QDialog::Accepted));
        QVERIFY(!d.Dialog.isVisible());
        QCOMPARE(d.Feld->Value(), 50);
    }

    void escapeDruecktAbbruch() {
        TFeldDialog d;
        d.Tippen(QStringLiteral("33"));
        d.Feld->Edit()->setSelection(0, 1);
        QTest::keyClick(d.Feld->Edit(), Qt::Key_Escape);
        QCOMPARE(d.Dialog.result(), int(QDialog::Rejected));
        QVERIFY(!d.Dialog.isVisible());
        // The field and its selection stay as they were.
        QCOMPARE(d.Feld->Edit()->text(), QStringLiteral("33"));
        QCOMPARE(d.Feld->Edit()->selectedText(), QStringLiteral("3"));
    }

    void textWirdGelesen_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("wert");
        QTest::newRow("in den Grenzen") << QStringLiteral("37") << 37;
        QTest::newRow("mit Plus") << QStringLiteral("+40") << 40;
        QTest::newRow("leer") << QString() << 5;
        QTest::newRow("Minus allein") << QStringLiteral("-") << 5;
        QTest::newRow("Dezimalkomma") << QStringLiteral("5,5") << 5;
        QTest::newRow("Dezimalkomma hoch") << QStringLiteral("45,5") << 5;
        QTest::newRow("darunter") << QStringLiteral("-3") << 5;
        QTest::newRow("darueber") << QStringLiteral("51") << 50;
        QTest::newRow("zu gross fuer int") << QStringLiteral("99999999999") << 5;
    }

    void textWirdGelesen() {
        QFETCH(QString, text);
        QFETCH(int, wert);
        TFeldDialog d;
        d.Tippen(text);
        // Every character of these texts may be typed.
        QCOMPARE(d.Feld->Edit()->text(), text);
        QCOMPARE(d.Feld->Value(), wert);
    }

    void fremdeZeichenWerdenAbgewiesen_data() {
        QTest::addColumn<QString>("zeichen");
        QTest::newRow("Buchstabe") << QStringLiteral("a");
        QTest::newRow("Punkt statt Komma") << QStringLiteral(".");
        QTest::newRow("Leerzeichen") << QStringLiteral(" ");
        QTest::newRow("Umlaut") << QStringLiteral("ä");
        QTest::newRow("Fremde Ziffer") << QStringLiteral("٣");
    }

    void fremdeZeichenWerdenAbgewiesen() {
        QFETCH(QString, zeichen);
        TFeldDialog d;
        d.Tippen(QStringLiteral("12"));
        // Sent as a typed character, also where no key of the test keyboard produces it.
        QTest::sendKeyEvent(QTest::Click, d.Feld->Edit(), Qt::Key_unknown, zeichen, Qt::NoModifier);
        QCOMPARE(d.Feld->Edit()->text(), QStringLiteral("12"));
        QCOMPARE(d.Feld->Value(), 12);
    }

    void steuertastenBleiben() {
        TFeldDialog d;
        d.Tippen(QStringLiteral("123"));
        QTest::keyClick(d.Feld->Edit(), Qt::Key_Backspace);
        QTest::keyClick(d.Feld->Edit(), Qt::Key_Home);
        QTest::keyClick(d.Feld->Edit(), Qt::Key_Delete);
        QCOMPARE(d.Feld->Edit()->text(), QStringLiteral("2"));
        d.Feld->Edit()->selectAll();
        QTest::keyClick(d.Feld->Edit(), Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(d.Feld->Edit()->text(), QString());
        QTest::keyClick(d.Feld->Edit(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(d.Feld->Edit()->text(), QStringLiteral("2"));
    }

    void punktWennErDasTrennzeichenIst() {
        TFeldDialog d(u'.');
        d.Tippen(QStringLiteral("7.5,"));
        QCOMPARE(d.Feld->Edit()->text(), QStringLiteral("7.5"));
        QCOMPARE(d.Feld->Value(), 5);
    }

    void pfeileSchrittenUmEins() {
        TFeldDialog d;
        QTest::keyClick(d.Feld->Edit(), Qt::Key_Up);
        QCOMPARE(d.Feld->Edit()->text(), QStringLiteral("21"));
        QTest::keyClick(d.Feld->Edit(), Qt::Key_Down);
        QTest::keyClick(d.Feld->Edit(), Qt::Key_Down);
        QCOMPARE(d.Feld->Edit()->text(), QStringLiteral("19"));
        QToolButton* auf = d.Pfeil(Qt::UpArrow);
        QToolButton* ab = d.Pfeil(Qt::DownArrow);
        QVERIFY(auf != nullptr && ab != nullptr);
        QTest::mouseClick(auf, Qt::LeftButton);
        QCOMPARE(d.Feld->Value(), 20);
        QTest::mouseClick(ab, Qt::LeftButton);
        QCOMPARE(d.Feld->Value(), 19);
        // The arrows stop at the bounds, and an unreadable text steps from the lower bound.
        d.Feld->SetValue(50);
        QTest::keyClick(d.Feld->Edit(), Qt::Key_Up);
        QCOMPARE(d.Feld->Edit()->text(), QStringLiteral("50"));
        d.Tippen(QStringLiteral("-"));
        QTest::keyClick(d.Feld->Edit(), Qt::Key_Up);
        QCOMPARE(d.Feld->Edit()->text(), QStringLiteral("6"));
        d.Tippen(QString());
        QTest::keyClick(d.Feld->Edit(), Qt::Key_Down);
        QCOMPARE(d.Feld->Edit()->text(), QStringLiteral("5"));
        // Neither the arrow keys nor the buttons close the dialog.
        QVERIFY(d.Dialog.isVisible());
    }

    void fokusverlustBegrenzt_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("danach");
        QTest::newRow("zu gross") << QStringLiteral("99") << QStringLiteral("50");
        QTest::newRow("zu klein") << QStringLiteral("2") << QStringLiteral("5");
        QTest::newRow("leer") << QString() << QStringLiteral("5");
        QTest::newRow("Komma") << QStringLiteral("7,5") << QStringLiteral("5");
        QTest::newRow("passend") << QStringLiteral("+17") << QStringLiteral("17");
    }

    void fokusverlustBegrenzt() {
        QFETCH(QString, text);
        QFETCH(QString, danach);
        TFeldDialog d;
        QVERIFY(d.Aktivieren());
        d.Tippen(text);
        d.Abbruch->setFocus();
        QVERIFY(QTest::qWaitFor([&d] { return !d.Feld->Edit()->hasFocus(); }));
        QCOMPARE(d.Feld->Edit()->text(), danach);
    }

    void setzenBegrenzt() {
        TFeldDialog d;
        d.Feld->SetValue(1);
        QCOMPARE(d.Feld->Edit()->text(), QStringLiteral("5"));
        d.Feld->SetValue(300);
        QCOMPARE(d.Feld->Edit()->text(), QStringLiteral("50"));
        QCOMPARE(d.Feld->Edit()->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    }

    void gleicheGrenzenBegrenzenNicht() {
        TPBSpinEdit feld;
        feld.SetMinValue(0);
        feld.SetMaxValue(0);
        feld.SetValue(-1000);
        QCOMPARE(feld.Value(), -1000);
        feld.SetValue(INT_MAX);
        QTest::keyClick(feld.Edit(), Qt::Key_Up);
        QCOMPARE(feld.Value(), INT_MAX);
        feld.SetValue(INT_MIN);
        QTest::keyClick(feld.Edit(), Qt::Key_Down);
        QCOMPARE(feld.Value(), INT_MIN);
    }
};

QUORLITS_WIDGET_TEST(TPBSpinEditTest)
#include "pbspinedit_test.moc"
