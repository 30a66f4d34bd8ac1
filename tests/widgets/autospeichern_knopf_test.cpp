// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "HauptfensterRig.h"
#include "ModalerDialog.h"
#include "WidgetTest.h"

#include "framework/widgets/PBSpinEdit.h"
#include "framework/widgets/SpeedButton.h"
#include "mainwindow/AutoSpeichernFrm.h"
#include "tests/unit/acquisition/Geraetetext.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <string>

// The autosave button of the main window with its modal dialog: what the dialog shows, what
// "OK" and "Abbruch" take over, the start, its failure and the stop.
namespace {

const std::string Ph7 = Geraetetext(" 7.01 pH   25.0 °C{CR}{LF}");
const QString NichtGesetzt = QStringLiteral("nicht gesetzt");

// Clicks AutoSaveBtn and, while the modal dialog is open, runs `aktion` on it (which ends with
// a click on OK or Abbruch). A dialog still open afterwards is cancelled, so a failed check
// never leaves the test waiting. Returns whether a dialog was open.
bool MitDialog(TForm1& f, const std::function<void(TAuto_Form&)>& aktion) {
    TModalerDialog<TAuto_Form> dialog(aktion);
    f.AutoSaveBtn->click();
    return dialog.Bedient();
}

void Zeitpunkt(QDateEdit* datum, QTimeEdit* zeit, const TZeitpunkt& z) {
    datum->setDate(QDate(z.Jahr, z.Monat, z.Tag));
    zeit->setTime(QTime(z.Stunde, z.Minute, z.Sekunde));
}

void Fenster(TAuto_Form& d, const TZeitpunkt& beginn, const TZeitpunkt& ende) {
    Zeitpunkt(d.DateTimePicker1, d.DateTimePicker3, beginn);
    Zeitpunkt(d.DateTimePicker2, d.DateTimePicker4, ende);
}

void FesterName(TForm1& f, const std::string& pfad) {
    f.Zustand.Konfiguration.AutoDateiname = false;
    f.Zustand.Konfiguration.Ueberschreiben = true;
    f.Zustand.Konfiguration.Ausgabedatei = pfad;
}

// Starts automatic saving through the dialog: every reading from 09:00 to 11:00 of the rig's
// day.
bool Starten(TForm1& f) {
    return MitDialog(f, [](TAuto_Form& d) {
        Fenster(d, {7, 12, 2026, 9, 0, 0}, {7, 12, 2026, 11, 0, 0});
        d.RadioGroup1->Item(0)->click();
        d.OKButton->click();
    });
}

void NichtAktiv(TForm1& f) {
    QVERIFY(!f.Zustand.Speicher.AutoSpeichernAktiv);
    QVERIFY(!f.AutoSaveBtn->Down());
    QVERIFY(f.SaveButton->isEnabled());
    QVERIFY(!f.Zustand.Speicher.Datendatei.IstOffen());
    QCOMPARE(f.Label10->text(), NichtGesetzt);
    QCOMPARE(f.Label11->text(), NichtGesetzt);
    QCOMPARE(f.Label14->text(), QStringLiteral("..."));
    QCOMPARE(f.Label15->text(), QStringLiteral("..."));
}

} // namespace

class TAutoSpeichernKnopfTest : public QObject {
    Q_OBJECT

private slots:
    void dialogZeigtDieEinstellungen_data() {
        QTest::addColumn<int>("intervall");
        QTest::addColumn<bool>("mittel");
        QTest::addColumn<bool>("gleitend");
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("modus");
        QTest::addColumn<bool>("mittelFrei");
        QTest::addColumn<bool>("allesFrei");
        QTest::addColumn<int>("intervallNachOk");
        QTest::newRow("beide gesetzt: gleitend gewinnt")
            << 300 << true << true << 8 << 3 << true << true << 300;
        QTest::newRow("Intervall nicht in der Liste")
            << 45 << false << false << 0 << 1 << false << true << 0;
        QTest::newRow("Mittel bei jedem Wert")
            << 0 << true << false << 0 << 1 << false << true << 0;
        QTest::newRow("Mittel je Minute") << 60 << true << false << 6 << 2 << true << false << 60;
        QTest::newRow("gleitend bei jedem Wert")
            << 0 << false << true << 0 << 3 << false << true << 0;
    }

    // The dialog is loaded from the settings, the enabling rules apply, and "OK" without a
    // change writes back what the dialog showed.
    void dialogZeigtDieEinstellungen() {
        QFETCH(int, intervall);
        QFETCH(bool, mittel);
        QFETCH(bool, gleitend);
        QFETCH(int, item);
        QFETCH(int, modus);
        QFETCH(bool, mittelFrei);
        QFETCH(bool, allesFrei);
        QFETCH(int, intervallNachOk);
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        TKonfiguration& k = f.Zustand.Konfiguration;
        k.Speicherintervall = static_cast<std::uint16_t>(intervall);
        k.MittelwertIntervall = mittel;
        k.GleitendesMittel = gleitend;
        int gezeigt = 0;
        QVERIFY(MitDialog(f, [&](TAuto_Form& d) {
            QCOMPARE(d.RadioGroup1->ItemIndex(), item);
            gezeigt = d.RadioButton1->isChecked()   ? 1
                      : d.RadioButton2->isChecked() ? 2
                      : d.RadioButton3->isChecked() ? 3
                                                    : 0;
            QCOMPARE(d.RadioButton2->isEnabled(), mittelFrei);
            QCOMPARE(d.RadioGroup1->Item(0)->isEnabled(), allesFrei);
            QCOMPARE(d.PBSpinEdit2->isEnabled(), modus == 3);
            d.OKButton->click();
        }));
        QCOMPARE(gezeigt, modus);
        QCOMPARE(int{k.Speicherintervall}, intervallNachOk);
        QCOMPARE(k.MittelwertIntervall, modus == 2);
        QCOMPARE(k.GleitendesMittel, modus == 3);
    }

    void dialogZeigtFensterUndDatei() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        f.Zustand.Konfiguration.ZeitRaster = true;
        QString datei;
        QVERIFY(MitDialog(f, [&](TAuto_Form& d) {
            datei = d.Label1->text();
            // The start-up window: from the rig's clock for one hour.
            QCOMPARE(d.DateTimePicker1->date(), QDate(2026, 12, 7));
            QCOMPARE(d.DateTimePicker3->time(), QTime(10, 0, 0));
            QCOMPARE(d.DateTimePicker2->date(), QDate(2026, 12, 7));
            QCOMPARE(d.DateTimePicker4->time(), QTime(11, 0, 0));
            QVERIFY(d.CheckBox1->isChecked());
            QVERIFY(f.AutoSaveBtn->Down());
            d.CancelButton->click();
        }));
        QCOMPARE(datei, QStringLiteral("automatische Wahl"));
        FesterName(f, "/home/anwender/messungen/labor/reihe-2026/Daten.txt");
        QVERIFY(MitDialog(f, [&](TAuto_Form& d) {
            datei = d.Label1->text();
            d.CancelButton->click();
        }));
        QCOMPARE(datei, QStringLiteral("/home/anwender/messunge../Daten.txt"));
    }

    void abbruchAendertNichts_data() {
        QTest::addColumn<int>("weg");
        QTest::newRow("Abbruch") << 0;
        QTest::newRow("Esc") << 1;
        QTest::newRow("Schliessfeld") << 2;
    }

    void abbruchAendertNichts() {
        QFETCH(int, weg);
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        f.Zustand.Konfiguration.Speicherintervall = 60;
        f.Zustand.Konfiguration.MittelwertIntervall = true;
        const TKonfiguration vorher = f.Zustand.Konfiguration;
        const TZeitpunkt beginn = f.Zustand.AutoSpeicher.Speicherbeginn;
        const TZeitpunkt ende = f.Zustand.AutoSpeicher.Speicherende;
        QVERIFY(MitDialog(f, [weg](TAuto_Form& d) {
            Fenster(d, {1, 1, 2027, 8, 0, 0}, {2, 1, 2027, 8, 0, 0});
            d.RadioGroup1->Item(9)->click();
            d.CheckBox1->click();
            d.RadioButton3->click();
            d.PBSpinEdit2->SetValue(99);
            if (weg == 0) {
                d.CancelButton->click();
            } else if (weg == 1) {
                QTest::keyClick(&d, Qt::Key_Escape);
            } else {
                d.close();
            }
        }));
        const TKonfiguration& k = f.Zustand.Konfiguration;
        QCOMPARE(int{k.Speicherintervall}, int{vorher.Speicherintervall});
        QCOMPARE(k.ZeitRaster, vorher.ZeitRaster);
        QCOMPARE(k.MittelwertIntervall, vorher.MittelwertIntervall);
        QCOMPARE(k.GleitendesMittel, vorher.GleitendesMittel);
        QCOMPARE(int{k.AnzahlGleitMittel}, int{vorher.AnzahlGleitMittel});
        QVERIFY(f.Zustand.AutoSpeicher.Speicherbeginn == beginn);
        QVERIFY(f.Zustand.AutoSpeicher.Speicherende == ende);
        NichtAktiv(f);
        QVERIFY(QDir(QString::fromStdString(rig.Ordner.Pfad().string())).isEmpty());
        // The next showing shows the mode of the settings again.
        bool mittel = false;
        bool anzahlFrei = true;
        QVERIFY(MitDialog(f, [&](TAuto_Form& d) {
            mittel = d.RadioButton2->isChecked();
            anzahlFrei = d.PBSpinEdit2->isEnabled();
            d.CancelButton->click();
        }));
        QVERIFY(mittel);
        QVERIFY(!anzahlFrei);
        QVERIFY(rig.Fehler.isEmpty());
    }

    void okUebernimmtUndStartet() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        FesterName(f, rig.Ordner.Datei("Daten.txt"));
        QVERIFY(MitDialog(f, [](TAuto_Form& d) {
            Fenster(d, {6, 12, 2001, 14, 30, 0}, {6, 12, 2001, 15, 30, 0});
            d.RadioGroup1->Item(6)->click();
            d.CheckBox1->click();
            d.RadioButton3->click();
            d.PBSpinEdit2->SetValue(25);
            d.OKButton->click();
        }));
        const TProgrammZustand& z = f.Zustand;
        QCOMPARE(z.AutoSpeicher.Speicherbeginn, (TZeitpunkt{6, 12, 2001, 14, 30, 0}));
        QCOMPARE(z.AutoSpeicher.Speicherende, (TZeitpunkt{6, 12, 2001, 15, 30, 0}));
        QCOMPARE(f.Label10->text(), QStringLiteral("06.12.2001, 14:30:00"));
        QCOMPARE(f.Label11->text(), QStringLiteral("06.12.2001, 15:30:00"));
        QCOMPARE(int{z.Konfiguration.Speicherintervall}, 60);
        QVERIFY(z.Konfiguration.ZeitRaster);
        QVERIFY(!z.Konfiguration.MittelwertIntervall);
        QVERIFY(z.Konfiguration.GleitendesMittel);
        QVERIFY(z.Speicher.AutoSpeichernAktiv);
        QVERIFY(!z.Speicher.SofortSpeichernAktiv);
        QVERIFY(z.Speicher.Datendatei.IstOffen());
        QVERIFY(QFile::exists(QString::fromStdString(rig.Ordner.Datei("Daten.txt"))));
        QVERIFY(!f.SaveButton->isEnabled());
        QVERIFY(f.AutoSaveBtn->Down());
        QVERIFY(rig.Fehler.isEmpty());
        QCOMPARE(int{z.Konfiguration.AnzahlGleitMittel}, 25);
    }

    void okMitAutomatischemNamen() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        f.Zustand.Konfiguration.AutoDateiname = true;
        f.Zustand.Speicher.AnzahlGespeichert = 7;
        QVERIFY(Starten(f));
        QCOMPARE(f.Label12->text(), QStringLiteral("07122026.000"));
        QCOMPARE(f.Zustand.Speicher.AnzahlGespeichert, 0);
        QVERIFY(QFile::exists(QString::fromStdString(rig.Ordner.Datei("07122026.000"))));
    }

    void fehlenderOrdnerNimmtDenStartZurueck() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        FesterName(f, rig.Ordner.Datei("fehlt/Daten.txt"));
        f.Label14->setText(QStringLiteral("ENDE"));
        f.Label15->setText(QStringLiteral("ENDE"));
        QVERIFY(MitDialog(f, [](TAuto_Form& d) {
            Fenster(d, {6, 12, 2001, 14, 30, 0}, {6, 12, 2001, 15, 30, 0});
            d.RadioGroup1->Item(8)->click();
            d.RadioButton2->click();
            d.OKButton->click();
        }));
        THauptfensterRig::Abarbeiten();
        NichtAktiv(f);
        QCOMPARE(rig.Fehler.size(), 1);
        QVERIFY2(rig.Fehler.front().contains(QStringLiteral("fehlt/")),
                 qPrintable(rig.Fehler.front()));
        // What the dialog set stays the program's setting.
        const TProgrammZustand& z = f.Zustand;
        QCOMPARE(int{z.Konfiguration.Speicherintervall}, 300);
        QVERIFY(z.Konfiguration.MittelwertIntervall);
        QCOMPARE(z.AutoSpeicher.Speicherbeginn, (TZeitpunkt{6, 12, 2001, 14, 30, 0}));
        // Immediate saving can be switched on after it.
        FesterName(f, rig.Ordner.Datei("Daten.txt"));
        f.SaveButton->click();
        QVERIFY(f.Zustand.Speicher.SofortSpeichernAktiv);
    }

    void zweiterKlickBeendet() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        FesterName(f, rig.Ordner.Datei("Daten.txt"));
        QVERIFY(Starten(f));
        QVERIFY(f.Zustand.Speicher.Datendatei.IstOffen());
        f.WTW_Rx_Button->click();
        QVERIFY(rig.Empfangen(Ph7));
        QCOMPARE(f.Label14->text(), QStringLiteral("läuft"));
        // No dialog this time: the click stops.
        QVERIFY(!MitDialog(f, [](TAuto_Form& d) { d.CancelButton->click(); }));
        NichtAktiv(f);
        QVERIFY(rig.Fehler.isEmpty());
        // Readings after the stop are not written.
        const std::string inhalt = DateiLesen(rig.Ordner / "Daten.txt");
        QVERIFY(rig.Empfangen(Ph7));
        QCOMPARE(DateiLesen(rig.Ordner / "Daten.txt"), inhalt);
    }

    void messwertWirdGespeichert() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        FesterName(f, rig.Ordner.Datei("Daten.txt"));
        QVERIFY(Starten(f));
        QCOMPARE(f.Label10->text(), QStringLiteral("07.12.2026, 09:00:00"));
        f.WTW_Rx_Button->click();
        QVERIFY(rig.Empfangen(Ph7));
        QCOMPARE(DateiLesen(rig.Ordner / "Daten.txt"),
                 std::string("PC-Datum\tPC-Zeit\tWert\tEinheit\tTemp.\tEinheit\r\n"
                             "07.12.2026\t10:00:00\t  7,01\tpH\t 25,00\t\xB0"
                             "C\r\n"));
        QCOMPARE(f.Label14->text(), QStringLiteral("läuft"));
        QCOMPARE(f.Label15->text(), QStringLiteral("(3600s)"));
        QCOMPARE(f.Label13->text(), QStringLiteral("1"));
    }

    // After an unformatted measurement only the button of the kind of saving that is not
    // running comes back; the other one would end the running kind behind the user's back.
    void endeDerUnformatiertenMessungGibtNurDieAndereArtFrei() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        FesterName(f, rig.Ordner.Datei("Daten.txt"));
        const auto unformatiert = [&f] {
            f.Rx_Button->click();
            QVERIFY(!f.SaveButton->isEnabled() && !f.AutoSaveBtn->isEnabled());
            f.Rx_Button->click();
        };
        unformatiert();
        QVERIFY(f.SaveButton->isEnabled() && f.AutoSaveBtn->isEnabled());

        f.SaveButton->click();
        QVERIFY(f.Zustand.Speicher.SofortSpeichernAktiv);
        unformatiert();
        QVERIFY(f.SaveButton->isEnabled());
        QVERIFY(!f.AutoSaveBtn->isEnabled());
        f.SaveButton->click();
        QVERIFY(f.AutoSaveBtn->isEnabled());

        QVERIFY(Starten(f));
        unformatiert();
        QVERIFY(!f.SaveButton->isEnabled());
        QVERIFY(f.AutoSaveBtn->isEnabled());
        QVERIFY(f.Zustand.Speicher.AutoSpeichernAktiv);
        QVERIFY(f.Zustand.Speicher.Datendatei.IstOffen());
    }

    // A stop that comes while a paced refresh still holds the status of the last reading:
    // the refresh must not bring back "läuft" and "(3600s)".
    void stoppWaehrendDerAnzeigepauseBleibtSichtbar() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        FesterName(f, rig.Ordner.Datei("Daten.txt"));
        QVERIFY(Starten(f));
        f.WTW_Rx_Button->click();
        const auto* takt = f.findChild<QTimer*>(QStringLiteral("Anzeigetakt"));
        QVERIFY(takt != nullptr);
        // A reading right after a refresh is held back for the next one; a slow machine may
        // need a few tries to get there within the pause.
        bool gehalten = false;
        for (int versuch = 0; versuch < 20 && !gehalten; ++versuch) {
            QVERIFY(rig.Empfangen(Ph7));
            rig.Geraet->InjectReceived(Ph7);
            QVERIFY(QTest::qWaitFor([&rig] { return rig.Geraet->QueuedCount() == 0; }, 5000));
            gehalten = takt->isActive();
        }
        QVERIFY(gehalten);
        QVERIFY(!MitDialog(f, [](TAuto_Form& d) { d.CancelButton->click(); }));
        QVERIFY(QTest::qWaitFor([takt] { return !takt->isActive(); }, 5000));
        NichtAktiv(f);
    }
};

QUORLITS_WIDGET_TEST(TAutoSpeichernKnopfTest)
#include "autospeichern_knopf_test.moc"
