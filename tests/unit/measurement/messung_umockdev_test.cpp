// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// A measurement that waits for its USB adapter is woken when the adapter is plugged in again (its
// udev event or its new device node), not by its once-a-second tick: the window and the logger
// both react to a re-plugged adapter at once.
// umockdev brings glib, whose headers must come before Qt's "signals" keyword.
#include "tests/unit/serial/SerialDeviceSamples.h"
#include "tests/unit/serial/UmockdevBed.h"

#include "Warten.h"

#include "measurement/Messung.h"
#include "serial/ComPort.h"
#include "serial/platform/FakeComDevice.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <string>

namespace {

TEST(MessungUmockdev, EinWiederEingesteckterAdapterWecktDasWartenUnterNeuemNamen) {
    TUmockdevBed bed;
    ASSERT_TRUE(TUmockdevBed::Active()) << "run with umockdev's preload library";
    const TSerialDevice adapter = FtdiAdapter("/dev/ttyUSB0", "A50285BI", "1-2");
    bed.Plug(adapter);

    TProgrammZustand zustand;
    AnfangszustandSetzen(zustand, TZeitpunkt{6, 12, 2026, 16, 53, 34});
    const TEinstellungen einstellungen;
    auto geraet = std::make_unique<TFakeComDevice>();
    TFakeComDevice& fake = *geraet;
    TComPort port(std::move(geraet));
    port.SetPort(adapter.Name);
    TMessung messung(zustand, port, einstellungen,
                     FesteUhr(zustand.AutoSpeicher.Speicherbeginn, 0));
    QString zurueck;
    QObject::connect(&messung, &TMessung::LeitungGeaendert, &messung,
                     [&](TLeitungsWechsel wechsel, const TLeitungsStand& stand) {
                         if (wechsel == TLeitungsWechsel::Zurueck) {
                             zurueck = QString::fromStdString(stand.RueckkehrName);
                         }
                     });
    messung.Beginnen(lmWTW);

    bed.Unplug(adapter.Name);
    fake.HangUp(ENODEV);
    ASSERT_TRUE(WartenBis([&] { return messung.WartetAufGeraet(); }));
    // Only a plug event can end the wait now.
    auto* takt = messung.findChild<QTimer*>(QStringLiteral("Wiederverbindentakt"));
    ASSERT_NE(takt, nullptr);
    takt->stop();
    messung.WiederverbindenVersuchen();
    ASSERT_TRUE(messung.WartetAufGeraet());
    EXPECT_EQ(messung.Leitung().WarteGrund, "Adapter nicht angeschlossen");

    bed.Plug(FtdiAdapter("/dev/ttyUSB1", "A50285BI", "1-4"));
    ASSERT_TRUE(WartenBis([&] { return !messung.WartetAufGeraet(); }));
    EXPECT_FALSE(takt->isActive());
    EXPECT_EQ(zurueck, QStringLiteral("/dev/ttyUSB1"));
    EXPECT_EQ(fake.OpenedName(), "/dev/ttyUSB1");
    messung.Beenden();
}

} // namespace
