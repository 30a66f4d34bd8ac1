// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "WidgetTest.h"
#include "serial/ComPort.h"
#include "serial/EComPort.h"
#include "serial/platform/FakeComDevice.h"
#include "serial/widgets/CPortCtl.h"

#include <QImage>
#include <QPainter>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

Q_DECLARE_METATYPE(TComLedSignal)

namespace {

constexpr int Frist = 10000; // ms; generous for a loaded machine under the sanitizers

// A port on a fake device with its event thread, and a lamp that logs every state it shows.
struct TLampenRig {
    explicit TLampenRig(TComLedSignal signal) {
        auto geraet = std::make_unique<TFakeComDevice>();
        Fake = geraet.get();
        Port = std::make_unique<TComPort>(std::move(geraet));
        Port->SetPort("/dev/fake");
        Lampe = std::make_unique<TComLed>();
        Lampe->SetLedSignal(signal);
        Lampe->OnChange = [this](TComLed*, TLedState state) { Zustaende.push_back(state); };
        Lampe->SetComPort(Port.get());
    }
    ~TLampenRig() {
        Lampe.reset();
        Port.reset();
    }
    TLampenRig(const TLampenRig&) = delete;
    TLampenRig& operator=(const TLampenRig&) = delete;

    bool WirdZu(TLedState state) const {
        return QTest::qWaitFor([this, state] { return Lampe->State() == state; }, Frist);
    }

    TFakeComDevice* Fake;
    std::unique_ptr<TComPort> Port;
    std::unique_ptr<TComLed> Lampe;
    std::vector<TLedState> Zustaende;
};

// Counts the paint events a widget receives while it lives.
struct TMalZaehler : QObject {
    explicit TMalZaehler(QWidget& widget)
        : Ziel(widget) {
        Ziel.installEventFilter(this);
    }
    ~TMalZaehler() override { Ziel.removeEventFilter(this); }
    TMalZaehler(const TMalZaehler&) = delete;
    TMalZaehler& operator=(const TMalZaehler&) = delete;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            ++Zahl;
        }
        return false;
    }
    QWidget& Ziel;
    int Zahl = 0;
};

QColor Mitte(const QPixmap& bild, int x, int y) {
    return bild.toImage().pixelColor(x, y);
}

} // namespace

class ComLedTest : public QObject {
    Q_OBJECT
private slots:
    void VerbindungslampeFolgtOeffnenUndSchliessen();
    void ModemSignale_data();
    void ModemSignale();
    void BindenUndLoesen();
    void Empfang();
    void Senden();
    void RingGehtNachDauerAus();
    void ZweiterRingStartetNichtNeu();
    void ZustandGesperrtSolangeGebunden();
    void PortVorDerLampeWeg();
    void LampeVorDemPortWeg();
    void Malen();
    void AlleBilder();
    void EigeneBilderNurBeiLkCustom();
    void MaltSofortOhneEingabenZuBearbeiten();
    void EmpfangslampeLeuchtetNach();
    void AndereLampenMalenNurBeiWechsel();
};

void ComLedTest::VerbindungslampeFolgtOeffnenUndSchliessen() {
    TLampenRig rig(lsConn);
    QCOMPARE(rig.Lampe->State(), lsOff);
    rig.Port->Open();
    QCOMPARE(rig.Lampe->State(), lsOn);
    rig.Port->Close();
    QCOMPARE(rig.Lampe->State(), lsOff);
    QCOMPARE(rig.Zustaende, std::vector<TLedState>({lsOn, lsOff}));
}

void ComLedTest::ModemSignale_data() {
    QTest::addColumn<TComLedSignal>("signal");
    QTest::addColumn<std::uint32_t>("bit");
    QTest::addColumn<std::uint32_t>("andere");
    QTest::newRow("CTS") << lsCTS << WinComm::MsCtsOn << (WinComm::MsDsrOn | WinComm::MsRlsdOn);
    QTest::newRow("DSR") << lsDSR << WinComm::MsDsrOn << (WinComm::MsCtsOn | WinComm::MsRlsdOn);
    QTest::newRow("RLSD") << lsRLSD << WinComm::MsRlsdOn << (WinComm::MsCtsOn | WinComm::MsDsrOn);
}

void ComLedTest::ModemSignale() {
    QFETCH(TComLedSignal, signal);
    QFETCH(std::uint32_t, bit);
    QFETCH(std::uint32_t, andere);
    TLampenRig rig(signal);
    rig.Fake->SetModemStatus(bit);
    rig.Port->Open();
    QCOMPARE(rig.Lampe->State(), lsOn); // the current signal, at once
    rig.Fake->SetModemStatus(andere);
    QVERIFY(rig.WirdZu(lsOff));
    rig.Fake->SetModemStatus(bit | andere);
    QVERIFY(rig.WirdZu(lsOn));
    rig.Port->Close();
    QCOMPARE(rig.Lampe->State(), lsOff);
}

void ComLedTest::BindenUndLoesen() {
    TLampenRig rig(lsCTS);
    rig.Lampe->SetComPort(nullptr);
    rig.Lampe->SetState(lsOn);
    // A closed port leaves the lamp as it was.
    rig.Lampe->SetComPort(rig.Port.get());
    QCOMPARE(rig.Lampe->State(), lsOn);
    QVERIFY(rig.Port->HasLink(&rig.Lampe->Link()));
    // An open port with CTS off shows it at once.
    rig.Lampe->SetComPort(nullptr);
    QVERIFY(!rig.Port->HasLink(&rig.Lampe->Link()));
    QCOMPARE(rig.Lampe->State(), lsOff);
    rig.Lampe->SetState(lsOn);
    rig.Port->SetEvents({});
    rig.Port->Open();
    rig.Lampe->SetComPort(rig.Port.get());
    QCOMPARE(rig.Lampe->State(), lsOff);
    rig.Lampe->SetComPort(nullptr);
    rig.Fake->SetModemStatus(WinComm::MsCtsOn);
    rig.Lampe->SetComPort(rig.Port.get());
    QCOMPARE(rig.Lampe->State(), lsOn);
    rig.Lampe->SetComPort(nullptr);
    QCOMPARE(rig.Lampe->State(), lsOff);
}

void ComLedTest::Empfang() {
    TLampenRig rig(lsRx);
    rig.Port->Open();
    rig.Fake->InjectReceived("abc");
    QVERIFY(rig.WirdZu(lsOn));
    std::string text;
    QCOMPARE(rig.Port->ReadText(text, 3), 3);
    QCOMPARE(rig.Lampe->State(), lsOff);
    // Closing does not touch a receive lamp.
    rig.Fake->InjectReceived("d");
    QVERIFY(rig.WirdZu(lsOn));
    rig.Port->Close();
    QCOMPARE(rig.Lampe->State(), lsOn);
}

void ComLedTest::Senden() {
    TLampenRig rig(lsTx);
    rig.Port->Open();
    rig.Zustaende.clear();
    QCOMPARE(rig.Port->WriteText("abc"), 3);
    QVERIFY(!rig.Zustaende.empty());
    QCOMPARE(rig.Zustaende.front(), lsOn);
    rig.Fake->InjectEvents(WinComm::EvTxEmpty);
    QVERIFY(rig.WirdZu(lsOff));
}

void ComLedTest::RingGehtNachDauerAus() {
    TLampenRig rig(lsRing);
    rig.Lampe->SetRingDuration(100);
    QCOMPARE(rig.Lampe->RingDuration(), 100);
    rig.Port->Open();
    rig.Fake->SetModemStatus(WinComm::MsRingOn);
    QVERIFY(rig.WirdZu(lsOn));
    QVERIFY(rig.WirdZu(lsOff));
    QCOMPARE(rig.Zustaende, std::vector<TLedState>({lsOn, lsOff}));
    // A ring after that lights it again.
    rig.Fake->SetModemStatus(0);
    rig.Fake->SetModemStatus(WinComm::MsRingOn);
    QVERIFY(rig.WirdZu(lsOn));
}

void ComLedTest::ZweiterRingStartetNichtNeu() {
    TLampenRig rig(lsRing);
    rig.Lampe->SetRingDuration(60000);
    int ringe = 0;
    rig.Port->OnRing = [&ringe](TCustomComPort*) { ++ringe; };
    rig.Port->Open();
    rig.Fake->SetModemStatus(WinComm::MsRingOn);
    QVERIFY(QTest::qWaitFor([&ringe] { return ringe == 1; }, Frist));
    const auto* uhr = rig.Lampe->findChild<QTimer*>(QStringLiteral("RingTimer"));
    QVERIFY(uhr != nullptr && uhr->isActive());
    const int ersterRest = uhr->remainingTime();
    QTest::qWait(50);
    rig.Fake->SetModemStatus(0);
    rig.Fake->SetModemStatus(WinComm::MsRingOn);
    QVERIFY(QTest::qWaitFor([&ringe] { return ringe == 2; }, Frist));
    QVERIFY(uhr->isActive());
    // A restarted timer would have its whole minute left again.
    QVERIFY2(uhr->remainingTime() < ersterRest, qPrintable(QString::number(uhr->remainingTime())));
    QCOMPARE(rig.Lampe->State(), lsOn);
}

void ComLedTest::ZustandGesperrtSolangeGebunden() {
    TLampenRig rig(lsConn);
    try {
        rig.Lampe->SetState(lsOn);
        QFAIL("no EComPort raised");
    } catch (const EComPort& fehler) {
        QCOMPARE(fehler.Code(), 19);
        QCOMPARE(fehler.SystemCode(), EComPort::NoSystemCode);
    }
    QCOMPARE(rig.Lampe->State(), lsOff);
    QVERIFY(rig.Zustaende.empty());
    rig.Lampe->SetComPort(nullptr);
    rig.Zustaende.clear();
    rig.Lampe->SetState(lsOn);
    QCOMPARE(rig.Lampe->State(), lsOn);
    QCOMPARE(rig.Zustaende, std::vector<TLedState>({lsOn}));
}

void ComLedTest::PortVorDerLampeWeg() {
    TLampenRig rig(lsConn);
    rig.Port->Open();
    QCOMPARE(rig.Lampe->State(), lsOn);
    rig.Port.reset();
    QVERIFY(rig.Lampe->ComPort() == nullptr);
    QCOMPARE(rig.Lampe->State(), lsOff);
    rig.Lampe->SetState(lsOn); // unbound now, so allowed
    QCOMPARE(rig.Lampe->State(), lsOn);
}

void ComLedTest::LampeVorDemPortWeg() {
    TLampenRig rig(lsCTS);
    const TComLink* link = &rig.Lampe->Link();
    rig.Lampe.reset();
    QVERIFY(!rig.Port->HasLink(link));
    // The port no longer calls into the lamp, neither for signals nor when it goes away.
    rig.Port->Open();
    rig.Fake->SetModemStatus(WinComm::MsCtsOn);
    rig.Port->Close();
    rig.Port.reset();
}

void ComLedTest::Malen() {
    TComLed lampe;
    lampe.SetKind(lkGreenLight);
    lampe.SetState(lsOn);
    const QPixmap an = LedGlyph(lkGreenLight, lsOn);
    const QPixmap aus = LedGlyph(lkGreenLight, lsOff);
    QCOMPARE(lampe.size(), QSize(25, 25));
    QCOMPARE(Mitte(an, 7, 7).alpha(), 255);
    QVERIFY(Mitte(an, 7, 7) != Mitte(aus, 7, 7));
    // The 15 x 15 picture lies centred, at 5, 5.
    QCOMPARE(Mitte(lampe.grab(), 12, 12), Mitte(an, 7, 7));
    // Disabled, lit or not, it is grey: no colour that could be read as a signal.
    lampe.setEnabled(false);
    const QColor grau = Mitte(lampe.grab(), 12, 12);
    QVERIFY(grau.red() == grau.green() && grau.green() == grau.blue());
    QCOMPARE(lampe.State(), lsOn);
    lampe.SetState(lsOff);
    QCOMPARE(Mitte(lampe.grab(), 12, 12), grau);
    lampe.SetState(lsOn);
    lampe.setEnabled(true);
    lampe.SetState(lsOff);
    QCOMPARE(Mitte(lampe.grab(), 12, 12), Mitte(aus, 7, 7));
}

void ComLedTest::AlleBilder() {
    for (const TLedKind art :
         {lkRedLight, lkGreenLight, lkBlueLight, lkYellowLight, lkPurpleLight, lkBulb}) {
        const QPixmap an = LedGlyph(art, lsOn);
        const QPixmap aus = LedGlyph(art, lsOff);
        QCOMPARE(an.size(), QSize(15, 15));
        QCOMPARE(aus.size(), QSize(15, 15));
        QVERIFY(an.hasAlphaChannel());
        QCOMPARE(Mitte(an, 0, 14).alpha(), 0); // a transparent corner
        QVERIFY2(Mitte(an, 7, 5) != Mitte(aus, 7, 5), qPrintable(QString::number(art)));
        // A lit lamp is brighter than an unlit one.
        QVERIFY(Mitte(an, 7, 5).lightness() > Mitte(aus, 7, 5).lightness());
    }
    QVERIFY(LedGlyph(lkCustom, lsOn).isNull());
    // The colours tell the kinds apart.
    QVERIFY(Mitte(LedGlyph(lkRedLight, lsOn), 9, 9) != Mitte(LedGlyph(lkBlueLight, lsOn), 9, 9));
}

void ComLedTest::EigeneBilderNurBeiLkCustom() {
    TComLed lampe;
    QPixmap blau(15, 15);
    blau.fill(Qt::white);
    {
        QPainter maler(&blau);
        maler.fillRect(3, 3, 9, 9, Qt::blue);
    }
    const QColor rot = Mitte(lampe.GlyphOn(), 7, 7);
    lampe.SetGlyphOn(blau);
    QCOMPARE(Mitte(lampe.GlyphOn(), 7, 7), rot);
    lampe.SetKind(lkCustom);
    lampe.SetGlyphOn(blau);
    lampe.SetGlyphOff(blau);
    QCOMPARE(Mitte(lampe.GlyphOn(), 7, 7), QColor(Qt::blue));
    // The bottom-left colour became transparent.
    QCOMPARE(Mitte(lampe.GlyphOn(), 0, 14).alpha(), 0);
    lampe.SetState(lsOn);
    QCOMPARE(Mitte(lampe.grab(), 12, 12), QColor(Qt::blue));
}

void ComLedTest::MaltSofortOhneEingabenZuBearbeiten() {
    TLampenRig rig(lsCTS);
    rig.Lampe->show();
    QVERIFY(QTest::qWaitForWindowExposed(rig.Lampe.get()));
    QCoreApplication::processEvents();
    bool eingabeGelaufen = false;
    TMalZaehler gemalt(*rig.Lampe);
    // Bound to the lamp, so the call is dropped with it when the test ends before it ran.
    QTimer::singleShot(0, rig.Lampe.get(), [&eingabeGelaufen] { eingabeGelaufen = true; });
    rig.Lampe->Link().OnCTSSignal(rig.Port.get(), true);
    QVERIFY(gemalt.Zahl >= 1);
    QVERIFY(!eingabeGelaufen);
    QCOMPARE(rig.Lampe->State(), lsOn);
}

void ComLedTest::EmpfangslampeLeuchtetNach() {
    using namespace std::chrono_literals;
    TLampenRig rig(lsRx);
    auto jetzt = std::chrono::steady_clock::time_point(1h);
    rig.Lampe->SetClock([&jetzt] { return jetzt; });
    rig.Lampe->show();
    QVERIFY(QTest::qWaitForWindowExposed(rig.Lampe.get()));
    QCoreApplication::processEvents();
    TMalZaehler gemalt(*rig.Lampe);
    const auto& empfang = rig.Lampe->Link().OnReceiving;
    // A steady stream: lit on arrival and unlit once read, every 2 ms for a second. The state
    // follows every notification; the picture is painted once.
    for (int i = 0; i < 500; ++i) {
        empfang(rig.Port.get(), true);
        empfang(rig.Port.get(), false);
        jetzt += 2ms;
    }
    QCOMPARE(rig.Lampe->State(), lsOff);
    QCOMPARE(rig.Zustaende.size(), std::size_t{1000});
    QCOMPARE(rig.Lampe->ShownState(), lsOn);
    QCOMPARE(gemalt.Zahl, 1);
    // Time on the wall does not end the glow, the lamp's clock does: 98 ms after the last
    // activity it is still lit, at 100 ms it goes dark with one more paint and no notification.
    QTest::qWait(3 * TComLed::AfterglowMs);
    QCOMPARE(rig.Lampe->ShownState(), lsOn);
    jetzt += 98ms;
    QVERIFY(QTest::qWaitFor([&] { return rig.Lampe->ShownState() == lsOff; }, Frist));
    QTRY_COMPARE(gemalt.Zahl, 2);
    QCOMPARE(rig.Zustaende.size(), std::size_t{1000});
    // A dark lamp keeps no timer running.
    const auto* nachleuchten = rig.Lampe->findChild<QTimer*>(QStringLiteral("AfterglowTimer"));
    QVERIFY(nachleuchten != nullptr && !nachleuchten->isActive());
    // A single burst of microseconds is seen: lit at once, painted inside the notification.
    empfang(rig.Port.get(), true);
    empfang(rig.Port.get(), false);
    QCOMPARE(gemalt.Zahl, 3);
    QCOMPARE(rig.Lampe->ShownState(), lsOn);
    QVERIFY(nachleuchten->isActive());
    // Let go of the port, the lamp goes dark at once.
    rig.Lampe->SetComPort(nullptr);
    QCOMPARE(rig.Lampe->ShownState(), lsOff);
}

void ComLedTest::AndereLampenMalenNurBeiWechsel() {
    TLampenRig rig(lsCTS);
    rig.Lampe->show();
    QVERIFY(QTest::qWaitForWindowExposed(rig.Lampe.get()));
    QCoreApplication::processEvents();
    TMalZaehler gemalt(*rig.Lampe);
    const auto& cts = rig.Lampe->Link().OnCTSSignal;
    cts(rig.Port.get(), true);
    cts(rig.Port.get(), true);
    QCOMPARE(gemalt.Zahl, 1);
    // No afterglow on a modem signal: it goes dark with the line.
    cts(rig.Port.get(), false);
    QCOMPARE(rig.Lampe->ShownState(), lsOff);
    QCOMPARE(gemalt.Zahl, 2);
}

QUORLITS_WIDGET_TEST(ComLedTest)
#include "comled_test.moc"
