// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/widgets/ComPortList.h"

#include "serial/EComPort.h"
#include "tests/unit/common/TestOrdner.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// One entry of a fake class/tty directory.
struct TtyEntry {
    std::string name;
    bool device;      // a device link stands behind it
    std::string type; // the serial-core UART type; empty: no such file
};

struct ListCase {
    const char* title;
    std::vector<TtyEntry> entries;
    std::vector<std::string> expected;
};

class FakeSysfs {
public:
    FakeSysfs() { SetComPortSysfsRoot(folder.Pfad()); }
    ~FakeSysfs() { SetComPortSysfsRoot({}); }
    FakeSysfs(const FakeSysfs&) = delete;
    FakeSysfs& operator=(const FakeSysfs&) = delete;

    fs::path ClassDir() const { return folder / "class/tty"; }

    void Add(const TtyEntry& entry) const {
        const fs::path dir = ClassDir() / entry.name;
        fs::create_directories(dir);
        if (entry.device) {
            fs::create_directories(folder / "devices" / entry.name);
            fs::create_directory_symlink(folder / "devices" / entry.name, dir / "device");
        }
        if (!entry.type.empty()) {
            DateiSchreiben(dir / "type", entry.type + "\n");
        }
    }

    TTestOrdner folder;
};

std::vector<std::string> Enumerate() {
    std::vector<std::string> list{"stale entry"};
    EnumerateComPorts(list);
    return list;
}

const TtyEntry Console{"console", false, ""};
const TtyEntry Ptmx{"ptmx", false, ""};
const TtyEntry Vt0{"tty0", false, ""};

class EnumerateComPortsTest : public testing::TestWithParam<ListCase> {};

TEST_P(EnumerateComPortsTest, ListsRealSerialDevicesSorted) {
    const FakeSysfs sysfs;
    fs::create_directories(sysfs.ClassDir());
    for (const TtyEntry& entry : GetParam().entries) {
        sysfs.Add(entry);
    }
    EXPECT_EQ(Enumerate(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Trees, EnumerateComPortsTest,
    testing::Values(
        ListCase{"NumbersSortAsText",
                 {{"ttyS2", true, "4"}, {"ttyS10", true, "4"}, {"ttyS1", true, "4"}},
                 {"/dev/ttyS1", "/dev/ttyS10", "/dev/ttyS2"}},
        // Byte order would put every upper-case name first.
        ListCase{"LetterCaseIgnored",
                 {{"COM2", true, ""}, {"com1", true, ""}, {"Com10", true, ""}},
                 {"/dev/com1", "/dev/Com10", "/dev/COM2"}},
        ListCase{"TerminalsWithoutDeviceLeftOut",
                 {Console, Ptmx, Vt0, {"ttyUSB0", true, ""}, {"ttyACM0", true, ""}},
                 {"/dev/ttyACM0", "/dev/ttyUSB0"}},
        ListCase{"LegacyPortsWithoutUartLeftOut",
                 {{"ttyS0", true, "4"}, {"ttyS1", true, "0"}, {"ttyS2", true, "0"}},
                 {"/dev/ttyS0"}},
        ListCase{"NoSerialDeviceGivesEmptyList", {Console, Ptmx, Vt0, {"ttyS0", true, "0"}}, {}},
        ListCase{"EmptyClassDirectory", {}, {}}),
    [](const testing::TestParamInfo<ListCase>& param) { return std::string(param.param.title); });

TEST(EnumerateComPorts, MissingTtyClassMeansNoDevices) {
    const FakeSysfs sysfs; // not even class/tty exists
    EXPECT_TRUE(Enumerate().empty());
}

TEST(EnumerateComPorts, UnreadableListRaisesCode23WithErrno) {
    const FakeSysfs sysfs;
    fs::create_directories(sysfs.folder / "class");
    DateiSchreiben(sysfs.ClassDir(), "not a directory");
    std::vector<std::string> list{"kept"};
    try {
        EnumerateComPorts(list);
        FAIL() << "no EComPort raised";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.Code(), 23);
        EXPECT_EQ(error.SystemCode(), ENOTDIR);
        EXPECT_NE(std::string(error.what()).find("Registry error"), std::string::npos);
    }
    EXPECT_EQ(list, std::vector<std::string>{"kept"});
}

TEST(EnumerateComPorts, ListWithoutReadPermissionRaisesEacces) {
    const FakeSysfs sysfs;
    fs::create_directories(sysfs.ClassDir());
    sysfs.Add({"ttyUSB0", true, ""});
    DemTestnutzerGeben(sysfs.folder.Pfad());
    ::chmod(sysfs.ClassDir().c_str(), 0);
    const int systemCode = ImKindprozess(
        [] {
            try {
                std::vector<std::string> list;
                EnumerateComPorts(list);
            } catch (const EComPort& error) {
                return error.Code() == 23 ? error.SystemCode() : -2;
            }
            return -1;
        },
        true);
    ::chmod(sysfs.ClassDir().c_str(), 0700);
    EXPECT_EQ(systemCode, EACCES);
}

TEST(ComPortNameLess, OrdersWithoutCaseAndKeepsCaseVariantsApart) {
    EXPECT_TRUE(ComPortNameLess("COM10", "com2"));
    EXPECT_FALSE(ComPortNameLess("com2", "COM10"));
    EXPECT_TRUE(ComPortNameLess("com1", "COM10"));
    // Equal without case: a fixed order either way round, never both.
    EXPECT_NE(ComPortNameLess("COM1", "com1"), ComPortNameLess("com1", "COM1"));
    EXPECT_FALSE(ComPortNameLess("COM1", "COM1"));
}

} // namespace
