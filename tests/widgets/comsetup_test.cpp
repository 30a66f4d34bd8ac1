// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "WidgetTest.h"
#include "serial/ComPort.h"
#include "serial/EComPort.h"
#include "serial/platform/FakeComDevice.h"
#include "serial/widgets/CPortCtl.h"
#include "serial/widgets/CPortSetup.h"
#include "tests/widgets/ComSysfsRig.h"

#include <QApplication>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <cerrno>
#include <exception>
#include <functional>
#include <memory>
#include <string>

namespace {

struct TPortMitFake {
    TPortMitFake() {
        auto geraet = std::make_unique<TFakeComDevice>();
        Fake = geraet.get();
        Port = std::make_unique<TComPort>(std::move(geraet));
    }
    // Open without an event thread; the tests only look at what gets applied.
    void Oeffnen() {
        Port->SetEvents({});
        Port->Open();
    }
    TFakeComDevice* Fake;
    std::unique_ptr<TComPort> Port;
};

QStringList Eintraege(const QComboBox& liste) {
    QStringList texte;
    for (int i = 0; i < liste.count(); ++i) {
        texte << liste.itemText(i);
    }
    return texte;
}

// A choice of the user in `liste`.
void Waehlen(TComComboBox* liste, const QString& text) {
    const int index = liste->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    liste->setCurrentIndex(index);
    emit liste->activated(index);
}

QPushButton* KnopfMitText(TComSetupFrm& dialog, const QString& text) {
    for (QPushButton* knopf : dialog.findChildren<QPushButton*>()) {
        if (knopf->text() == text) {
            return knopf;
        }
    }
    return nullptr;
}

struct TLauf {
    bool Gezeigt = false;
    std::exception_ptr Fehler;
};

// Runs the setup dialog on `port`; once it is shown, `bedienen` acts on it and the button
// captioned `knopf` closes it.
TLauf Ausfuehren(TCustomComPort& port, const QString& knopf,
                 const std::function<void(TComSetupFrm&)>& bedienen = {}) {
    TLauf lauf;
    QTimer warten;
    warten.setInterval(5);
    QObject::connect(&warten, &QTimer::timeout, [&] {
        auto* dialog = dynamic_cast<TComSetupFrm*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        warten.stop();
        lauf.Gezeigt = true;
        if (bedienen) {
            bedienen(*dialog);
        }
        QPushButton* schliessen = KnopfMitText(*dialog, knopf);
        if (schliessen != nullptr) {
            schliessen->click();
        } else {
            dialog->reject();
        }
    });
    warten.start();
    try {
        RunSetupDialog(port);
    } catch (...) {
        lauf.Fehler = std::current_exception();
    }
    return lauf;
}

int FehlerCode(const std::exception_ptr& fehler, int* systemCode = nullptr) {
    try {
        std::rethrow_exception(fehler);
    } catch (const EComPort& e) {
        if (systemCode != nullptr) {
            *systemCode = e.SystemCode();
        }
        return e.Code();
    } catch (...) {
        return -1;
    }
}

} // namespace

class ComSetupTest : public QObject {
    Q_OBJECT
private slots:
    void GeraeteSortiertUndGewaehlt();
    void NameOhneGrossKlein();
    void OkWendetEinmalAn_data();
    void OkWendetEinmalAn();
    void AbbrechenSchreibtNichts();
    void FehlerBeimAnwendenBeendetStapel();
    void PortnameWaehltSeinenEintrag_data();
    void PortnameWaehltSeinenEintrag();
    void UnlesbareListeZeigtKeinenDialog();
    void EigeneWerteBleiben();
    void TextSetzen();
    void AutoApplyUndOnChange();
    void PortVorDerListeWeg();
};

void ComSetupTest::GeraeteSortiertUndGewaehlt() {
    const TComSysfsRig sysfs{"COM2", "COM10", "COM1"};
    TPortMitFake p;
    p.Port->SetPort("/dev/COM10");
    QStringList eintraege;
    QString gewaehlt;
    const TLauf lauf = Ausfuehren(*p.Port, QStringLiteral("Cancel"), [&](TComSetupFrm& d) {
        eintraege = Eintraege(*d.Combo1);
        gewaehlt = QString::fromStdString(d.Combo1->Text());
    });
    QVERIFY(lauf.Gezeigt);
    QCOMPARE(eintraege, QStringList({"/dev/COM1", "/dev/COM10", "/dev/COM2"}));
    QCOMPARE(gewaehlt, QStringLiteral("/dev/COM10"));
}

void ComSetupTest::NameOhneGrossKlein() {
    const TComSysfsRig sysfs{"COM1", "COM2"};
    TPortMitFake p;
    p.Port->SetPort("/dev/com1");
    int anzahl = 0;
    QString gewaehlt;
    const TLauf lauf = Ausfuehren(*p.Port, QStringLiteral("OK"), [&](TComSetupFrm& d) {
        anzahl = d.Combo1->count();
        gewaehlt = QString::fromStdString(d.Combo1->Text());
    });
    QVERIFY(lauf.Gezeigt && !lauf.Fehler);
    QCOMPARE(anzahl, 2);
    QCOMPARE(gewaehlt, QStringLiteral("/dev/COM1"));
    QCOMPARE(p.Port->Port(), std::string("/dev/COM1"));
}

void ComSetupTest::OkWendetEinmalAn_data() {
    QTest::addColumn<bool>("aendern");
    QTest::newRow("ohne Änderung") << false;
    QTest::newRow("jede Liste geändert") << true;
}

void ComSetupTest::OkWendetEinmalAn() {
    QFETCH(bool, aendern);
    const TComSysfsRig sysfs{"COM1"};
    TPortMitFake p;
    p.Port->SetPort("/dev/COM1");
    p.Oeffnen();
    const int zustand = p.Fake->CallCount(TFakeOp::SetCommState);
    const int puffer = p.Fake->CallCount(TFakeOp::SetupComm);
    const int zeiten = p.Fake->CallCount(TFakeOp::SetCommTimeouts);
    const TLauf lauf = Ausfuehren(*p.Port, QStringLiteral("OK"), [&](TComSetupFrm& d) {
        if (aendern) {
            Waehlen(d.Combo2, QStringLiteral("19200"));
            Waehlen(d.Combo3, QStringLiteral("7"));
            Waehlen(d.Combo4, QStringLiteral("2"));
            Waehlen(d.Combo5, QStringLiteral("Even"));
            Waehlen(d.Combo6, QStringLiteral("Hardware"));
        }
    });
    QVERIFY(lauf.Gezeigt && !lauf.Fehler);
    QCOMPARE(p.Fake->CallCount(TFakeOp::SetCommState), zustand + 1);
    QCOMPARE(p.Fake->CallCount(TFakeOp::SetupComm), puffer + 1);
    QCOMPARE(p.Fake->CallCount(TFakeOp::SetCommTimeouts), zeiten + 1);
    QCOMPARE(p.Port->UpdateCount(), 0);
    QCOMPARE(p.Fake->OpenCount(), 1);
    const TBaudRate rate = aendern ? br19200 : br9600;
    QCOMPARE(p.Port->BaudRate(), rate);
    QCOMPARE(p.Fake->LastDCB().BaudRate, aendern ? 19200u : 9600u);
    QCOMPARE(p.Port->DataBits(), aendern ? dbSeven : dbEight);
    QCOMPARE(p.Port->StopBits(), aendern ? sbTwoStopBits : sbOneStopBit);
    QCOMPARE(p.Port->Parity().Bits(), aendern ? prEven : prNone);
    QCOMPARE(p.Port->FlowControl().FlowControl(), aendern ? fcHardware : fcNone);
}

void ComSetupTest::AbbrechenSchreibtNichts() {
    const TComSysfsRig sysfs{"COM1", "COM2"};
    TPortMitFake p;
    p.Port->SetPort("/dev/COM1");
    p.Oeffnen();
    const auto vorher = p.Fake->ConfigLog();
    const TLauf lauf = Ausfuehren(*p.Port, QStringLiteral("Cancel"), [&](TComSetupFrm& d) {
        Waehlen(d.Combo1, QStringLiteral("/dev/COM2"));
        Waehlen(d.Combo2, QStringLiteral("300"));
        Waehlen(d.Combo3, QStringLiteral("5"));
        Waehlen(d.Combo4, QStringLiteral("1.5"));
        Waehlen(d.Combo5, QStringLiteral("Mark"));
        Waehlen(d.Combo6, QStringLiteral("Software"));
    });
    QVERIFY(lauf.Gezeigt && !lauf.Fehler);
    QCOMPARE(p.Fake->ConfigLog(), vorher);
    QCOMPARE(p.Port->Port(), std::string("/dev/COM1"));
    QCOMPARE(p.Port->BaudRate(), br9600);
    QCOMPARE(p.Port->DataBits(), dbEight);
    QCOMPARE(p.Port->StopBits(), sbOneStopBit);
    QCOMPARE(p.Port->Parity().Bits(), prNone);
    QCOMPARE(p.Port->FlowControl().FlowControl(), fcNone);
}

void ComSetupTest::FehlerBeimAnwendenBeendetStapel() {
    const TComSysfsRig sysfs{"COM1", "COM2"};
    TPortMitFake p;
    p.Port->SetPort("/dev/COM1");
    p.Oeffnen();
    const TLauf lauf = Ausfuehren(*p.Port, QStringLiteral("OK"), [&](TComSetupFrm& d) {
        Waehlen(d.Combo1, QStringLiteral("/dev/COM2"));
        Waehlen(d.Combo2, QStringLiteral("4800"));
        p.Fake->FailWith(TFakeOp::Open, ENOENT);
    });
    QVERIFY(lauf.Gezeigt);
    int systemCode = 0;
    QCOMPARE(FehlerCode(lauf.Fehler, &systemCode), 1);
    QCOMPARE(systemCode, ENOENT);
    QCOMPARE(p.Port->UpdateCount(), 0);
    // The port applies settings again: opened, it takes a new rate at once.
    p.Fake->FailWith(TFakeOp::Open, 0);
    p.Port->Open();
    const int zustand = p.Fake->CallCount(TFakeOp::SetCommState);
    p.Port->SetBaudRate(br2400);
    QCOMPARE(p.Fake->CallCount(TFakeOp::SetCommState), zustand + 1);
}

// A name that stands for a device of the list selects its entry; any other name is appended
// and selected, so confirming keeps it.
void ComSetupTest::PortnameWaehltSeinenEintrag_data() {
    QTest::addColumn<bool>("mitGeraeten");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("eintraege");
    QTest::addColumn<QString>("gewaehlt");
    const QStringList geraete{"/dev/ttyS0", "/dev/ttyS1"};
    QTest::newRow("COM1 ist ttyS0") << true << "COM1" << geraete << "/dev/ttyS0";
    QTest::newRow("COM2 ist ttyS1") << true << "COM2" << geraete << "/dev/ttyS1";
    QTest::newRow("Name unter /dev") << true << "ttyS1" << geraete << "/dev/ttyS1";
    QTest::newRow("COM3 fehlt") << true << "COM3" << (geraete + QStringList{"COM3"}) << "COM3";
    QTest::newRow("fremder Name neben Geräten")
        << true << "/dev/pts/7" << (geraete + QStringList{"/dev/pts/7"}) << "/dev/pts/7";
    QTest::newRow("kein serielles Gerät")
        << false << "/dev/pts/7" << QStringList{"/dev/pts/7"} << "/dev/pts/7";
}

void ComSetupTest::PortnameWaehltSeinenEintrag() {
    QFETCH(bool, mitGeraeten);
    QFETCH(QString, name);
    QFETCH(QStringList, eintraege);
    QFETCH(QString, gewaehlt);
    const TComSysfsRig sysfs = mitGeraeten ? TComSysfsRig{"ttyS1", "ttyS0"} : TComSysfsRig{};
    TPortMitFake p;
    p.Port->SetPort(name.toStdString());
    QStringList liste;
    QString auswahl;
    const TLauf lauf = Ausfuehren(*p.Port, QStringLiteral("OK"), [&](TComSetupFrm& d) {
        liste = Eintraege(*d.Combo1);
        auswahl = QString::fromStdString(d.Combo1->Text());
    });
    QVERIFY(lauf.Gezeigt && !lauf.Fehler);
    QCOMPARE(liste, eintraege);
    QCOMPARE(auswahl, gewaehlt);
    QCOMPARE(QString::fromStdString(p.Port->Port()), gewaehlt);
}

void ComSetupTest::UnlesbareListeZeigtKeinenDialog() {
    const TComSysfsRig sysfs{"COM1"};
    sysfs.Unlesbar();
    TPortMitFake p;
    p.Port->SetPort("/dev/COM1");
    const TLauf lauf = Ausfuehren(*p.Port, QStringLiteral("OK"));
    QVERIFY(!lauf.Gezeigt);
    int systemCode = 0;
    QCOMPARE(FehlerCode(lauf.Fehler, &systemCode), 23);
    QCOMPARE(systemCode, ENOTDIR);
    QCOMPARE(p.Port->Port(), std::string("/dev/COM1"));
}

void ComSetupTest::EigeneWerteBleiben() {
    const TComSysfsRig sysfs{"COM1"};
    TPortMitFake p;
    p.Port->SetPort("/dev/COM1");
    p.Port->SetBaudRate(brCustom);
    p.Port->SetCustomBaudRate(12345);
    p.Port->FlowControl().SetControlRTS(rtsEnable);
    QString rate;
    QString fluss;
    const TLauf lauf = Ausfuehren(*p.Port, QStringLiteral("OK"), [&](TComSetupFrm& d) {
        rate = QString::fromStdString(d.Combo2->Text());
        fluss = QString::fromStdString(d.Combo6->Text());
    });
    QVERIFY(lauf.Gezeigt && !lauf.Fehler);
    QCOMPARE(rate, QStringLiteral("Custom"));
    QCOMPARE(fluss, QStringLiteral("Custom"));
    QCOMPARE(p.Port->BaudRate(), brCustom);
    QCOMPARE(p.Port->CustomBaudRate(), 12345);
    QCOMPARE(p.Port->FlowControl().ControlRTS(), rtsEnable);
}

void ComSetupTest::TextSetzen() {
    TComComboBox liste;
    liste.SetComProperty(cpParity);
    QCOMPARE(liste.Text(), std::string("None"));
    liste.SetText("even");
    QCOMPARE(liste.Text(), std::string("Even"));
    QCOMPARE(liste.Select().Parity(), prEven);
    liste.SetText("gerade");
    QCOMPARE(liste.Text(), std::string("Even"));
    liste.setCurrentIndex(-1);
    QCOMPARE(liste.Text(), std::string());
    liste.SetComProperty(cpNone);
    QCOMPARE(liste.count(), 0);
}

void ComSetupTest::AutoApplyUndOnChange() {
    for (const bool sofort : {false, true}) {
        TPortMitFake p;
        TComComboBox liste;
        liste.SetComProperty(cpBaudRate);
        liste.SetComPort(p.Port.get());
        QCOMPARE(liste.Text(), std::string("9600"));
        liste.SetAutoApply(sofort);
        std::string gemeldet;
        liste.OnChange = [&](TComComboBox* sender) {
            gemeldet = sender->Text() + "/" + std::to_string(p.Port->BaudRate());
        };
        Waehlen(&liste, QStringLiteral("57600"));
        QCOMPARE(p.Port->BaudRate(), sofort ? br57600 : br9600);
        // OnChange runs after the choice was applied.
        QCOMPARE(gemeldet, "57600/" + std::to_string(sofort ? br57600 : br9600));
        liste.ApplyToPort();
        QCOMPARE(p.Port->BaudRate(), br57600);
    }
}

void ComSetupTest::PortVorDerListeWeg() {
    TPortMitFake p;
    p.Port->SetDataBits(dbSix);
    TComComboBox liste;
    liste.SetComProperty(cpDataBits);
    liste.SetComPort(p.Port.get());
    QCOMPARE(liste.Text(), std::string("6"));
    p.Port.reset();
    QVERIFY(liste.ComPort() == nullptr);
    QCOMPARE(liste.currentIndex(), 0);
    liste.ApplyToPort(); // nothing to write to any more
    // A list that goes first leaves no registration behind in its port.
    TPortMitFake q;
    {
        TComComboBox kurz;
        kurz.SetComProperty(cpStopBits);
        kurz.SetComPort(q.Port.get());
    }
    q.Port.reset();
}

QUORLITS_WIDGET_TEST(ComSetupTest)
#include "comsetup_test.moc"
