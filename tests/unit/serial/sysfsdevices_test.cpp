// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/ComPortDevices.h"
#include "serial/EComPort.h"
#include "serial/platform/SerialDeviceList.h"
#include "serial/platform/SerialDeviceMonitor.h"
#include "tests/unit/serial/FakeDeviceTree.h"
#include "tests/unit/serial/SerialDeviceSamples.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

TSerialDevice ArduinoUno() {
    TSerialDevice device;
    device.Name = "/dev/ttyACM0";
    device.ById = {"/dev/serial/by-id/usb-Arduino__www.arduino.cc__0043_75833353035351C0E1A1-if00"};
    device.VendorId = "2341";
    device.ProductId = "0043";
    device.Maker = "Arduino (www.arduino.cc)";
    device.Serial = "75833353035351C0E1A1";
    device.UsbPort = "1-4";
    device.Interface = "00";
    device.Driver = "cdc_acm";
    return device;
}

// Two adapters, a board on cdc_acm, a port with a UART and one without, and terminals.
class SysfsDevicesTest : public testing::Test {
protected:
    SysfsDevicesTest() {
        fake.AddUsb(ftdi);
        fake.AddUsb(ch340);
        fake.AddUsb(ArduinoUno());
        fake.AddMainboard(MainboardPort("/dev/ttyS0"));
        fake.AddMainboard(MainboardPort("/dev/ttyS1"), 0);
        fake.AddVirtual("tty0");
        fake.AddVirtual("console");
    }

    std::optional<TSerialDevice> Of(const std::string& path) const {
        return SerialDeviceOfPath(path, fake.Tree());
    }

    const TSerialDevice ftdi = FtdiAdapter("/dev/ttyUSB0", "A50285BI", "1-1.2");
    const TSerialDevice ch340 = Ch340Adapter("/dev/ttyUSB1", "1-1.3");
    const TFakeDeviceTree fake;
};

TEST_F(SysfsDevicesTest, ListDescribesEverySerialDevice) {
    const std::vector<TSerialDevice> expected{ArduinoUno(), MainboardPort("/dev/ttyS0"), ftdi,
                                              ch340};
    EXPECT_EQ(ListSerialDevices(fake.Tree()), expected);
}

TEST_F(SysfsDevicesTest, PathLeadsToItsDevice) {
    const std::string byId = ftdi.ById.front();
    fake.Link("messgeraet", byId.substr(5));                   // relative, to the by-id link
    fake.Link("kette", "messgeraet");                          // a chain of links
    fs::create_symlink("/dev/ttyUSB1", fake.Ordner / "meins"); // a user's own link
    fake.Link("verwaist", "ttyUSB7");

    EXPECT_EQ(Of(byId), ftdi);
    EXPECT_EQ(Of("/dev/ttyUSB1"), ch340);
    EXPECT_EQ(Of("/dev/messgeraet"), ftdi);
    EXPECT_EQ(Of("/dev/kette"), ftdi);
    EXPECT_EQ(Of((fake.Ordner / "meins").string()), ch340);
    EXPECT_EQ(Of("/dev/ttyS0"), MainboardPort("/dev/ttyS0"));
    EXPECT_EQ(Of("/dev/ttyS1"), std::nullopt); // no UART
    EXPECT_EQ(Of("/dev/tty0"), std::nullopt);
    EXPECT_EQ(Of("/dev/verwaist"), std::nullopt);
    EXPECT_EQ(Of("/dev/ttyUSB9"), std::nullopt);
}

TEST_F(SysfsDevicesTest, UnreadableListRaises) {
    fs::remove_all(fake.Ordner / "class/tty");
    DateiSchreiben(fake.Ordner / "class/tty", "not a directory");
    try {
        ListSerialDevices(fake.Tree());
        FAIL() << "no error raised";
    } catch (const std::system_error& error) {
        EXPECT_EQ(error.code().value(), ENOTDIR);
    }
}

// The serial component's functions on the tree it is set to.
class ComPortDevicesTest : public SysfsDevicesTest {
protected:
    ComPortDevicesTest() { SetComPortDeviceTree(fake.Tree()); }
    ~ComPortDevicesTest() override { SetComPortDeviceTree({}); }
};

TEST_F(ComPortDevicesTest, AdapterIsFoundAgainAfterRenumbering) {
    const TPortIdentity identity = ComPortIdentity(ftdi.ById.front());
    EXPECT_EQ(identity, IdentityOf(ftdi));
    fake.Remove("ttyUSB0");
    EXPECT_EQ(FindComPort(identity).Result, TMatchResult::None);
    fake.AddUsb(FtdiAdapter("/dev/ttyUSB2", "A50285BI", "1-1.2"));
    const TPortMatch match = FindComPort(identity);
    EXPECT_EQ(match.Result, TMatchResult::One);
    EXPECT_EQ(match.Device.Name, "/dev/ttyUSB2");
}

// A port waiting for its adapter: by the name it had while that leads to the adapter, else
// wherever the adapter is now, and never a device of another identity.
TEST_F(ComPortDevicesTest, ReturningAdapterIsFollowedAndNeverMistaken) {
    const TPortIdentity identity = IdentityOf(ftdi);
    const std::string byId = ftdi.ById.front();
    const auto expect = [&](const std::string& name, TReturnKind kind, const std::string& open) {
        const TPortReturn found = LocateReturningPort(name, identity);
        EXPECT_EQ(found.Kind, kind) << name;
        EXPECT_EQ(found.Name, open) << name;
    };
    EXPECT_EQ(LocateReturningPort("/dev/pts/7", {}).Name, "/dev/pts/7"); // no identity: the name
    expect(byId, TReturnKind::SameName, byId);
    expect("/dev/ttyUSB0", TReturnKind::SameName, "/dev/ttyUSB0");
    fake.Remove("ttyUSB0");
    expect("/dev/ttyUSB0", TReturnKind::Absent, "");
    expect(byId, TReturnKind::Absent, "");
    fake.AddUsb(FtdiAdapter("/dev/ttyUSB2", "A50285BI", "1-1.2"));
    expect(byId, TReturnKind::SameName, byId); // udev moved the link along
    expect("/dev/ttyUSB0", TReturnKind::NewName, "/dev/ttyUSB2");
    expect("/dev/ttyUSB1", TReturnKind::NewName, "/dev/ttyUSB2"); // not the CH340 there
    fake.Remove("ttyUSB2");
    expect("/dev/ttyUSB1", TReturnKind::Stranger, "/dev/ttyUSB1");
    // Two adapters with the one serial number (a vendor that gives all the same): no guess.
    for (const char* name : {"/dev/ttyUSB3", "/dev/ttyUSB4"}) {
        TSerialDevice twin = FtdiAdapter(name, "A50285BI", name[11] == '3' ? "1-2" : "1-3");
        twin.ById.clear();
        fake.AddUsb(twin);
    }
    expect("/dev/ttyUSB3", TReturnKind::Several, "");
}

TEST_F(ComPortDevicesTest, NamesWithoutUsbHaveNoIdentity) {
    EXPECT_TRUE(ComPortIdentity("COM1").Empty()); // /dev/ttyS0
    EXPECT_TRUE(ComPortIdentity("/dev/ttyS1").Empty());
    EXPECT_TRUE(ComPortIdentity("/dev/pts/7").Empty());
}

TEST_F(ComPortDevicesTest, UnreadableListRaisesCode23) {
    fs::remove_all(fake.Ordner / "class/tty");
    DateiSchreiben(fake.Ordner / "class/tty", "not a directory");
    for (const auto& read : {+[] { ListComPortDevices(); }, +[] { ComPortIdentity("COM1"); },
                             +[] { FindComPort({}); }, +[] { ListComPortNames(); }}) {
        try {
            read();
            ADD_FAILURE() << "no EComPort raised";
        } catch (const EComPort& error) {
            EXPECT_EQ(error.Code(), 23);
            EXPECT_EQ(error.SystemCode(), ENOTDIR);
        }
    }
}

// A fake tree gets no events: the monitor compares the list at each call.
TEST_F(SysfsDevicesTest, MonitorPollsAFakeTree) {
    TSerialDeviceMonitor monitor(TMonitorSource::Kernel, fake.Tree());
    EXPECT_EQ(monitor.Source(), TMonitorSource::Polling);
    EXPECT_EQ(monitor.Fd(), -1);
    EXPECT_FALSE(monitor.Drain());

    fake.AddUsb(FtdiAdapter("/dev/ttyUSB2", "FT9XK2QL", "1-1.4"));
    EXPECT_TRUE(monitor.Drain());
    EXPECT_FALSE(monitor.Drain());

    fake.Remove("ttyUSB0");
    EXPECT_TRUE(monitor.Drain());

    // The same name for another adapter is a change too.
    fake.Remove("ttyUSB1");
    fake.AddUsb(FtdiAdapter("/dev/ttyUSB1", "FT0AAAAA", "1-1.3"));
    EXPECT_TRUE(monitor.Drain());

    // A list that cannot be read is a state of its own, and so is its return.
    fs::rename(fake.Ordner / "class/tty", fake.Ordner / "class/tty.weg");
    DateiSchreiben(fake.Ordner / "class/tty", "not a directory");
    EXPECT_TRUE(monitor.Drain());
    EXPECT_FALSE(monitor.Drain());
    fs::remove(fake.Ordner / "class/tty");
    fs::rename(fake.Ordner / "class/tty.weg", fake.Ordner / "class/tty");
    EXPECT_TRUE(monitor.Drain());
}

} // namespace
