// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "WidgetTest.h"
#include "framework/widgets/PBSpinEdit.h"
#include "mainwindow/AutoSpeichernFrm.h"
#include "storage/DatumZeit.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimeEdit>

#include <cstdlib>
#include <ctime>

// The autosave dialog on its own: the interval items, the pickers' values and the enabling
// rules of the mode buttons, the interval group and the number field.
namespace {

// What the enabling rules left: the checked mode button (1 to 3), the selected interval and
// which of the three dependent controls are enabled.
struct TStand {
    int Modus = 0;
    int Intervall = -1;
    bool Mittel = false; // RadioButton2 enabled
    bool Alles = false;  // item 0 enabled
    bool Anzahl = false; // PBSpinEdit2 enabled

    bool operator==(const TStand&) const = default;
};

QString Text(const TStand& s) {
    return QStringLiteral("Modus %1 Intervall %2 Mittel %3 Alles %4 Anzahl %5")
        .arg(s.Modus)
        .arg(s.Intervall)
        .arg(s.Mittel)
        .arg(s.Alles)
        .arg(s.Anzahl);
}

QRadioButton* Modusknopf(TAuto_Form& d, int nummer) {
    switch (nummer) {
    case 1:
        return d.RadioButton1;
    case 2:
        return d.RadioButton2;
    default:
        return d.RadioButton3;
    }
}

TStand Stand(TAuto_Form& d) {
    TStand s;
    for (int i = 1; i <= 3; ++i) {
        if (Modusknopf(d, i)->isChecked()) {
            s.Modus = i;
        }
    }
    s.Intervall = d.RadioGroup1->ItemIndex();
    s.Mittel = d.RadioButton2->isEnabled();
    s.Alles = d.RadioGroup1->Item(0)->isEnabled();
    s.Anzahl = d.PBSpinEdit2->isEnabled();
    return s;
}

// One step of a sequence: "R2" a click on RadioButton2 (nothing when it is disabled), "P2" the
// program checks RadioButton2, "I8" a click on interval item 8, "S8" the program selects item
// 8, "X" the dialog is cancelled, "Z" it is shown again.
void Schritt(TAuto_Form& d, const QString& schritt) {
    const int zahl = schritt.mid(1).toInt();
    switch (schritt.at(0).toLatin1()) {
    case 'R':
        Modusknopf(d, zahl)->click();
        break;
    case 'P':
        Modusknopf(d, zahl)->setChecked(true);
        break;
    case 'I':
        d.RadioGroup1->Item(zahl)->click();
        break;
    case 'S':
        d.RadioGroup1->SetItemIndex(zahl);
        break;
    case 'X':
        d.CancelButton->click();
        break;
    case 'Z':
        d.show();
        break;
    default:
        QFAIL(qPrintable(QStringLiteral("unknown step ") + schritt));
    }
}

} // namespace

Q_DECLARE_METATYPE(TStand)
Q_DECLARE_METATYPE(TZeitpunkt)

class TAutoSpeichernDialogTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // A zone with daylight-saving time, so a picker value inside the spring gap shows
        // whether the pickers keep wall-clock values.
        qputenv("TZ", "Europe/Berlin");
        tzset();
    }

    void intervalle_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("beschriftung");
        QTest::addColumn<int>("sekunden");
        const struct {
            const char* Beschriftung;
            int Sekunden;
        } tabelle[] = {{"   Alles", 0},  {"   5 sec", 5},  {" 10 sec", 10}, {" 15 sec", 15},
                       {" 20 sec", 20},  {" 30 sec", 30},  {" 1 min", 60},  {" 2 min", 120},
                       {" 5 min", 300},  {"10 min", 600},  {"15 min", 900}, {"20 min", 1200},
                       {"30 min", 1800}, {"60 min", 3600}, {"90 min", 5400}};
        int index = 0;
        for (const auto& zeile : tabelle) {
            QTest::addRow("%d", index)
                << index << QString::fromLatin1(zeile.Beschriftung) << zeile.Sekunden;
            ++index;
        }
    }

    void intervalle() {
        QFETCH(int, index);
        QFETCH(QString, beschriftung);
        QFETCH(int, sekunden);
        TAuto_Form d;
        QCOMPARE(d.RadioGroup1->Count(), 15);
        QCOMPARE(d.RadioGroup1->Item(index)->text(), beschriftung);
        QCOMPARE(int{SpeicherintervallSekunden(index)}, sekunden);
        QCOMPARE(SpeicherintervallIndex(static_cast<std::uint16_t>(sekunden)), index);
    }

    void fremdeIntervalleZeigenAlles() {
        for (const int sekunden : {1, 45, 59, 61, 3599, 5401, 65535}) {
            QCOMPARE(SpeicherintervallIndex(static_cast<std::uint16_t>(sekunden)), 0);
        }
        QCOMPARE(int{SpeicherintervallSekunden(-1)}, 0);
        QCOMPARE(int{SpeicherintervallSekunden(15)}, 0);
    }

    void pickerHaltenDenWert_data() {
        QTest::addColumn<TZeitpunkt>("zeitpunkt");
        QTest::newRow("Nikolaus") << TZeitpunkt{6, 12, 2001, 14, 30, 0};
        QTest::newRow("Mitternacht") << TZeitpunkt{1, 1, 2000, 0, 0, 0};
        QTest::newRow("letzte Sekunde") << TZeitpunkt{31, 12, 2026, 23, 59, 59};
        QTest::newRow("Sommerzeitluecke") << TZeitpunkt{29, 3, 2026, 2, 30, 0};
        QTest::newRow("Winterzeit doppelt") << TZeitpunkt{25, 10, 2026, 2, 30, 15};
        QTest::newRow("Schalttag") << TZeitpunkt{29, 2, 2024, 12, 0, 1};
    }

    // Date from the date picker, time from the time picker: the way the window takes them back.
    void pickerHaltenDenWert() {
        QFETCH(TZeitpunkt, zeitpunkt);
        TAuto_Form d;
        const TDateTime wert = ZeitpunktAlsDatumZeit(zeitpunkt);
        PickerSetzen(d.DateTimePicker1, wert);
        PickerSetzen(d.DateTimePicker3, wert);
        QCOMPARE(d.DateTimePicker1->date(), QDate(zeitpunkt.Jahr, zeitpunkt.Monat, zeitpunkt.Tag));
        QCOMPARE(d.DateTimePicker3->time(),
                 QTime(zeitpunkt.Stunde, zeitpunkt.Minute, zeitpunkt.Sekunde));
        TZeitpunkt zurueck;
        DatumUebernehmen(zurueck, PickerWert(d.DateTimePicker1));
        ZeitUebernehmen(zurueck, PickerWert(d.DateTimePicker3));
        QCOMPARE(zurueck, zeitpunkt);
    }

    void enablingRules_data() {
        QTest::addColumn<int>("intervall");
        QTest::addColumn<QStringList>("schritte");
        QTest::addColumn<TStand>("erwartet");
        const auto row = [](const char* name, int intervall, const QString& schritte,
                            TStand erwartet) {
            QTest::newRow(name) << intervall << schritte.split(u' ', Qt::SkipEmptyParts)
                                << erwartet;
        };
        // TStand: mode, interval, RadioButton2 / item 0 / PBSpinEdit2 enabled
        row("reale Werte beim Zeigen", 8, "", {1, 8, true, true, false});
        row("Alles sperrt Mittel beim Zeigen", 0, "", {1, 0, false, true, false});
        row("Mittel sperrt Alles", 8, "R2", {2, 8, true, false, false});
        row("Mittel dann Alles gewaehlt", 8, "R2 S0", {1, 0, false, true, false});
        row("Mittel, gesperrtes Alles geklickt", 8, "R2 I0", {2, 8, true, false, false});
        row("Mittel dann reale gibt Alles frei", 8, "R2 R1", {1, 8, true, true, false});
        row("gleitend gibt Anzahl frei", 8, "R3", {3, 8, true, true, true});
        row("gleitend dann reale", 8, "R3 R1", {1, 8, true, true, false});
        row("gleitend dann Mittel", 8, "R3 R2", {2, 8, true, false, false});
        row("gleitend mit Alles", 8, "R3 I0", {3, 0, false, true, true});
        row("gesperrtes Mittel geklickt", 0, "R2", {1, 0, false, true, false});
        row("Programm setzt Mittel bei Alles", 0, "P2", {1, 0, false, true, false});
        row("Programm setzt gleitend", 8, "P3", {3, 8, true, true, true});
        row("Programm setzt Mittel nach gleitend", 8, "P3 P2", {2, 8, true, false, false});
        row("anderes Intervall gibt Mittel frei", 0, "I6", {1, 6, true, true, false});
        row("Schliessen gibt Alles frei", 8, "R2 X", {2, 8, true, true, false});
        row("Schliessen gibt Mittel frei", 0, "X", {1, 0, true, true, false});
        row("erneutes Zeigen sperrt wieder", 8, "R2 X Z", {2, 8, true, false, false});
        row("erneutes Zeigen mit Alles", 0, "X Z", {1, 0, false, true, false});
    }

    void enablingRules() {
        QFETCH(int, intervall);
        QFETCH(QStringList, schritte);
        QFETCH(TStand, erwartet);
        TAuto_Form d;
        d.RadioGroup1->SetItemIndex(intervall);
        d.show();
        for (const QString& schritt : schritte) {
            Schritt(d, schritt);
        }
        const TStand ist = Stand(d);
        QVERIFY2(ist == erwartet, qPrintable(Text(ist) + QStringLiteral(" / ") + Text(erwartet)));
    }

    // Only a button that becomes checked runs its handler: one that loses its check leaves the
    // number field alone.
    void nurDerGeprueftKnopfLaeuft() {
        TAuto_Form d;
        d.RadioGroup1->SetItemIndex(8);
        d.show();
        d.RadioButton3->click();
        d.PBSpinEdit2->setEnabled(false); // a stale state that only a handler would repair
        d.RadioButton3->setChecked(true); // already checked: no handler
        QVERIFY(!d.PBSpinEdit2->isEnabled());
        d.RadioButton1->click();
        d.PBSpinEdit2->setEnabled(true);
        d.RadioButton3->setChecked(false); // unchecked by the program: no handler either
        QVERIFY(d.PBSpinEdit2->isEnabled());
    }

    void gruppenklickNurBeiWechsel() {
        TAuto_Form d;
        QSignalSpy klicks(d.RadioGroup1, &TRadioGroup::Click);
        d.RadioGroup1->SetItemIndex(3);
        d.RadioGroup1->SetItemIndex(3);
        d.RadioGroup1->Item(5)->click();
        d.RadioGroup1->SetItemIndex(42);
        QCOMPARE(klicks.count(), 2);
        QCOMPARE(d.RadioGroup1->ItemIndex(), 5);
    }

    void schliesswege_data() {
        QTest::addColumn<QString>("weg");
        QTest::addColumn<int>("ergebnis");
        QTest::newRow("OK") << QStringLiteral("OK") << int{QDialog::Accepted};
        QTest::newRow("Enter") << QStringLiteral("Enter") << int{QDialog::Accepted};
        QTest::newRow("Abbruch") << QStringLiteral("Abbruch") << int{QDialog::Rejected};
        QTest::newRow("Esc") << QStringLiteral("Esc") << int{QDialog::Rejected};
        QTest::newRow("Schliessfeld") << QStringLiteral("Schliessfeld") << int{QDialog::Rejected};
    }

    // Every way of closing runs FormClose; OK has the focus at the start, so Enter confirms.
    void schliesswege() {
        QFETCH(QString, weg);
        QFETCH(int, ergebnis);
        TAuto_Form d;
        d.RadioGroup1->SetItemIndex(8);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QCOMPARE(d.focusWidget(), static_cast<QWidget*>(d.OKButton));
        d.RadioButton2->click();
        QVERIFY(!d.RadioGroup1->Item(0)->isEnabled());
        if (weg == QStringLiteral("OK")) {
            d.OKButton->click();
        } else if (weg == QStringLiteral("Enter")) {
            // From a control that does not take Enter itself: the default button answers.
            d.CheckBox1->setFocus();
            QTest::keyClick(d.CheckBox1, Qt::Key_Return);
        } else if (weg == QStringLiteral("Abbruch")) {
            d.CancelButton->click();
        } else if (weg == QStringLiteral("Esc")) {
            QTest::keyClick(&d, Qt::Key_Escape);
        } else {
            d.close();
        }
        QVERIFY(!d.isVisible());
        QCOMPARE(d.result(), ergebnis);
        QVERIFY(d.RadioGroup1->Item(0)->isEnabled());
        QVERIFY(d.RadioButton2->isEnabled());
        QVERIFY(d.RadioButton2->isChecked());
    }
};

QUORLITS_WIDGET_TEST(TAutoSpeichernDialogTest)
#include "autospeichern_dialog_test.moc"
