// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "HauptfensterRig.h"
#include "ModalerDialog.h"
#include "WidgetTest.h"

#include "audit/Protokoll.h"
#include "framework/widgets/SpeedButton.h"
#include "mainwindow/PrgOptionenFrm.h"
#include "measurement/Messung.h"
#include "tests/unit/acquisition/Geraetetext.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <string>

// Sample, operator and electrode typed into the main window, and the audit trail a session of
// clicks leaves beside the data file.
namespace {

const std::string Ph7 = Geraetetext(" 7.01 pH   25.0 °C{CR}{LF}");

void FesterName(THauptfensterRig& rig) {
    rig.Form->Zustand.Konfiguration.AutoDateiname = false;
    rig.Form->Zustand.Konfiguration.Ueberschreiben = true;
}

// The data file's last line.
QString LetzteZeile(const THauptfensterRig& rig) {
    const QStringList zeilen = QString::fromLatin1(DateiLesen(rig.Ordner / "Daten.txt"))
                                   .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    return zeilen.isEmpty() ? QString() : zeilen.back();
}

// Event and details of each line of the data file's trail.
QStringList Ereignisse(const THauptfensterRig& rig) {
    QStringList ereignisse;
    const QString text =
        QString::fromStdString(DateiLesen(ProtokollPfad(rig.Ordner.Datei("Daten.txt"))));
    for (const QString& zeile : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList felder = zeile.split(QLatin1Char('\t'));
        ereignisse << (felder.size() > 4 ? felder[3] + QStringLiteral(": ") + felder[4] : zeile);
    }
    return ereignisse;
}

} // namespace

class THauptfensterAngabenTest : public QObject {
    Q_OBJECT

private slots:
    // A scanner types the sample and Return: nothing is taken per keystroke, Return takes the
    // sample for the next data line and gives the focus back to the field it came from.
    void probeMitReturnGehtInDieNaechsteZeile() {
        THauptfensterRig rig(TRigStart{{}, {}, {}, "[Messung]\nAngabenInDatei=true\n"});
        TForm1& f = *rig.Form;
        FesterName(rig);
        QCOMPARE(f.BedienerEdit->text(), QString::fromStdString(AnmeldeName()));
        f.SaveButton->click();
        f.WTW_Rx_Button->click();
        QVERIFY(rig.Empfangen(Ph7));
        const QString bediener = QLatin1Char('\t') + f.BedienerEdit->text();
        QVERIFY2(LetzteZeile(rig).endsWith(QStringLiteral("\t") + bediener + QLatin1Char('\t')),
                 qPrintable(LetzteZeile(rig)));
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.Edit_Data->setFocus();
        QVERIFY(QTest::qWaitFor([&f] { return f.Edit_Data->hasFocus(); }));
        f.ProbeEdit->setFocus();
        QVERIFY(QTest::qWaitFor([&f] { return f.ProbeEdit->hasFocus(); }));
        QTest::keyClicks(f.ProbeEdit, QStringLiteral("P-17"));
        QCOMPARE(QString::fromStdString(f.Zustand.Speicher.Angaben.Probe), QString());
        QTest::keyClick(f.ProbeEdit, Qt::Key_Return);
        QVERIFY(QTest::qWaitFor([&f] { return f.Edit_Data->hasFocus(); }));
        QVERIFY(rig.Empfangen(Ph7));
        QVERIFY2(LetzteZeile(rig).endsWith(QStringLiteral("\tP-17") + bediener + QLatin1Char('\t')),
                 qPrintable(LetzteZeile(rig)));
        QVERIFY2(rig.Fehler.isEmpty(), qPrintable(rig.Fehler.join(QStringLiteral(" | "))));
    }

    // Start, saving on, a sample with its reason, saving off, end, a setting changed in
    // "Speicheroptionen" and the end of the program: each once, in this order, in the trail.
    void sitzungImProtokoll() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        FesterName(rig);
        const std::string datei = rig.Ordner.Datei("Daten.txt");
        f.WTW_Rx_Button->click();
        f.SaveButton->click();
        f.GrundEdit->setText(QStringLiteral("neue Charge"));
        f.ProbeEdit->setText(QStringLiteral("P-18"));
        emit f.ProbeEdit->editingFinished();
        QVERIFY(rig.Empfangen(Ph7));
        f.SaveButton->click();
        f.WTW_Rx_Button->click();
        TModalerDialog<TPrgOptionenForm> dialog([](TPrgOptionenForm& d) {
            d.AngabenInDatei->setChecked(true);
            d.OKButton->click();
        });
        f.Option_Btn->click();
        QVERIFY(dialog.Bedient());
        f.close();
        const QStringList erwartet{
            QStringLiteral("Probe:  → P-18 (Grund: neue Charge)"),
            QStringLiteral("Speichern aus: ") + QString::fromStdString(datei),
            QStringLiteral("Messende: WTW"),
            // The dialog shows the working directory, and OK takes the file name there.
            QStringLiteral("Einstellung: Speicheroptionen: Ausgabedatei: ") +
                QString::fromStdString(datei) + QStringLiteral(" → ") + QDir::currentPath() +
                QStringLiteral("/Daten.txt"),
            QStringLiteral("Einstellung: Speicheroptionen: Probe, Bediener und Elektrode in die "
                           "Datendatei: nein → ja"),
            QStringLiteral("Programmende: ")};
        const QStringList ereignisse = Ereignisse(rig);
        // A new trail begins its chain first; the events that waited for the data file follow.
        QVERIFY2(ereignisse.size() >= 5 &&
                     ereignisse[0].startsWith(QStringLiteral("Kette begonnen")) &&
                     ereignisse[1].startsWith(QStringLiteral("Programmstart")) &&
                     ereignisse[2].startsWith(QStringLiteral("Messbeginn")) &&
                     ereignisse[3].startsWith(QStringLiteral("Speichern ein")),
                 qPrintable(ereignisse.join(QStringLiteral(" | "))));
        QCOMPARE(ereignisse.mid(4), erwartet);
        QVERIFY2(rig.Fehler.isEmpty(), qPrintable(rig.Fehler.join(QStringLiteral(" | "))));
    }
};

QUORLITS_WIDGET_TEST(THauptfensterAngabenTest)
#include "hauptfenster_angaben_test.moc"
