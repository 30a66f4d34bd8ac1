// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "HauptfensterRig.h"
#include "WidgetTest.h"

#include "framework/widgets/Memo.h"
#include "framework/widgets/SpeedButton.h"
#include "framework/widgets/StringGrid.h"
#include "serial/ComPort.h"
#include "tests/unit/acquisition/Geraetetext.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

// The main window's measurements: captions and enabled states across start and stop, the
// reception path from the serial device to memo, labels and table, sending, and the window
// settings that the first activation makes.
class THauptfensterMessungTest : public QObject {
    Q_OBJECT

private slots:
    void unformatiertStartUndStopp() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        f.Rx_Button->click();
        QVERIFY(f.ComPort().Connected());
        QCOMPARE(f.Rx_Button->text(), QStringLiteral("Ende Lesen"));
        QCOMPARE(f.Label8->text(), QStringLiteral("07.12.2026, 10:00:00"));
        QCOMPARE(f.Label9->text(), QStringLiteral("Ende nach Nutzereingabe"));
        for (QWidget* aus :
             {static_cast<QWidget*>(f.WTW_Rx_Button), static_cast<QWidget*>(f.SaveButton),
              static_cast<QWidget*>(f.AutoSaveBtn), static_cast<QWidget*>(f.Clear_Btn),
              static_cast<QWidget*>(f.RS232Set_Btn), static_cast<QWidget*>(f.Option_Btn)}) {
            QVERIFY2(!aus->isEnabled(), qPrintable(aus->objectName()));
        }
        // Sending stays possible, so a command is answered into the measurement.
        QVERIFY(f.Send_Btn->isEnabled());
        QVERIFY(!f.WTWGridGleitWerte->isEnabled());
        QVERIFY(f.Spalten1->isEnabled());

        f.Rx_Button->click();
        QVERIFY(!f.ComPort().Connected());
        QCOMPARE(f.Rx_Button->text(), QStringLiteral("RS232 Lesen"));
        QCOMPARE(f.Label8->text(), QStringLiteral("keine Messung aktiv"));
        QCOMPARE(f.Label9->text(), QStringLiteral("keine Messung aktiv"));
        QVERIFY(f.WTW_Rx_Button->isEnabled());
        QVERIFY(f.SaveButton->isEnabled());
        QVERIFY(f.AutoSaveBtn->isEnabled());
        QVERIFY(f.WTWGridGleitWerte->isEnabled());
        QVERIFY(!f.Rx_Button->Down());
    }

    void messgeraetStartUndStopp() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        f.WTW_Rx_Button->click();
        QCOMPARE(f.WTW_Rx_Button->text(), QStringLiteral("Ende Lesen"));
        QVERIFY(!f.Rx_Button->isEnabled());
        QVERIFY(!f.Spalten1->isEnabled());
        QVERIFY(f.WTWGridGleitWerte->isEnabled());
        QVERIFY(f.SaveButton->isEnabled());
        QCOMPARE(f.StringGrid1->ColCount(), 5);
        QCOMPARE(f.StringGrid1->Cells(2, 0), QStringLiteral("pH"));
        f.WTW_Rx_Button->click();
        QCOMPARE(f.WTW_Rx_Button->text(), QStringLiteral("WTW-Lesen"));
        QVERIFY(f.Rx_Button->isEnabled());
        QVERIFY(f.Spalten1->isEnabled());
        // The table keeps the meter layout after the stop.
        QCOMPARE(f.StringGrid1->ColCount(), 5);
    }

    // A start whose port does not open is undone: no measurement, the controls as before the
    // click, and the error box says in German what is wrong with the device.
    void misslungenesOeffnenNimmtDenStartZurueck_data() {
        QTest::addColumn<bool>("wtw");
        QTest::addColumn<int>("fehler");
        QTest::addColumn<QString>("zeile");
        QTest::newRow("WTW, fehlt") << true << ENOENT << QStringLiteral("nicht vorhanden");
        QTest::newRow("RS232, Rechte") << false << EACCES << QStringLiteral("keine Zugriffsrechte");
        QTest::newRow("WTW, belegt")
            << true << EBUSY << QStringLiteral("wird von einem anderen Programm benutzt");
    }

    void misslungenesOeffnenNimmtDenStartZurueck() {
        QFETCH(bool, wtw);
        QFETCH(int, fehler);
        QFETCH(QString, zeile);
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        TSpeedButton* knopf = wtw ? f.WTW_Rx_Button : f.Rx_Button;
        const QString beschriftung = knopf->text();
        rig.Geraet->FailWith(TFakeOp::Open, fehler);
        knopf->click();
        THauptfensterRig::Abarbeiten();
        QCOMPARE(rig.Fehler.size(), 1);
        QVERIFY(rig.Fehler.front().startsWith(QStringLiteral("Unable to open com port")));
        QVERIFY2(rig.Fehler.front().endsWith(QStringLiteral("\nGerät /dev/ttyS0: ") + zeile),
                 qPrintable(rig.Fehler.front()));
        QVERIFY(!f.ComPort().Connected());
        QCOMPARE(knopf->text(), beschriftung);
        QCOMPARE(f.Zustand.Messung.LeseModus, lmKeiner);
        for (QWidget* frei :
             {static_cast<QWidget*>(f.Rx_Button), static_cast<QWidget*>(f.WTW_Rx_Button),
              static_cast<QWidget*>(f.Clear_Btn), static_cast<QWidget*>(f.RS232Set_Btn),
              static_cast<QWidget*>(f.Option_Btn), static_cast<QWidget*>(f.SaveButton),
              static_cast<QWidget*>(f.AutoSaveBtn)}) {
            QVERIFY2(frei->isEnabled(), qPrintable(frei->objectName()));
        }
        QVERIFY(f.Spalten1->isEnabled() && f.WTWGridGleitWerte->isEnabled());
        QCOMPARE(f.Label8->text(), QStringLiteral("keine Messung aktiv"));
        QCOMPARE(f.Label9->text(), QStringLiteral("keine Messung aktiv"));
        rig.Geraet->FailWith(TFakeOp::Open, 0);
        // The next click starts as the first would have.
        knopf->click();
        QVERIFY(f.ComPort().Connected());
        QCOMPARE(knopf->text(), QStringLiteral("Ende Lesen"));
    }

    void messwerteErreichenTabelleUndMemo() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        f.WTW_Rx_Button->click();
        QVERIFY(rig.Empfangen(Geraetetext(" 7.01 pH   25.0 °C{CR}{LF}")));
        QCOMPARE(f.StringGrid1->Cells(0, 1), QStringLiteral("07.12.2026"));
        QCOMPARE(f.StringGrid1->Cells(1, 1), QStringLiteral("10:00:00"));
        QCOMPARE(f.StringGrid1->Cells(2, 1), QStringLiteral("  7.01"));
        QCOMPARE(f.StringGrid1->Cells(3, 1), QStringLiteral("pH"));
        QCOMPARE(f.StringGrid1->Cells(4, 1), QStringLiteral(" 25.00"));
        // The meter's degree sign is shown as "°"; blanks as "_".
        QVERIFY(f.Memo->toPlainText().startsWith(QStringLiteral("_7.01_pH___25.0_°C<CR><LF>")));
        QCOMPARE(f.Label7->text(), QString::number(f.Zustand.Memo.Text.size()));
        QCOMPARE(f.Label13->text(), QStringLiteral("0"));
    }

    void achterMesswertRolltDieTabelle() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        f.WTW_Rx_Button->click();
        for (int i = 1; i <= 8; ++i) {
            const std::string zeile = " " + std::to_string(i) + ".00 pH   25.0 °C{CR}{LF}";
            QVERIFY(rig.Empfangen(Geraetetext(zeile)));
        }
        QCOMPARE(f.StringGrid1->Cells(2, 0), QStringLiteral("pH"));
        QCOMPARE(f.StringGrid1->Cells(2, 1), QStringLiteral("  2.00"));
        QCOMPARE(f.StringGrid1->Cells(2, 7), QStringLiteral("  8.00"));
    }

    void gleitendesMittelImMenue() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        f.WTWGridGleitWerte->trigger();
        QCOMPARE(f.StringGrid1->Cells(2, 0), QStringLiteral("pH (gleit)"));
        QCOMPARE(f.StringGrid1->Cells(4, 0), QStringLiteral("T [°C] (gleit)"));
        f.WTW_Rx_Button->click();
        QVERIFY(rig.Empfangen(Geraetetext(" 7.00 pH   25.0 °C{CR}{LF}")));
        QVERIFY(rig.Empfangen(Geraetetext(" 7.50 pH   25.0 °C{CR}{LF}")));
        QCOMPARE(f.StringGrid1->Cells(2, 1), QStringLiteral("  7.00"));
        QCOMPARE(f.StringGrid1->Cells(2, 2), QStringLiteral("  7.25"));
        f.WTWGridGleitWerte->trigger();
        QCOMPARE(f.StringGrid1->Cells(2, 0), QStringLiteral("pH"));
    }

    void unformatierteChunksFuellenZellen() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        f.Rx_Button->click();
        QVERIFY(rig.Empfangen("AB"));
        QVERIFY(rig.Empfangen(std::string("1 \r\n")));
        QVERIFY(rig.Empfangen("C"));
        QCOMPARE(f.StringGrid1->Cells(0, 1), QStringLiteral("AB"));
        QCOMPARE(f.StringGrid1->Cells(1, 1), QStringLiteral("1_<CR><LF>\r\n"));
        QCOMPARE(f.StringGrid1->Cells(0, 2), QStringLiteral("C"));
        QCOMPARE(f.Label7->text(), QStringLiteral("15"));
        f.Rx_Button->click();
        f.Clear_Btn->click();
        QCOMPARE(f.Label7->text(), QStringLiteral("0"));
        QVERIFY(f.Memo->toPlainText().isEmpty());
        QVERIFY(f.StringGrid1->Cells(0, 1).isEmpty());
        QCOMPARE(f.StringGrid1->Cells(0, 0), QStringLiteral("1"));
    }

    void sendenMitUndOhneZeilenende() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        f.Edit_Data->setText(QStringLiteral("ABC"));
        f.Send_Btn->click();
        QCOMPARE(rig.Geraet->Written(), std::string("ABC\r\n"));
        // With no measurement the port is opened for the send only.
        QVERIFY(!f.ComPort().Connected());
        QCOMPARE(rig.Geraet->OpenCount(), 1);
        f.NewLine_CB->setChecked(false);
        f.Send_Btn->click();
        QCOMPARE(rig.Geraet->Written(), std::string("ABC\r\nABC"));
        f.Edit_Data->clear();
        f.Send_Btn->click();
        QCOMPARE(rig.Geraet->OpenCount(), 2);

        f.WTW_Rx_Button->click();
        f.Edit_Data->setText(QStringLiteral("K"));
        QTest::keyClick(f.Edit_Data, Qt::Key_Return);
        QCOMPARE(rig.Geraet->Written(), std::string("ABC\r\nABCK"));
        QVERIFY(f.ComPort().Connected());
    }

    void ersteAktivierungStelltDenPortEin() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        QVERIFY(f.Eingerichtet());
        QCOMPARE(f.ComPort().BaudRate(), br4800);
        QCOMPARE(f.ComPort().FlowControl().FlowControl(), fcHardware);
        QCOMPARE(f.Label12->text(), QStringLiteral("automatische Wahl"));
        QCOMPARE(f.StringGrid1->ColCount(), 20);
        QCOMPARE(f.StringGrid1->Cells(0, 0), QStringLiteral("1"));
        QCOMPARE(f.StringGrid1->Cells(19, 0), QStringLiteral("20"));
        QCOMPARE(f.StringGrid1->columnWidth(0), 21);
        QCOMPARE(f.windowTitle(), QStringLiteral("Quorlits (Reihe pH 325)"));
        // A later activation does not run the set-up again.
        f.Zustand.Konfiguration.Spaltenzahl = 8;
        f.FormActivate();
        QCOMPARE(f.Zustand.Konfiguration.Spaltenzahl, 8);
    }
};

QUORLITS_WIDGET_TEST(THauptfensterMessungTest)
#include "hauptfenster_messung_test.moc"
