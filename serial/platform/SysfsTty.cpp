// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/platform/SysfsTty.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace {

char Lower(char c) noexcept {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

[[noreturn]] void Unreadable(const std::error_code& error, const fs::path& what) {
    throw std::system_error(
        error.value() != 0 ? error : std::error_code(EIO, std::generic_category()), what.string());
}

// Serial-core ports (ttyS and the like) carry their UART type; 0 means no UART answered at that
// address. Other drivers have no such file.
bool HasUart(const fs::path& entry) {
    std::ifstream file(entry / "type");
    if (!file) {
        return true;
    }
    int type = 0;
    return (file >> type) && type != 0;
}

// A sysfs attribute without its line end; empty when the file is missing.
std::string Attribute(const fs::path& file) {
    std::ifstream in(file);
    std::string value;
    std::getline(in, value);
    while (!value.empty() &&
           (value.back() == '\n' || value.back() == ' ' || value.back() == '\r')) {
        value.pop_back();
    }
    return value;
}

bool Exists(const fs::path& path) {
    std::error_code error;
    return fs::exists(path, error);
}

std::string LinkName(const fs::path& link) {
    std::error_code error;
    const fs::path target = fs::read_symlink(link, error);
    return error ? std::string() : target.filename().string();
}

void ReadUsbDevice(TSerialDevice& device, const fs::path& dir) {
    device.VendorId = Attribute(dir / "idVendor");
    device.ProductId = Attribute(dir / "idProduct");
    device.Maker = Attribute(dir / "manufacturer");
    device.Product = Attribute(dir / "product");
    device.Serial = Attribute(dir / "serial");
    device.UsbPort = dir.filename().string();
}

} // namespace

bool SerialNameLess(const std::string& a, const std::string& b) noexcept {
    const auto lowerLess = [](char x, char y) { return Lower(x) < Lower(y); };
    const bool less =
        std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), lowerLess);
    const bool greater =
        std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), lowerLess);
    return less || (!greater && a < b);
}

bool IsSerialTty(const fs::path& ttyDir) {
    return Exists(ttyDir / "device") && HasUart(ttyDir);
}

std::vector<std::string> SysfsSerialTtys(const fs::path& sys) {
    const fs::path classDir = sys / "class" / "tty";
    std::error_code error;
    if (!fs::exists(classDir, error)) {
        if (error) {
            Unreadable(error, classDir);
        }
        return {};
    }
    std::vector<std::string> names;
    fs::directory_iterator it(classDir, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        if (IsSerialTty(it->path())) {
            names.push_back("/dev/" + it->path().filename().string());
        }
    }
    if (error) {
        Unreadable(error, classDir);
    }
    std::sort(names.begin(), names.end(), SerialNameLess);
    return names;
}

void ReadSysfsFacts(TSerialDevice& device, const fs::path& ttyDir, const fs::path& sys) {
    std::error_code error;
    const fs::path behind = fs::canonical(ttyDir / "device", error);
    if (error) {
        return;
    }
    device.Driver = LinkName(behind / "driver");
    // A usb-serial port numbers the ports of its interface; a cdc_acm tty hangs directly below
    // the interface. The interface carries its number, the USB device above it its strings.
    device.PortNumber = Attribute(behind / "port_number");
    for (fs::path dir = behind; dir.has_relative_path() && dir != sys; dir = dir.parent_path()) {
        if (device.Interface.empty() && Exists(dir / "bInterfaceNumber")) {
            device.Interface = Attribute(dir / "bInterfaceNumber");
        }
        if (Exists(dir / "idVendor")) {
            ReadUsbDevice(device, dir);
            return;
        }
    }
}

std::map<std::string, std::vector<std::string>> SerialByIdLinks(const TDeviceTree& tree) {
    const fs::path byId = tree.Dev / "serial" / "by-id";
    std::map<std::string, std::vector<std::string>> links;
    std::error_code error;
    fs::directory_iterator it(byId, error);
    if (error == std::errc::no_such_file_or_directory) {
        return links;
    }
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        std::error_code linkError;
        const fs::path target = fs::read_symlink(it->path(), linkError);
        if (linkError) {
            continue; // not a link: nothing udev would have put there
        }
        // "../../ttyUSB0", seen from the device directory.
        const fs::path node = (byId / target).lexically_normal().lexically_relative(tree.Dev);
        if (node.empty() || *node.begin() == "..") {
            continue;
        }
        links["/dev/" + node.generic_string()].push_back("/dev/serial/by-id/" +
                                                         it->path().filename().string());
    }
    if (error) {
        Unreadable(error, byId);
    }
    for (auto& [name, list] : links) {
        std::sort(list.begin(), list.end());
    }
    return links;
}
