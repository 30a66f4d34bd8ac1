// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "HauptfensterRig.h"
#include "WidgetTest.h"

#include "app/Einstellungen.h"
#include "framework/widgets/Memo.h"
#include "framework/widgets/SpeedButton.h"
#include "framework/widgets/StringGrid.h"
#include "mainwindow/FehlerboxAnschluss.h"
#include "serial/ComPort.h"
#include "serial/ComPortDevices.h"
#include "serial/platform/PosixComDevice.h"
#include "tests/unit/acquisition/Geraetetext.h"
#include "tests/unit/common/TestPty.h"
#include "tests/unit/serial/FakeDeviceTree.h"
#include "tests/unit/serial/SerialDeviceSamples.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <string>

// A device that goes away during a measurement and comes back: the measurement, its saving
// and its data file go on.
namespace {

const std::string Ph7 = Geraetetext(" 7.01 pH   25.0 °C{CR}{LF}");
const std::string Kopf = "PC-Datum\tPC-Zeit\tWert\tEinheit\tTemp.\tEinheit\r\n";
const std::string Zeile7 = "07.12.2026\t10:00:00\t  7,01\tpH\t 25,00\t\xB0"
                           "C\r\n";

// Pulls the line: the event thread ends, and the window hears of it.
bool Abziehen(THauptfensterRig& rig) {
    rig.Geraet->FailWith(TFakeOp::Open, ENOENT);
    rig.Geraet->HangUp(EIO);
    return QTest::qWaitFor([&rig] { return rig.Form->WartetAufGeraet(); }, 10000);
}

bool LampenGrau(const TForm1& f) {
    return !f.findChild<QWidget*>(QStringLiteral("Lampenfeld"))->isEnabled();
}

// Whether the label beside the memo length shows its whole text at the window's size and at
// its smallest, before the chart button, with the table below it still whole.
bool GanzLesbar(TForm1& f) {
    const QLabel& label = *f.Verbindung;
    const auto* speicherLeiste = f.findChild<QWidget*>(QStringLiteral("SpeicherLeiste"));
    for (const QSize groesse : {QSize(598, 527), f.minimumSize()}) {
        f.resize(groesse);
        THauptfensterRig::Abarbeiten();
        const QRect platz = label.contentsRect();
        const QRect noetig = label.fontMetrics().boundingRect(
            platz, static_cast<int>(label.alignment()) | Qt::TextWordWrap, label.text());
        const QPoint tabelleBis(0, f.StringGrid1->minimumHeight());
        if (noetig.width() > platz.width() || noetig.height() > platz.height() ||
            label.geometry().right() >= f.VerlaufButton->geometry().left() ||
            f.StringGrid1->mapTo(&f, tabelleBis).y() > speicherLeiste->y()) {
            return false;
        }
    }
    return true;
}

// Refuses opens while `Verweigern` counts down, as while udev has not yet given a new device
// node its group: the node is there, but opening it is not allowed.
class TSpaeteRechte : public TRealSysCalls {
public:
    int Open(const char* path, int flags) override {
        if (Verweigern.load() > 0) {
            --Verweigern;
            errno = EACCES;
            return -1;
        }
        return TRealSysCalls::Open(path, flags);
    }
    std::atomic<int> Verweigern{0};
};

bool ImMemo(const TForm1& f, const QString& text) {
    return QTest::qWaitFor([&] { return f.Memo->toPlainText().contains(text); }, 10000);
}

const QTimer* Takt(const TForm1& f) {
    return f.findChild<QTimer*>(QStringLiteral("Wiederverbindentakt"));
}

} // namespace

class TWiederverbindenTest : public QObject {
    Q_OBJECT

private slots:
    void messungUndDateiGehenNachDerRueckkehrWeiter() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        f.Zustand.Konfiguration.AutoDateiname = false;
        f.WTW_Rx_Button->click();
        f.SaveButton->click();
        QVERIFY(rig.Empfangen(Ph7));
        // The line goes in the middle of a record.
        QVERIFY(rig.Empfangen(Ph7.substr(0, 8)));
        QVERIFY(Abziehen(rig));
        QVERIFY(rig.Fehler.isEmpty());
        QCOMPARE(f.WTW_Rx_Button->text(), QStringLiteral("Ende Lesen"));
        QVERIFY(!f.Send_Btn->isEnabled());
        QVERIFY(!f.ComPort().Connected());
        QVERIFY(Takt(f) != nullptr && Takt(f)->isActive());
        QCOMPARE(f.Verbindung->text(),
                 QStringLiteral("Getrennt seit 10:00:00: Verbindung unterbrochen"));
        QVERIFY(f.Verbindung->toolTip().contains(QStringLiteral("COM1")));
        QVERIFY(LampenGrau(f));
        // However long the text, the window keeps the width it had.
        QVERIFY2(f.minimumSizeHint().width() <= 598,
                 qPrintable(QString::number(f.minimumSizeHint().width())));
        // Tries that fail keep the wait and say why.
        f.WiederverbindenVersuchen();
        QVERIFY(f.WartetAufGeraet());
        QVERIFY(f.Verbindung->text().endsWith(QStringLiteral(": Gerät nicht vorhanden")));
        rig.Geraet->FailWith(TFakeOp::Open, EACCES);
        f.WiederverbindenVersuchen();
        QVERIFY(f.Verbindung->text().endsWith(QStringLiteral(": keine Zugriffsrechte")));
        // Back: the same name, the same settings, no caption changed on the way.
        rig.Geraet->FailWith(TFakeOp::Open, 0);
        f.WiederverbindenVersuchen();
        QVERIFY(!f.WartetAufGeraet());
        QVERIFY(f.ComPort().Connected());
        QVERIFY(!Takt(f)->isActive());
        QCOMPARE(rig.Geraet->OpenedName(), f.ComPort().Port());
        QCOMPARE(rig.Geraet->OpenCount(), 2);
        QCOMPARE(f.WTW_Rx_Button->text(), QStringLiteral("Ende Lesen"));
        QVERIFY(f.Send_Btn->isEnabled());
        QVERIFY(!LampenGrau(f));
        QCOMPARE(f.Verbindung->text(),
                 QStringLiteral("Unterbrechungen: 1, zuletzt 10:00:00 bis 10:00:00"));
        // The rest of the cut record is not joined to anything; the next record is saved into
        // the same file, under the one header.
        QVERIFY(rig.Empfangen(Ph7.substr(8) + Ph7));
        QCOMPARE(DateiLesen(rig.Ordner / "Daten.txt"), Kopf + Zeile7 + Zeile7);
        QCOMPARE(f.Zustand.Speicher.AnzahlGespeichert, 2);
        QVERIFY(rig.Fehler.isEmpty());
        f.WTW_Rx_Button->click();
        QCOMPARE(f.WTW_Rx_Button->text(), QStringLiteral("WTW-Lesen"));
    }

    // A USB adapter is known by its identity: pulled out, another device plugged in under its
    // name is left alone, and the adapter is followed to the name it comes back under.
    void derAdapterWirdAnSeinerKennungErkannt() {
        const TFakeDeviceTree baum;
        SetComPortDeviceTree(baum.Tree());
        const std::shared_ptr<void> zurueck(nullptr, [](void*) { SetComPortDeviceTree({}); });
        const TSerialDevice ftdi = FtdiAdapter("/dev/ttyUSB0", "A50285BI");
        baum.AddUsb(ftdi);
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        f.ComPort().SetPort("/dev/ttyUSB0");
        f.WTW_Rx_Button->click();
        baum.Remove("ttyUSB0");
        QVERIFY(Abziehen(rig));
        rig.Geraet->FailWith(TFakeOp::Open, 0); // the fake device would open anything
        f.WiederverbindenVersuchen();
        QVERIFY(f.Verbindung->text().endsWith(QStringLiteral(": Adapter nicht angeschlossen")));
        baum.AddUsb(Ch340Adapter("/dev/ttyUSB0", "1-1.3"));
        f.WiederverbindenVersuchen();
        QVERIFY(f.Verbindung->text().endsWith(
            QStringLiteral(": unter /dev/ttyUSB0 steckt ein anderes Gerät")));
        QCOMPARE(rig.Geraet->OpenCount(), 1);
        // Back under a new name: the plug watch or the next tick opens it, unprompted.
        baum.AddUsb(FtdiAdapter("/dev/ttyUSB1", "A50285BI"));
        QVERIFY(QTest::qWaitFor([&f] { return !f.WartetAufGeraet(); }, 5000));
        QCOMPARE(rig.Geraet->OpenedName(), "/dev/ttyUSB1");
        QVERIFY(f.Verbindung->toolTip().contains(QStringLiteral("/dev/ttyUSB1")));
        QCOMPARE(f.WTW_Rx_Button->text(), QStringLiteral("Ende Lesen"));
        // Two adapters with the adapter's identity: neither is guessed.
        baum.Remove("ttyUSB1");
        QVERIFY(Abziehen(rig));
        rig.Geraet->FailWith(TFakeOp::Open, 0);
        for (const std::string nummer : {"2", "3"}) {
            TSerialDevice zwilling = FtdiAdapter("/dev/ttyUSB" + nummer, "A50285BI", "1-" + nummer);
            zwilling.ById.clear();
            baum.AddUsb(zwilling);
        }
        f.WiederverbindenVersuchen();
        QVERIFY(f.Verbindung->text().endsWith(
            QStringLiteral(": mehrere gleiche Adapter angeschlossen, keiner wird gewählt")));
        QVERIFY2(GanzLesbar(f), qPrintable(f.Verbindung->text())); // the longest of the texts
        QCOMPARE(rig.Geraet->OpenCount(), 2);
        QVERIFY(rig.Fehler.isEmpty());
        f.WTW_Rx_Button->click();
    }

    // The real device layer on a pseudo-terminal behind a link, pulled and plugged in again as
    // a new terminal whose node refuses the first opens: the wait says why and tries again
    // until the open is allowed.
    void spaeteZugriffsrechteWerdenAbgewartet() {
        TTestOrdner ordner;
        auto pty = std::make_unique<TPty>();
        const std::filesystem::path link = ordner / "messgeraet";
        std::filesystem::create_symlink(pty->Path(), link);
        TSpaeteRechte sys;
        TFormOptionen optionen;
        optionen.KonfigurationsDatei = ordner / "PHRX.CFG";
        optionen.Port = link.string();
        optionen.Geraet = std::make_unique<TPosixComDevice>(sys);
        TForm1 f(std::move(optionen));
        QStringList fehler;
        FehlerboxAnschliessen(&f, [&fehler](const QString& text) { fehler << text; });
        const std::shared_ptr<void> trennen(nullptr, [](void*) { FehlerboxTrennen(); });
        f.show();
        QVERIFY(QTest::qWaitFor([&f] { return f.Eingerichtet(); }, 5000));
        f.Rx_Button->click();
        QVERIFY(pty->Send("vorher"));
        QVERIFY(ImMemo(f, QStringLiteral("vorher")));
        pty->CloseMaster();
        QVERIFY(QTest::qWaitFor([&f] { return f.WartetAufGeraet(); }, 10000));
        sys.Verweigern = 2;
        pty = std::make_unique<TPty>();
        std::filesystem::remove(link);
        std::filesystem::create_symlink(pty->Path(), link);
        QVERIFY(QTest::qWaitFor(
            [&f] { return f.Verbindung->text().endsWith(QStringLiteral("keine Zugriffsrechte")); },
            10000));
        QVERIFY(QTest::qWaitFor([&f] { return !f.WartetAufGeraet(); }, 10000));
        QCOMPARE(sys.Verweigern.load(), 0);
        QCOMPARE(f.ComPort().Port(), link.string());
        QVERIFY(pty->Send("nachher"));
        QVERIFY(ImMemo(f, QStringLiteral("nachher")));
        QCOMPARE(f.Rx_Button->text(), QStringLiteral("Ende Lesen"));
        QVERIFY2(fehler.isEmpty(), qPrintable(fehler.join('\n')));
        f.Rx_Button->click();
    }

    // Each text of the line's state can be read whole, and the tool tip begins with it.
    void zustandstexteSindGanzLesbar_data() {
        QTest::addColumn<int>("fehler"); // of a try to reopen; 0: it opens, -1: no try
        QTest::newRow("getrennt") << -1;
        QTest::newRow("nicht vorhanden") << ENOENT;
        QTest::newRow("belegt") << EBUSY;
        QTest::newRow("Text des Systems") << ESHUTDOWN;
        QTest::newRow("Unterbrechungen") << 0;
    }

    void zustandstexteSindGanzLesbar() {
        QFETCH(int, fehler);
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        f.WTW_Rx_Button->click();
        QVERIFY(Abziehen(rig));
        if (fehler >= 0) {
            rig.Geraet->FailWith(TFakeOp::Open, fehler);
            f.WiederverbindenVersuchen();
        }
        QCOMPARE(f.WartetAufGeraet(), fehler != 0);
        QVERIFY(!f.Verbindung->text().isEmpty());
        QVERIFY2(GanzLesbar(f), qPrintable(f.Verbindung->text()));
        QCOMPARE(f.Verbindung->toolTip().section(QLatin1Char('\n'), 0, 0), f.Verbindung->text());
        f.WTW_Rx_Button->click();
        QVERIFY(rig.Fehler.isEmpty());
    }

    void endeLesenBeendetDasWarten() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        f.Rx_Button->click();
        QVERIFY(Abziehen(rig));
        QCOMPARE(f.Rx_Button->text(), QStringLiteral("Ende Lesen"));
        f.Rx_Button->click();
        QVERIFY(!f.WartetAufGeraet());
        QVERIFY(!Takt(f)->isActive());
        QCOMPARE(f.Rx_Button->text(), QStringLiteral("RS232 Lesen"));
        QVERIFY(f.Send_Btn->isEnabled());
        QVERIFY(f.WTW_Rx_Button->isEnabled());
        // A new measurement starts with no interruptions.
        rig.Geraet->FailWith(TFakeOp::Open, 0);
        f.Rx_Button->click();
        QVERIFY(f.ComPort().Connected());
        QCOMPARE(f.Verbindung->text(), QString());
        QVERIFY(rig.Fehler.isEmpty());
    }

    void ohneWiederverbindenWirdDerVerlustGemeldet() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        f.Einstellungen.AutomatischWiederverbinden = false;
        f.WTW_Rx_Button->click();
        rig.Geraet->HangUp(EIO);
        QVERIFY(QTest::qWaitFor([&rig] { return !rig.Fehler.isEmpty(); }, 10000));
        QCOMPARE(rig.Fehler.size(), 1);
        QVERIFY(!f.WartetAufGeraet());
        QVERIFY(f.ComPort().Connected());
    }

    // The setting is read at start from quorlits.conf beside PHRX.CFG.
    void dieEinstellungKommtAusQuorlitsConf() {
        THauptfensterRig rig;
        QVERIFY(rig.Form->Einstellungen.AutomatischWiederverbinden);
        TEinstellungen aus;
        aus.AutomatischWiederverbinden = false;
        EinstellungenSchreiben(EinstellungenPfad(rig.Konfigurationsdatei()), aus);
        TFormOptionen optionen;
        optionen.KonfigurationsDatei = rig.Konfigurationsdatei();
        optionen.Geraet = std::make_unique<TFakeComDevice>();
        TForm1 zweites(std::move(optionen));
        zweites.show();
        QVERIFY(QTest::qWaitFor([&zweites] { return zweites.Eingerichtet(); }, 5000));
        QVERIFY(!zweites.Einstellungen.AutomatischWiederverbinden);
    }
};

QUORLITS_WIDGET_TEST(TWiederverbindenTest)
#include "wiederverbinden_test.moc"
