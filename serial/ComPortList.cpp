// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/ComPortList.h"

#include "serial/EComPort.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace {

fs::path& SysfsRoot() {
    static fs::path root = "/sys";
    return root;
}

char Lower(char c) noexcept {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

[[noreturn]] void ListUnreadable(const std::error_code& error) {
    throw EComPort(CError_RegError, error.value() != 0 ? error.value() : EIO);
}

// Serial-core ports (ttyS and the like) carry their UART type; 0 means no UART answered at that
// address, the legacy ports the kernel reserves on every PC. Other drivers have no such file.
bool HasUart(const fs::path& entry) {
    std::ifstream file(entry / "type");
    if (!file) {
        return true;
    }
    int type = 0;
    return (file >> type) && type != 0;
}

// Virtual terminals, the console and the pseudo-terminal master have no device behind them.
bool IsSerialDevice(const fs::path& entry) {
    std::error_code error;
    return fs::exists(entry / "device", error) && HasUart(entry);
}

} // namespace

void SetComPortSysfsRoot(fs::path root) {
    SysfsRoot() = root.empty() ? fs::path("/sys") : std::move(root);
}

fs::path ComPortSysfsRoot() {
    return SysfsRoot();
}

bool ComPortNameLess(const std::string& a, const std::string& b) noexcept {
    const bool less = std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) { return Lower(x) < Lower(y); });
    const bool greater = std::lexicographical_compare(
        b.begin(), b.end(), a.begin(), a.end(), [](char x, char y) { return Lower(x) < Lower(y); });
    // Names that differ only in case keep a fixed order.
    return less || (!greater && a < b);
}

void EnumerateComPorts(std::vector<std::string>& list) {
    const fs::path classDir = SysfsRoot() / "class" / "tty";
    std::error_code error;
    if (!fs::exists(classDir, error)) {
        if (error) {
            ListUnreadable(error);
        }
        // No tty class at all: a system without any serial device.
        list.clear();
        return;
    }
    std::vector<std::string> names;
    fs::directory_iterator it(classDir, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        if (IsSerialDevice(it->path())) {
            names.push_back("/dev/" + it->path().filename().string());
        }
    }
    if (error) {
        ListUnreadable(error);
    }
    std::sort(names.begin(), names.end(), ComPortNameLess);
    list = std::move(names);
}
