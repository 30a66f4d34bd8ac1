// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "WidgetTest.h"
#include "framework/widgets/SpeedButton.h"
#include "serial/ComPort.h"
#include "serial/widgets/CPortCtl.h"
#include "tests/widgets/HauptfensterRig.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace {

constexpr int Frist = 10000; // ms

struct TErwartet {
    const char* Beschriftung;
    TComLedSignal Signal;
};

bool WirdZu(const TComLed* lampe, TLedState zustand) {
    return QTest::qWaitFor([lampe, zustand] { return lampe->State() == zustand; }, Frist);
}

} // namespace

class HauptfensterLampenTest : public QObject {
    Q_OBJECT
private slots:
    void LampenVonLinksMitBeschriftung();
    void LampenFolgenDerMessung();
    void SendelampeErlischtNachDemSenden();
};

// The lamps stand from left to right, each with its label under it, all bound to the port.
void HauptfensterLampenTest::LampenVonLinksMitBeschriftung() {
    THauptfensterRig rig;
    TForm1& f = *rig.Form;
    const std::array<TComLed*, 6> lampen{f.ComLed1, f.ComLed2, f.ComLed3,
                                         f.ComLed4, f.ComLed5, f.ComLed6};
    const std::array<TErwartet, 6> erwartet{{{"CTS", lsCTS},
                                             {"DSR", lsDSR},
                                             {"RLSD", lsRLSD},
                                             {"Ring", lsRing},
                                             {"Tx", lsTx},
                                             {"Rx", lsRx}}};
    const QList<QLabel*> labels = f.Panel1->findChildren<QLabel*>();
    int vorigeMitte = -1;
    for (std::size_t i = 0; i < lampen.size(); ++i) {
        TComLed* lampe = lampen[i];
        QVERIFY(lampe != nullptr);
        QCOMPARE(lampe->ComPort(), &f.ComPort());
        QCOMPARE(lampe->LedSignal(), erwartet[i].Signal);
        QCOMPARE(lampe->size(), QSize(25, 25));
        const QRect ort(lampe->mapTo(f.Panel1, QPoint(0, 0)), lampe->size());
        QVERIFY(ort.center().x() > vorigeMitte);
        vorigeMitte = ort.center().x();
        QVERIFY(ort.right() < f.InfoButton->mapTo(f.Panel1, QPoint(0, 0)).x());
        const QString text = QString::fromLatin1(erwartet[i].Beschriftung);
        const auto label = std::find_if(labels.begin(), labels.end(),
                                        [&text](const QLabel* l) { return l->text() == text; });
        QVERIFY2(label != labels.end(), qPrintable(text));
        const QRect unter((*label)->mapTo(f.Panel1, QPoint(0, 0)), (*label)->size());
        QVERIFY(unter.top() >= ort.bottom());
        QVERIFY(qAbs(unter.center().x() - ort.center().x()) <= 1);
        QVERIFY((*label)->isVisible() && lampe->isVisible());
    }
}

void HauptfensterLampenTest::LampenFolgenDerMessung() {
    THauptfensterRig rig;
    TForm1& f = *rig.Form;
    f.ComLed4->SetRingDuration(60000); // stays lit while the test looks
    rig.Geraet->SetModemStatus(WinComm::MsDsrOn);
    f.Rx_Button->click();
    QVERIFY(f.ComPort().Connected());
    QCOMPARE(f.ComLed1->State(), lsOff);
    QCOMPARE(f.ComLed2->State(), lsOn);
    rig.Geraet->SetModemStatus(WinComm::MsCtsOn | WinComm::MsRlsdOn | WinComm::MsRingOn);
    QVERIFY(WirdZu(f.ComLed1, lsOn));
    QVERIFY(WirdZu(f.ComLed2, lsOff));
    QVERIFY(WirdZu(f.ComLed3, lsOn));
    QVERIFY(WirdZu(f.ComLed4, lsOn));
    // The window reads what arrives, so the receive lamp lights and goes out again.
    std::vector<TLedState> empfang;
    f.ComLed6->OnChange = [&empfang](TComLed*, TLedState s) { empfang.push_back(s); };
    QVERIFY(rig.Empfangen("7.00\r\n"));
    QVERIFY(WirdZu(f.ComLed6, lsOff));
    f.ComLed6->OnChange = nullptr; // the log goes before the window
    QVERIFY(!empfang.empty() && empfang.front() == lsOn);
    f.Rx_Button->click();
    QVERIFY(!f.ComPort().Connected());
    QCOMPARE(f.ComLed1->State(), lsOff);
    QCOMPARE(f.ComLed3->State(), lsOff);
}

// With no measurement the port is opened for the send only; its close ends the transmission
// before the transmit-empty event could be handled.
void HauptfensterLampenTest::SendelampeErlischtNachDemSenden() {
    THauptfensterRig rig;
    TForm1& f = *rig.Form;
    std::vector<TLedState> sendelampe;
    f.ComLed5->OnChange = [&sendelampe](TComLed*, TLedState s) { sendelampe.push_back(s); };
    f.Edit_Data->setText(QStringLiteral("GLP"));
    f.Send_Btn->click();
    QCOMPARE(rig.Geraet->Written(), std::string("GLP\r\n"));
    QCOMPARE(f.ComLed5->State(), lsOff);
    THauptfensterRig::Abarbeiten();
    QCOMPARE(f.ComLed5->State(), lsOff);
    f.ComLed5->OnChange = nullptr;
    QCOMPARE(sendelampe, (std::vector<TLedState>{lsOn, lsOff}));
    QVERIFY(rig.Fehler.isEmpty());
}

QUORLITS_WIDGET_TEST(HauptfensterLampenTest)
#include "hauptfenster_lampen_test.moc"
