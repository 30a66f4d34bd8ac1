// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "HauptfensterRig.h"
#include "ModalerDialog.h"
#include "WidgetTest.h"

#include "framework/widgets/PBSpinEdit.h"
#include "framework/widgets/StringGrid.h"
#include "mainwindow/PrgOptionenFrm.h"
#include "mainwindow/SpaltenFrm.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <vector>

// The table options dialog, opened from the table's pop-up menu of the real main window.
namespace {

void Tippen(TPBSpinEdit* feld, const QString& text) {
    feld->Edit()->selectAll();
    QTest::keyClick(feld->Edit(), Qt::Key_Delete);
    QTest::keyClicks(feld->Edit(), text);
}

// Opens the dialog through the menu item and runs `bedienen` on it.
bool SpaltenDialog(TForm1& f, const std::function<void(TSpalten_Form&)>& bedienen) {
    TModalerDialog<TSpalten_Form> dialog(bedienen);
    f.Spalten1->trigger();
    return dialog.Bedient() && !dialog.OffenGelassen();
}

QString FeldText(const TPBSpinEdit* feld) {
    return feld->Edit()->text();
}

} // namespace

class TSpaltenFormTest : public QObject {
    Q_OBJECT

private slots:
    void okMitGrenzwertenReichtBisZurTabelle() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        QVERIFY(SpaltenDialog(f, [](TSpalten_Form& d) {
            Tippen(d.PBSpinEdit1, QStringLiteral("50"));
            Tippen(d.PBSpinEdit2, QStringLiteral("300"));
            QTest::mouseClick(d.OKButton, Qt::LeftButton);
        }));
        QCOMPARE(int(f.Zustand.Konfiguration.Spaltenzahl), 50);
        QCOMPARE(int(f.Zustand.Konfiguration.Spaltenbreite), 300);
        QCOMPARE(f.StringGrid1->ColCount(), 50);
        for (int spalte = 0; spalte < 50; ++spalte) {
            QCOMPARE(f.StringGrid1->Cells(spalte, 0), QString::number(spalte + 1));
            QCOMPARE(f.StringGrid1->columnWidth(spalte), 300);
        }
        QVERIFY(rig.Fehler.isEmpty());
    }

    void enterNimmtBegrenzteWerte_data() {
        QTest::addColumn<QString>("spalten");
        QTest::addColumn<QString>("breite");
        QTest::addColumn<int>("spaltenzahl");
        QTest::addColumn<int>("spaltenbreite");
        QTest::newRow("3 gibt 5") << QStringLiteral("3") << QStringLiteral("21") << 5 << 21;
        QTest::newRow("ueber den Grenzen")
            << QStringLiteral("51") << QStringLiteral("301") << 50 << 300;
        QTest::newRow("leer und Komma") << QString() << QStringLiteral("30,5") << 5 << 5;
    }

    void enterNimmtBegrenzteWerte() {
        QFETCH(QString, spalten);
        QFETCH(QString, breite);
        QFETCH(int, spaltenzahl);
        QFETCH(int, spaltenbreite);
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        QVERIFY(SpaltenDialog(f, [&](TSpalten_Form& d) {
            Tippen(d.PBSpinEdit2, breite);
            Tippen(d.PBSpinEdit1, spalten);
            QTest::keyClick(d.PBSpinEdit1->Edit(), Qt::Key_Return);
        }));
        QCOMPARE(int(f.Zustand.Konfiguration.Spaltenzahl), spaltenzahl);
        QCOMPARE(int(f.Zustand.Konfiguration.Spaltenbreite), spaltenbreite);
        QCOMPARE(f.StringGrid1->ColCount(), spaltenzahl);
        QCOMPARE(f.StringGrid1->columnWidth(0), spaltenbreite);
    }

    void abbruchAendertNichtsUndVergisstDieEingabe() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        QString geoeffnet;
        const auto aendern = [&geoeffnet](TSpalten_Form& d) {
            geoeffnet = FeldText(d.PBSpinEdit1) + QLatin1Char('/') + FeldText(d.PBSpinEdit2);
            Tippen(d.PBSpinEdit1, QStringLiteral("30"));
            Tippen(d.PBSpinEdit2, QStringLiteral("40"));
        };
        QVERIFY(SpaltenDialog(f, [&aendern](TSpalten_Form& d) {
            aendern(d);
            QTest::mouseClick(d.CancelButton, Qt::LeftButton);
        }));
        QCOMPARE(geoeffnet, QStringLiteral("20/21"));
        QVERIFY(SpaltenDialog(f, [&aendern](TSpalten_Form& d) {
            aendern(d);
            QTest::keyClick(d.PBSpinEdit2->Edit(), Qt::Key_Escape);
        }));
        QCOMPARE(geoeffnet, QStringLiteral("20/21"));
        QCOMPARE(int(f.Zustand.Konfiguration.Spaltenzahl), 20);
        QCOMPARE(int(f.Zustand.Konfiguration.Spaltenbreite), 21);
        QCOMPARE(f.StringGrid1->ColCount(), 20);
        QCOMPARE(f.StringGrid1->columnWidth(0), 21);
    }

    void zeigtDieWerteDerProgrammoptionen() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        TModalerDialog<TPrgOptionenForm> optionen([](TPrgOptionenForm& d) {
            Tippen(d.PBSpinEdit1, QStringLiteral("33"));
            Tippen(d.PBSpinEdit2, QStringLiteral("44"));
            QTest::mouseClick(d.OKButton, Qt::LeftButton);
        });
        QTest::mouseClick(f.Option_Btn, Qt::LeftButton);
        QVERIFY(optionen.Bedient());
        QString geoeffnet;
        QVERIFY(SpaltenDialog(f, [&geoeffnet](TSpalten_Form& d) {
            geoeffnet = FeldText(d.PBSpinEdit1) + QLatin1Char('/') + FeldText(d.PBSpinEdit2);
            QTest::mouseClick(d.CancelButton, Qt::LeftButton);
        }));
        QCOMPARE(geoeffnet, QStringLiteral("33/44"));
    }

    void aussehenFokusUndTabfolge() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        std::vector<QWidget*> folge;
        std::vector<QWidget*> erwartet;
        QVERIFY(SpaltenDialog(f, [&](TSpalten_Form& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("Tabellenoptionen"));
            QCOMPARE(d.size(), QSize(200, 143));
            QCOMPARE(d.minimumSize(), d.maximumSize());
            QVERIFY(d.OKButton->isDefault());
            QCOMPARE(d.OKButton->text(), QStringLiteral("OK"));
            QCOMPARE(d.CancelButton->text(), QStringLiteral("Abbruch"));
            QVERIFY(d.CancelButton->x() < d.OKButton->x());
            QCOMPARE(d.PBSpinEdit1->MinValue(), 5);
            QCOMPARE(d.PBSpinEdit1->MaxValue(), 50);
            QCOMPARE(d.PBSpinEdit2->MinValue(), 5);
            QCOMPARE(d.PBSpinEdit2->MaxValue(), 300);
            QVERIFY(QTest::qWaitForWindowActive(&d));
            QVERIFY(QTest::qWaitFor([&d] { return d.OKButton->hasFocus(); }));
            folge = Tabfolge(d);
            erwartet = {d.OKButton, d.CancelButton, d.PBSpinEdit2->Edit(), d.PBSpinEdit1->Edit()};
            // Focus left on a field must not keep the OK button from the focus next time.
            d.PBSpinEdit1->Edit()->setFocus();
            QTest::mouseClick(d.CancelButton, Qt::LeftButton);
        }));
        QCOMPARE(folge, erwartet);
        QVERIFY(SpaltenDialog(f, [](TSpalten_Form& d) {
            QVERIFY(QTest::qWaitFor([&d] { return d.OKButton->hasFocus(); }));
            d.reject();
        }));
        QCOMPARE(f.Spalten_Form->objectName(), QStringLiteral("Spalten_Form"));
        for (const char* name :
             {"Label1", "PBSpinEdit1", "Label2", "PBSpinEdit2", "OKButton", "CancelButton"}) {
            QVERIFY2(f.Spalten_Form->findChild<QWidget*>(QString::fromLatin1(name)) != nullptr,
                     name);
        }
    }
};

QUORLITS_WIDGET_TEST(TSpaltenFormTest)
#include "spaltenform_test.moc"
