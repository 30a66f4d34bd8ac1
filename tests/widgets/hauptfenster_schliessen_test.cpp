// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The main window on a real pseudo-terminal whose driver holds close() back, as a driver does
// while an adapter keeps unsent bytes for a CTS that never comes (a three-wire cable).
#include "WidgetTest.h"
#include "framework/widgets/SpeedButton.h"
#include "mainwindow/ComMainForm.h"
#include "mainwindow/FehlerboxAnschluss.h"
#include "serial/ComPort.h"
#include "serial/platform/PosixComDevice.h"
#include "serial/widgets/CPortCtl.h"
#include "tests/unit/common/TestOrdner.h"
#include "tests/unit/serial/HeldCloseSysCalls.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <memory>
#include <poll.h>
#include <pty.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using TLog = std::vector<std::string>;

// The window opens the slave side of a pseudo-terminal; the test reads the master side.
class TSchliessenRig {
public:
    TSchliessenRig() {
        int slave = -1;
        char name[256] = {};
        if (::openpty(&master_, &slave, name, nullptr, nullptr) == 0) {
            ::close(slave);
        }
        TFormOptionen optionen;
        optionen.KonfigurationsDatei = Ordner / "PHRX.CFG";
        optionen.Port = name;
        optionen.Geraet = std::make_unique<TPosixComDevice>(Sys);
        Form = std::make_unique<TForm1>(std::move(optionen));
        FehlerboxAnschliessen(Form.get(), [this](const QString& text) { Fehler << text; });
        Form->show();
    }
    ~TSchliessenRig() {
        Sys.Release();
        Form.reset();
        FehlerboxTrennen();
        ::close(master_);
    }
    TSchliessenRig(const TSchliessenRig&) = delete;
    TSchliessenRig& operator=(const TSchliessenRig&) = delete;

    bool Offen() const { return master_ >= 0; }

    // What the window sent, once `anzahl` bytes have come (or the deadline has passed).
    std::string Empfangen(std::size_t anzahl) const {
        std::string text;
        const auto ende = std::chrono::steady_clock::now() + THeldCloseSysCalls::Deadline;
        while (text.size() < anzahl && std::chrono::steady_clock::now() < ende) {
            pollfd p{master_, POLLIN, 0};
            char puffer[64];
            if (::poll(&p, 1, 100) > 0) {
                const ssize_t n = ::read(master_, puffer, sizeof puffer);
                text.append(puffer, n > 0 ? static_cast<std::size_t>(n) : 0);
            }
        }
        return text;
    }
    bool NichtsGesendet() const {
        pollfd p{master_, POLLIN, 0};
        return ::poll(&p, 1, 0) == 0;
    }

    // The device's calls from the first close on, without the line settings.
    TLog SeitDemSchliessen() {
        const TLog log = Sys.Log();
        TLog eintraege;
        std::copy_if(std::find(log.begin(), log.end(), "close"), log.end(),
                     std::back_inserter(eintraege),
                     [](const std::string& e) { return e.rfind("flow", 0) != 0; });
        return eintraege;
    }

    // True once the window has handled an event queued now.
    static bool EreignisseBehandelt(QObject* ziel) {
        bool behandelt = false;
        QTimer::singleShot(0, ziel, [&behandelt] { behandelt = true; });
        return QTest::qWaitFor([&behandelt] { return behandelt; }, 10000);
    }

    TTestOrdner Ordner;
    // Outlives the window's port, whose device calls it.
    THeldCloseSysCalls Sys;
    std::unique_ptr<TForm1> Form;
    QStringList Fehler;

private:
    int master_ = -1;
};

} // namespace

class HauptfensterSchliessenTest : public QObject {
    Q_OBJECT
private slots:
    void endeLesenWartetNichtAufDenTreiber() {
        TSchliessenRig rig;
        QVERIFY(rig.Offen());
        TForm1& f = *rig.Form;
        f.Rx_Button->click();
        QVERIFY(f.ComPort().Connected());
        rig.Sys.HoldCloses();
        f.Rx_Button->click();
        QVERIFY(!f.ComPort().Connected());
        QCOMPARE(f.Rx_Button->text(), QStringLiteral("RS232 Lesen"));
        QVERIFY(rig.Sys.AwaitClosesBegun(1));
        QVERIFY(TSchliessenRig::EreignisseBehandelt(&f));
        QCOMPARE(rig.Sys.ClosesUnderWay(), 1);
        // Flow control was off before the descriptor went to be closed.
        const TLog log = rig.Sys.Log();
        const auto schliessen = std::find(log.begin(), log.end(), "close");
        QVERIFY(schliessen != log.begin() && *std::prev(schliessen) == "flow off");
        QVERIFY(rig.Fehler.isEmpty());
    }

    void programmEndeWartetNichtAufDenTreiber() {
        TSchliessenRig rig;
        TForm1& f = *rig.Form;
        f.WTW_Rx_Button->click();
        QVERIFY(f.ComPort().Connected());
        rig.Sys.HoldCloses();
        f.ENDEButton->click();
        QVERIFY(!f.isVisible());
        QVERIFY(!f.ComPort().Connected());
        QVERIFY(rig.Sys.AwaitClosesBegun(1));
        QVERIFY(TSchliessenRig::EreignisseBehandelt(&f));
        QCOMPARE(rig.Sys.ClosesUnderWay(), 1);
        QVERIFY(rig.Fehler.isEmpty());
    }

    // A start while the device is still being released waits for it with the window
    // responsive; the buttons that use the port do nothing meanwhile.
    void startWartetAufDieFreigabe() {
        TSchliessenRig rig;
        TForm1& f = *rig.Form;
        f.Rx_Button->click();
        rig.Sys.HoldCloses();
        f.Rx_Button->click();
        QVERIFY(rig.Sys.AwaitClosesBegun(1));
        bool imWarten = false;
        QString nachKlick;
        QTimer::singleShot(0, &f, [&] {
            imWarten = f.ComPort().AwaitingRelease() && rig.Sys.ClosesUnderWay() == 1;
            f.Label9->setText(QStringLiteral("unverändert"));
            f.Rx_Button->click();
            f.Edit_Data->setText(QStringLiteral("K"));
            f.Send_Btn->click();
            nachKlick = f.Label9->text();
            rig.Sys.Release();
        });
        f.Rx_Button->click();
        QVERIFY(imWarten);
        QCOMPARE(nachKlick, QStringLiteral("unverändert"));
        QVERIFY(f.ComPort().Connected());
        QCOMPARE(f.Rx_Button->text(), QStringLiteral("Ende Lesen"));
        QCOMPARE(rig.SeitDemSchliessen(), (TLog{"close", "closed", "open"}));
        QVERIFY(rig.NichtsGesendet());
        QVERIFY(rig.Fehler.isEmpty());
    }

    void sendenOhneMessungWartetNichtAufDenTreiber() {
        TSchliessenRig rig;
        TForm1& f = *rig.Form;
        rig.Sys.HoldCloses();
        f.Edit_Data->setText(QStringLiteral("GLP"));
        f.Send_Btn->click();
        QCOMPARE(rig.Empfangen(5), std::string("GLP\r\n"));
        QVERIFY(!f.ComPort().Connected());
        QCOMPARE(f.ComLed5->State(), lsOff);
        QVERIFY(rig.Sys.AwaitClosesBegun(1));
        QVERIFY(TSchliessenRig::EreignisseBehandelt(&f));
        QCOMPARE(rig.Sys.ClosesUnderWay(), 1);

        // The next send waits for the release of the first one's descriptor.
        QTimer::singleShot(0, &f, [&rig] { rig.Sys.Release(); });
        f.NewLine_CB->setChecked(false);
        f.Send_Btn->click();
        QCOMPARE(rig.Empfangen(3), std::string("GLP"));
        QVERIFY(rig.Sys.AwaitClosesEnded(2));
        QCOMPARE(rig.SeitDemSchliessen(), (TLog{"close", "closed", "open", "close", "closed"}));
        QVERIFY(rig.Fehler.isEmpty());
    }
};

QUORLITS_WIDGET_TEST(HauptfensterSchliessenTest)
#include "hauptfenster_schliessen_test.moc"
