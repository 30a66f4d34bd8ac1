// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "WidgetTest.h"
#include "serial/ComPort.h"
#include "serial/platform/FakeComDevice.h"
#include "serial/widgets/CPortCtl.h"
#include "serial/widgets/CPortSetup.h"
#include "tests/unit/serial/FakeDeviceTree.h"
#include "tests/unit/serial/SerialDeviceSamples.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QStringList>
#include <QTest>

#include <memory>

// The device list of the setup dialog: the open list describes each device, the closed list and
// the port get its name, and the list follows devices plugged in and out while it is shown.
namespace {

// Generous: a fake tree is looked at once a second.
constexpr int FolgenMs = 5000;

const QString Ftdi = QStringLiteral("/dev/ttyUSB0");
const QString Ch340 = QStringLiteral("/dev/ttyUSB1");
const QString Com1 = QStringLiteral("/dev/ttyS0");

struct TGeraete {
    TGeraete() {
        Baum.AddUsb(FtdiAdapter(Ftdi.toStdString(), "A50285BI", "1-1.2"));
        Baum.AddMainboard(MainboardPort(Com1.toStdString()));
        SetComPortSysfsRoot(Baum.Ordner.Pfad());
    }
    ~TGeraete() { SetComPortSysfsRoot({}); }
    TGeraete(const TGeraete&) = delete;
    TGeraete& operator=(const TGeraete&) = delete;

    TFakeDeviceTree Baum;
};

struct TDialogMitPort {
    explicit TDialogMitPort(const QString& name)
        : Port(std::make_unique<TFakeComDevice>()) {
        Port.SetPort(name.toStdString());
        Dialog.Combo1->SetComPort(&Port);
    }
    TComPort Port;
    TComSetupFrm Dialog;
};

QStringList Eintraege(const QComboBox& liste) {
    QStringList texte;
    for (int i = 0; i < liste.count(); ++i) {
        texte << liste.itemText(i);
    }
    return texte;
}

QString Beschreibung(const QComboBox& liste, const QString& name) {
    return liste.itemData(liste.findText(name), TComComboBox::DescriptionRole).toString();
}

} // namespace

class ComSetupGeraeteTest : public QObject {
    Q_OBJECT
private slots:
    void ListeBeschreibtGeraete();
    void ListeFolgtDemEinstecken();
};

void ComSetupGeraeteTest::ListeBeschreibtGeraete() {
    const TGeraete geraete;
    TDialogMitPort d(Ftdi);
    TComComboBox& liste = *d.Dialog.Combo1;
    QCOMPARE(Eintraege(liste), QStringList({Com1, Ftdi}));
    QCOMPARE(liste.currentText(), Ftdi);
    const QString ftdi =
        QStringLiteral("/dev/ttyUSB0 — FTDI FT232R USB UART, Nr. A50285BI (ftdi_sio)");
    QCOMPARE(Beschreibung(liste, Ftdi), ftdi);
    QCOMPARE(Beschreibung(liste, Com1), QStringLiteral("/dev/ttyS0 (serial8250)"));
    QVERIFY(liste.itemData(liste.findText(Ftdi), Qt::ToolTipRole)
                .toString()
                .contains(QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI")));
    // The open list lays its entries out by their descriptions, wider than the closed list.
    QVERIFY(liste.view()->sizeHintForColumn(0) >=
            QFontMetrics(liste.view()->font()).horizontalAdvance(ftdi));
    QVERIFY(liste.view()->minimumWidth() > liste.width());

    // A choice hands the port the device's name, as the plain list did.
    const int index = liste.findText(Com1);
    liste.setCurrentIndex(index);
    emit liste.activated(index);
    liste.ApplyToPort();
    QCOMPARE(QString::fromStdString(d.Port.Port()), Com1);
}

void ComSetupGeraeteTest::ListeFolgtDemEinstecken() {
    const TGeraete geraete;
    TDialogMitPort d(Ftdi);
    TComComboBox& liste = *d.Dialog.Combo1;
    d.Dialog.show();

    geraete.Baum.AddUsb(Ch340Adapter(Ch340.toStdString(), "1-1.3"));
    QTRY_COMPARE_WITH_TIMEOUT(Eintraege(liste), QStringList({Com1, Ftdi, Ch340}), FolgenMs);
    QCOMPARE(liste.currentText(), Ftdi);
    QCOMPARE(Beschreibung(liste, Ch340), QStringLiteral("/dev/ttyUSB1 — USB Serial (ch341)"));

    // The chosen adapter pulled out stays chosen by its name, without a description.
    geraete.Baum.Remove("ttyUSB0");
    QTRY_COMPARE_WITH_TIMEOUT(Eintraege(liste), QStringList({Com1, Ch340, Ftdi}), FolgenMs);
    QCOMPARE(liste.currentText(), Ftdi);
    QVERIFY(!liste.itemData(liste.currentIndex(), TComComboBox::DescriptionRole).isValid());

    // Back again it is a device of the list once more.
    geraete.Baum.AddUsb(FtdiAdapter(Ftdi.toStdString(), "A50285BI", "1-1.2"));
    QTRY_COMPARE_WITH_TIMEOUT(Eintraege(liste), QStringList({Com1, Ftdi, Ch340}), FolgenMs);
    QCOMPARE(liste.currentText(), Ftdi);
    QVERIFY(Beschreibung(liste, Ftdi).contains(QStringLiteral("A50285BI")));

    // Another device going changes no choice of the user.
    const int index = liste.findText(Com1);
    liste.setCurrentIndex(index);
    emit liste.activated(index);
    geraete.Baum.Remove("ttyUSB1");
    QTRY_COMPARE_WITH_TIMEOUT(Eintraege(liste), QStringList({Com1, Ftdi}), FolgenMs);
    QCOMPARE(liste.currentText(), Com1);
    QCOMPARE(QString::fromStdString(liste.Select().PortName()), Com1);
}

QUORLITS_WIDGET_TEST(ComSetupGeraeteTest)
#include "comsetup_geraete_test.moc"
