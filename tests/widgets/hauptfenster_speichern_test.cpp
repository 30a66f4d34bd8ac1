// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "DateiGroessenGrenze.h"
#include "HauptfensterRig.h"
#include "WidgetTest.h"

#include "framework/widgets/SpeedButton.h"
#include "framework/widgets/StringGrid.h"
#include "serial/ComPort.h"
#include "tests/unit/acquisition/Geraetetext.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include <string>

// Saving from the main window, its failures, and the end of the program with PHRX.CFG.
namespace {

const std::string Ph7 = Geraetetext(" 7.01 pH   25.0 °C{CR}{LF}");
const std::string KopfKurz = "PC-Datum\tPC-Zeit\tWert\tEinheit\tTemp.\tEinheit\r\n";
const std::string Zeile7 = "07.12.2026\t10:00:00\t  7,01\tpH\t 25,00\t\xB0"
                           "C\r\n";

std::string Wiederholt(const std::string& text, int anzahl) {
    std::string ergebnis;
    for (int i = 0; i < anzahl; ++i) {
        ergebnis += text;
    }
    return ergebnis;
}

// The value fields (first ten characters) of the lines of a PHRX.CFG.
QStringList Wertfelder(const std::string& inhalt) {
    QStringList felder;
    for (const QString& zeile : QString::fromLatin1(inhalt).split(QStringLiteral("\r\n"))) {
        if (!zeile.isEmpty()) {
            felder << zeile.left(10);
        }
    }
    return felder;
}

void FesterName(THauptfensterRig& rig, bool ueberschreiben) {
    rig.Form->Zustand.Konfiguration.AutoDateiname = false;
    rig.Form->Zustand.Konfiguration.Ueberschreiben = ueberschreiben;
}

} // namespace

class THauptfensterSpeichernTest : public QObject {
    Q_OBJECT

private slots:
    void ueberschreibenLeertDieDateiBeimKlick() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        FesterName(rig, true);
        DateiSchreiben(rig.Ordner / "Daten.txt", "alt\r\n");
        f.SaveButton->click();
        QCOMPARE(DateiLesen(rig.Ordner / "Daten.txt"), std::string());
        QCOMPARE(f.SaveButton->text(), QStringLiteral("Speichern AUS"));
        QVERIFY(f.SaveButton->Down());
        QVERIFY(!f.AutoSaveBtn->isEnabled());
        f.WTW_Rx_Button->click();
        QVERIFY(rig.Empfangen(Ph7));
        QCOMPARE(DateiLesen(rig.Ordner / "Daten.txt"), KopfKurz + Zeile7);
        QCOMPARE(f.Label13->text(), QStringLiteral("1"));
    }

    void anhaengenZaehltBisZurNaechstenMessung() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        FesterName(rig, false);
        f.SaveButton->click();
        f.WTW_Rx_Button->click();
        for (int i = 0; i < 3; ++i) {
            QVERIFY(rig.Empfangen(Ph7));
        }
        f.SaveButton->click();
        QCOMPARE(f.SaveButton->text(), QStringLiteral("Speichern EIN"));
        QVERIFY(f.AutoSaveBtn->isEnabled());
        f.SaveButton->click();
        for (int i = 0; i < 2; ++i) {
            QVERIFY(rig.Empfangen(Ph7));
        }
        QCOMPARE(DateiLesen(rig.Ordner / "Daten.txt"), KopfKurz + Wiederholt(Zeile7, 5));
        QCOMPARE(f.Label13->text(), QStringLiteral("5"));
        // A new measurement starts the count again: a second header line.
        f.WTW_Rx_Button->click();
        f.WTW_Rx_Button->click();
        QVERIFY(rig.Empfangen(Ph7));
        QCOMPARE(DateiLesen(rig.Ordner / "Daten.txt"),
                 KopfKurz + Wiederholt(Zeile7, 5) + KopfKurz + Zeile7);
        QCOMPARE(f.Label13->text(), QStringLiteral("1"));
    }

    void erzeugteNamenFolgenAufeinander() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        f.SaveButton->click();
        QCOMPARE(f.Label12->text(), QStringLiteral("07122026.000"));
        f.SaveButton->click();
        f.SaveButton->click();
        QCOMPARE(f.Label12->text(), QStringLiteral("07122026.001"));
        QVERIFY(QFile::exists(QString::fromStdString(rig.Ordner.Datei("07122026.001"))));
    }

    void misslungenerStartWirdZurueckgenommenUndBegruendet() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        FesterName(rig, false);
        f.Zustand.Konfiguration.Ausgabedatei = rig.Ordner.Datei("fehlt/Daten.txt");
        f.SaveButton->click();
        THauptfensterRig::Abarbeiten();
        QVERIFY(!f.Zustand.Speicher.SofortSpeichernAktiv);
        QVERIFY(!f.SaveButton->Down());
        QCOMPARE(f.SaveButton->text(), QStringLiteral("Speichern EIN"));
        QVERIFY(f.AutoSaveBtn->isEnabled());
        QCOMPARE(rig.Fehler.size(), 1);
        QVERIFY2(rig.Fehler.front().startsWith(QStringLiteral("Speichern nicht möglich")) &&
                     rig.Fehler.front().contains(QStringLiteral("fehlt/")),
                 qPrintable(rig.Fehler.front()));
    }

    void schreibfehlerEinKastenUndEmpfangGehtWeiter() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        FesterName(rig, false);
        f.Zustand.Konfiguration.Ausgabedatei = "/dev/full";
        f.SaveButton->click();
        QVERIFY(f.Zustand.Speicher.SofortSpeichernAktiv);
        f.WTW_Rx_Button->click();
        QVERIFY(rig.Empfangen(Ph7 + Ph7));
        THauptfensterRig::Abarbeiten();
        QCOMPARE(rig.Fehler, QStringList{QStringLiteral("Zu wenig Speicherplatz")});
        QCOMPARE(f.StringGrid1->Cells(2, 2), QStringLiteral("  7.01"));
        QVERIFY(rig.Empfangen(Ph7));
        QCOMPARE(f.StringGrid1->Cells(2, 3), QStringLiteral("  7.01"));
        // Saving stays on; the user decides.
        QVERIFY(f.Zustand.Speicher.SofortSpeichernAktiv);
        QVERIFY(f.ComPort().Connected());
    }

    // A disk that fills up in the middle of a line: the line is taken back, the box says why,
    // saving goes on, the reading that did not fit waits in memory, and once there is room it
    // is written before the readings that follow: none is lost.
    void vollePlatteHinterlaesstNurGanzeZeilen() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        FesterName(rig, true);
        f.SaveButton->click();
        f.WTW_Rx_Button->click();
        QVERIFY(rig.Empfangen(Ph7));
        {
            TDateiGroessenGrenze grenze(KopfKurz.size() + Zeile7.size() + 20);
            QVERIFY(rig.Empfangen(Ph7));
            THauptfensterRig::Abarbeiten();
        }
        // The data file's box, and the audit trail's, which the full disk holds up as well.
        QVERIFY2(rig.Fehler.size() == 2 &&
                     rig.Fehler[1].startsWith(QStringLiteral("Das Prüfprotokoll")),
                 qPrintable(rig.Fehler.join(QStringLiteral(" | "))));
        QCOMPARE(DateiLesen(rig.Ordner / "Daten.txt"), KopfKurz + Zeile7);
        QVERIFY(f.Zustand.Speicher.SofortSpeichernAktiv);
        QVERIFY(rig.Empfangen(Ph7));
        QCOMPARE(DateiLesen(rig.Ordner / "Daten.txt"), KopfKurz + Zeile7 + Zeile7 + Zeile7);
        QCOMPARE(f.Label13->text(), QStringLiteral("3"));
    }

    // When all thousand names of the day are taken, the start fails and the label keeps what
    // it showed: the name of the file that is not being written must not appear.
    void alleNamenVergebenLaesstDasDateilabel() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        for (int i = 0; i < 1000; ++i) {
            const std::string endung = std::to_string(1000 + i).substr(1);
            DateiSchreiben(rig.Ordner / ("07122026." + endung), "");
        }
        const QString vorher = f.Label12->text();
        f.SaveButton->click();
        THauptfensterRig::Abarbeiten();
        QVERIFY2(rig.Fehler.size() == 1, qPrintable(rig.Fehler.join(QStringLiteral(" | "))));
        QVERIFY(!f.Zustand.Speicher.SofortSpeichernAktiv);
        QCOMPARE(f.Label12->text(), vorher);
    }

    void endeLesenBeiOffenemFehlerkasten() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        FehlerboxAnschliessen(&f); // the real box
        FesterName(rig, false);
        f.Zustand.Konfiguration.Ausgabedatei = "/dev/full";
        f.SaveButton->click();
        f.WTW_Rx_Button->click();
        bool beendet = false;
        // Once the box is open: end the measurement from inside its loop, then close it.
        QTimer waechter;
        waechter.setInterval(10);
        connect(&waechter, &QTimer::timeout, &f, [&] {
            QWidget* kasten = QApplication::activeModalWidget();
            if (kasten == nullptr) {
                return;
            }
            waechter.stop();
            f.WTW_Rx_Button->click();
            beendet = !f.ComPort().Connected();
            kasten->close();
        });
        waechter.start();
        rig.Geraet->InjectReceived(Ph7);
        QVERIFY(QTest::qWaitFor([&] { return beendet; }, 10000));
        QCOMPARE(f.WTW_Rx_Button->text(), QStringLiteral("WTW-Lesen"));
    }

    void autospeichernZeigtDenStand() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        TProgrammZustand& z = f.Zustand;
        z.Speicher.AutoSpeichernAktiv = true;
        QVERIFY(SpeichernStarten(z.Speicher, z.Konfiguration, THauptfensterRig::Uhrzeit()));
        z.AutoSpeicher.Speicherbeginn = TZeitpunkt{7, 12, 2026, 9, 0, 0};
        z.AutoSpeicher.Speicherende = TZeitpunkt{7, 12, 2026, 11, 0, 0};
        f.WTW_Rx_Button->click();
        QVERIFY(rig.Empfangen(Ph7));
        QCOMPARE(f.Label14->text(), QStringLiteral("läuft"));
        QCOMPARE(f.Label15->text(), QStringLiteral("(3600s)"));
        QCOMPARE(f.Label13->text(), QStringLiteral("1"));
        z.AutoSpeicher.Speicherbeginn = TZeitpunkt{7, 12, 2026, 10, 2, 0};
        QVERIFY(rig.Empfangen(Ph7));
        QCOMPARE(f.Label14->text(), QStringLiteral("(120s)"));
        QCOMPARE(f.Label15->text(), QStringLiteral("..."));
    }

    void ersterStartOhneKonfigurationUndEndeKnopf() {
        THauptfensterRig rig;
        QVERIFY(!std::filesystem::exists(rig.Konfigurationsdatei()));
        rig.Form->ENDEButton->click();
        QVERIFY(!rig.Form->isVisible());
        const QStringList erwartet{"1         ", "0         ", "0         ", "0         ",
                                   "0         ", "10        ", "0         "};
        QCOMPARE(Wertfelder(DateiLesen(rig.Konfigurationsdatei())), erwartet);
    }

    void konfigurationWirdVorDemErstenLayoutGelesen() {
        THauptfensterRig rig("0         ; a\r\n1         ; b\r\n0\r\n0\r\n0\r\n25\r\n30\r\n");
        TProgrammZustand& z = rig.Form->Zustand;
        QVERIFY(!z.Konfiguration.AutoDateiname);
        QVERIFY(z.Konfiguration.Ueberschreiben);
        QCOMPARE(z.Konfiguration.AnzahlGleitMittel, 25);
        QCOMPARE(z.Konfiguration.Speicherintervall, 30);
        QCOMPARE(rig.Form->Label12->text(), QStringLiteral("Daten.txt"));
    }

    void schliessfeldSchreibtKonfigurationUndSchliesstDatei() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        FesterName(rig, false);
        f.SaveButton->click();
        f.WTW_Rx_Button->click();
        f.Zustand.Konfiguration.AnzahlGleitMittel = 25;
        f.close();
        QVERIFY(!f.ComPort().Connected());
        QCOMPARE(f.WTW_Rx_Button->text(), QStringLiteral("WTW-Lesen"));
        QVERIFY(!f.Zustand.Speicher.Datendatei.IstOffen());
        QCOMPARE(Wertfelder(DateiLesen(rig.Konfigurationsdatei())).value(5),
                 QStringLiteral("25        "));
    }
};

QUORLITS_WIDGET_TEST(THauptfensterSpeichernTest)
#include "hauptfenster_speichern_test.moc"
