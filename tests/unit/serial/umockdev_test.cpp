// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// GLib's headers first: a member of theirs is called like one of Qt's keywords (signals).
#include "tests/unit/serial/UmockdevBed.h"

#include "serial/ComPortDevices.h"
#include "serial/ComPortWatch.h"
#include "serial/platform/SerialDeviceList.h"
#include "serial/platform/SerialDeviceMonitor.h"
#include "tests/unit/serial/SerialDeviceSamples.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>

#include <poll.h>

#include <string>
#include <vector>

// USB serial adapters in a umockdev test bed, seen through libudev as on a real system: the
// list with descriptions, plug events, and adapters found again by identity.
namespace {

// Generous: an event sent in the bed arrives at once.
constexpr int EventWaitMs = 5000;

bool Readable(int fd) {
    pollfd waiting{fd, POLLIN, 0};
    return ::poll(&waiting, 1, EventWaitMs) > 0;
}

const std::string MainboardWithoutUart = "P: /devices/platform/serial8250\n"
                                         "E: SUBSYSTEM=platform\n\n"
                                         "P: /devices/platform/serial8250/tty/ttyS0\n"
                                         "N: ttyS0\n"
                                         "L: device=../../../serial8250\n"
                                         "A: type=0\n"
                                         "E: SUBSYSTEM=tty\n"
                                         "E: DEVNAME=ttyS0\n";

const std::string VirtualTerminal = "P: /devices/virtual/tty/tty0\n"
                                    "N: tty0\n"
                                    "E: SUBSYSTEM=tty\n"
                                    "E: DEVNAME=tty0\n";

class UmockdevTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(TUmockdevBed::Active()) << "run with umockdev's preload library";
    }

    TUmockdevBed bed;
    const TSerialDevice ftdi = FtdiAdapter("/dev/ttyUSB0", "A50285BI", "1-2");
};

TEST_F(UmockdevTest, ListDescribesTheAdapters) {
    bed.Plug(ftdi);
    // The product string known to udev only, the driver too: udev's properties fill in.
    TSerialDevice ch340 = Ch340Adapter("/dev/ttyUSB1", "1-3");
    TSerialDevice plugged = ch340;
    plugged.Product.clear();
    plugged.Driver.clear();
    bed.Plug(plugged, "E: ID_MODEL_ENC=USB\\x20Serial\nE: ID_USB_DRIVER=ch341\n"
                      "E: ID_VENDOR_ENC=1a86\n");
    bed.Add(MainboardWithoutUart);
    bed.Add(VirtualTerminal);

    EXPECT_EQ(ListSerialDevices(), (std::vector<TSerialDevice>{ftdi, ch340}));
    EXPECT_EQ(ComPortDeviceText(ListComPortDevices().front()),
              "/dev/ttyUSB0 — FTDI FT232R USB UART, Nr. A50285BI (ftdi_sio)");
}

class UmockdevMonitorTest : public UmockdevTest,
                            public testing::WithParamInterface<TMonitorSource> {};

TEST_P(UmockdevMonitorTest, PlugEventsWakeTheMonitor) {
    TSerialDeviceMonitor monitor(GetParam());
    ASSERT_EQ(monitor.Source(), GetParam());
    EXPECT_FALSE(monitor.Drain());

    bed.Plug(ftdi);
    ASSERT_TRUE(Readable(monitor.Fd()));
    EXPECT_TRUE(monitor.Drain());
    EXPECT_FALSE(monitor.Drain());

    // Other events of a tty, and terminals without a device, change no device list.
    bed.Event("/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/ttyUSB0/tty/ttyUSB0", "change");
    bed.Add(VirtualTerminal);
    ASSERT_TRUE(Readable(monitor.Fd()));
    EXPECT_FALSE(monitor.Drain());

    bed.Unplug(ftdi.Name);
    ASSERT_TRUE(Readable(monitor.Fd()));
    EXPECT_TRUE(monitor.Drain());
}

INSTANTIATE_TEST_SUITE_P(Sources, UmockdevMonitorTest,
                         testing::Values(TMonitorSource::Udev, TMonitorSource::Kernel),
                         [](const testing::TestParamInfo<TMonitorSource>& param) {
                             return param.param == TMonitorSource::Udev ? "Udev" : "Kernel";
                         });

TEST_F(UmockdevTest, WatchSignalsAPluggedAdapter) {
    TComPortWatch watch;
    ASSERT_NE(watch.Source(), TMonitorSource::Polling);
    QEventLoop loop;
    int gemeldet = 0;
    QObject::connect(&watch, &TComPortWatch::DevicesChanged, &loop, [&] {
        ++gemeldet;
        loop.quit();
    });
    QTimer::singleShot(0, [&] { bed.Plug(ftdi); });
    QTimer::singleShot(EventWaitMs, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(gemeldet, 1);
}

TEST_F(UmockdevTest, RenumberedAdapterIsFoundUnderItsNewName) {
    bed.Plug(ftdi);
    const TPortIdentity identity = ComPortIdentity(ftdi.ById.front());
    EXPECT_EQ(identity, IdentityOf(ftdi));
    bed.Unplug(ftdi.Name);
    EXPECT_EQ(FindComPort(identity).Result, TMatchResult::None);

    bed.Plug(FtdiAdapter("/dev/ttyUSB1", "A50285BI", "1-4"));
    const TPortMatch match = FindComPort(identity);
    EXPECT_EQ(match.Result, TMatchResult::One);
    EXPECT_EQ(match.Device.Name, "/dev/ttyUSB1");
}

TEST_F(UmockdevTest, OtherAdapterUnderTheOldNameIsNotIt) {
    bed.Plug(ftdi);
    const TPortIdentity identity = ComPortIdentity("/dev/ttyUSB0");
    bed.Unplug(ftdi.Name);
    bed.Plug(FtdiAdapter("/dev/ttyUSB0", "FT9XK2QL", "1-2"));
    EXPECT_EQ(FindComPort(identity).Result, TMatchResult::None);
}

TEST_F(UmockdevTest, TwoAdaptersOfOneIdentityAreNotGuessed) {
    // Copies of an adapter that share its serial number.
    bed.Plug(ftdi);
    const TPortIdentity identity = ComPortIdentity("/dev/ttyUSB0");
    bed.Plug(FtdiAdapter("/dev/ttyUSB1", "A50285BI", "1-3"));
    EXPECT_EQ(FindComPort(identity).Result, TMatchResult::Several);
}

} // namespace
