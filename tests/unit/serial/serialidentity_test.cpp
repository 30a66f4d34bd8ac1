// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/ComPortDevices.h"
#include "serial/platform/SerialIdentity.h"
#include "tests/unit/serial/SerialDeviceSamples.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(PortIdentity, SerialNumberStandsForThePortPath) {
    const TPortIdentity withSerial = IdentityOf(FtdiAdapter("/dev/ttyUSB0", "A50285BI", "1-1.2"));
    EXPECT_EQ(withSerial.Serial, "A50285BI");
    EXPECT_EQ(withSerial.UsbPort, "");
    // The same adapter in another port and under another name is the same adapter.
    EXPECT_EQ(IdentityOf(FtdiAdapter("/dev/ttyUSB3", "A50285BI", "3-2")), withSerial);

    const TPortIdentity withoutSerial = IdentityOf(Ch340Adapter("/dev/ttyUSB0", "1-1.2"));
    EXPECT_EQ(withoutSerial.UsbPort, "1-1.2");
    EXPECT_EQ(withoutSerial.Product, "USB Serial");
    EXPECT_NE(IdentityOf(Ch340Adapter("/dev/ttyUSB0", "1-1.3")), withoutSerial);

    EXPECT_TRUE(IdentityOf(MainboardPort("/dev/ttyS0")).Empty());
    EXPECT_FALSE(withoutSerial.Empty());
}

struct MatchCase {
    const char* title;
    TPortIdentity identity;
    std::vector<TSerialDevice> devices;
    TMatchResult result;
    std::string name; // of the device found
};

class MatchIdentityTest : public testing::TestWithParam<MatchCase> {};

TEST_P(MatchIdentityTest, FindsTheOneDeviceOrSaysWhyNot) {
    const TPortMatch match = MatchIdentity(GetParam().identity, GetParam().devices);
    EXPECT_EQ(match.Result, GetParam().result);
    EXPECT_EQ(match.Device.Name, GetParam().name);
}

const TPortIdentity Ftdi = IdentityOf(FtdiAdapter("/dev/ttyUSB0", "A50285BI"));
const TPortIdentity Ch340 = IdentityOf(Ch340Adapter("/dev/ttyUSB0", "1-1.2"));

TSerialDevice SecondPort(TSerialDevice device) {
    device.Interface = "01";
    return device;
}

INSTANTIATE_TEST_SUITE_P(
    Lists, MatchIdentityTest,
    testing::Values(
        MatchCase{"RenumberedAdapterFoundUnderItsNewName",
                  Ftdi,
                  {MainboardPort("/dev/ttyS0"), FtdiAdapter("/dev/ttyUSB1", "A50285BI", "1-4")},
                  TMatchResult::One,
                  "/dev/ttyUSB1"},
        MatchCase{"OtherSerialUnderTheOldNameIsNotIt",
                  Ftdi,
                  {FtdiAdapter("/dev/ttyUSB0", "FT9XK2QL")},
                  TMatchResult::None,
                  ""},
        MatchCase{"WithoutSerialOnlyInTheSamePort",
                  Ch340,
                  {Ch340Adapter("/dev/ttyUSB0", "1-1.3"), Ch340Adapter("/dev/ttyUSB1", "1-1.2")},
                  TMatchResult::One,
                  "/dev/ttyUSB1"},
        MatchCase{"WithoutSerialInAnotherPortIsNotGuessed",
                  Ch340,
                  {Ch340Adapter("/dev/ttyUSB0", "1-1.3")},
                  TMatchResult::None,
                  ""},
        MatchCase{"TwoWithoutSerialOnOnePathAreSeveral",
                  Ch340,
                  {Ch340Adapter("/dev/ttyUSB0", "1-1.2"), Ch340Adapter("/dev/ttyUSB1", "1-1.2")},
                  TMatchResult::Several,
                  ""},
        // Cheap copies of one adapter often share its serial number.
        MatchCase{"TwoWithTheSameSerialAreSeveral",
                  Ftdi,
                  {FtdiAdapter("/dev/ttyUSB0", "A50285BI", "1-1"),
                   FtdiAdapter("/dev/ttyUSB1", "A50285BI", "1-2")},
                  TMatchResult::Several,
                  ""},
        MatchCase{"PortsOfOneAdapterAreToldApart",
                  Ftdi,
                  {SecondPort(FtdiAdapter("/dev/ttyUSB1", "A50285BI")),
                   FtdiAdapter("/dev/ttyUSB0", "A50285BI")},
                  TMatchResult::One,
                  "/dev/ttyUSB0"},
        MatchCase{"EmptyIdentityMatchesNothing",
                  TPortIdentity{},
                  {MainboardPort("/dev/ttyS0")},
                  TMatchResult::None,
                  ""},
        MatchCase{"EmptyList", Ftdi, {}, TMatchResult::None, ""}),
    [](const testing::TestParamInfo<MatchCase>& param) { return std::string(param.param.title); });

TEST(ComPortDeviceText, ShowsWhatAUserRecognises) {
    EXPECT_EQ(ComPortDeviceText(FtdiAdapter("/dev/ttyUSB0", "A50285BI")),
              "/dev/ttyUSB0 — FTDI FT232R USB UART, Nr. A50285BI (ftdi_sio)");
    EXPECT_EQ(ComPortDeviceText(Ch340Adapter("/dev/ttyUSB1", "1-1.2")),
              "/dev/ttyUSB1 — USB Serial (ch341)");
    EXPECT_EQ(ComPortDeviceText(MainboardPort("/dev/ttyS0")), "/dev/ttyS0 (serial8250)");
    TSerialDevice bare;
    bare.Name = "/dev/ttyS1";
    EXPECT_EQ(ComPortDeviceText(bare), "/dev/ttyS1");

    TSerialDevice named = FtdiAdapter("/dev/ttyUSB0", "");
    named.Product = "FTDI USB Serial Converter";
    EXPECT_EQ(ComPortDeviceText(named), "/dev/ttyUSB0 — FTDI USB Serial Converter (ftdi_sio)");

    // Without strings of its own the adapter is known by its link, else by its numbers.
    TSerialDevice silent = FtdiAdapter("/dev/ttyUSB0", "");
    silent.Maker.clear();
    silent.Product.clear();
    silent.ById = {"/dev/serial/by-id/usb-0403_6001-if00-port0"};
    EXPECT_EQ(ComPortDeviceText(silent), "/dev/ttyUSB0 — usb-0403_6001-if00-port0 (ftdi_sio)");
    silent.ById.clear();
    silent.Serial = "X1";
    EXPECT_EQ(ComPortDeviceText(silent), "/dev/ttyUSB0 — USB 0403:6001, Nr. X1 (ftdi_sio)");
}

TEST(ComPortDeviceText, DetailsNameLinksAndPort) {
    EXPECT_EQ(ComPortDeviceDetails(FtdiAdapter("/dev/ttyUSB0", "A50285BI", "1-1.2")),
              "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0\n"
              "USB-Anschluss 1-1.2, Kennung 0403:6001");
    EXPECT_EQ(ComPortDeviceDetails(MainboardPort("/dev/ttyS0")), "");
}

} // namespace
