// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/ComPortDevices.h"

#include "serial/EComPort.h"
#include "serial/platform/PortName.h"
#include "serial/platform/SerialDeviceList.h"
#include "serial/platform/SysfsTty.h"

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <utility>

namespace {

TDeviceTree& Tree() {
    static TDeviceTree tree;
    return tree;
}

template <typename Reading>
auto Read(Reading reading) {
    try {
        return reading();
    } catch (const std::system_error& error) {
        throw EComPort(CError_RegError, error.code().value() != 0 ? error.code().value() : EIO);
    }
}

// "FTDI FT232R USB UART"; a product string that begins with the maker's name already says it.
std::string MakerAndProduct(const TSerialDevice& device) {
    if (device.Maker.empty() || device.Product.starts_with(device.Maker)) {
        return device.Product;
    }
    if (device.Product.empty()) {
        return device.Maker;
    }
    return device.Maker + " " + device.Product;
}

std::string Recognised(const TSerialDevice& device) {
    std::string text = MakerAndProduct(device);
    if (text.empty() && !device.ById.empty()) {
        text = std::filesystem::path(device.ById.front()).filename().string();
    }
    if (text.empty() && !device.VendorId.empty()) {
        text = "USB " + device.VendorId + ":" + device.ProductId;
    }
    if (!device.Serial.empty()) {
        text += (text.empty() ? "Nr. " : ", Nr. ") + device.Serial;
    }
    return text;
}

} // namespace

void SetComPortDeviceTree(TDeviceTree tree) {
    Tree() = std::move(tree);
}

const TDeviceTree& ComPortDeviceTree() {
    return Tree();
}

std::vector<std::string> ListComPortNames() {
    return Read([] { return SysfsSerialTtys(Tree().Sys); });
}

std::vector<TSerialDevice> ListComPortDevices() {
    return Read([] { return ListSerialDevices(Tree()); });
}

TPortIdentity ComPortIdentity(const std::string& portName) {
    const auto device =
        Read([&] { return SerialDeviceOfPath(DevicePathOfPort(portName), Tree()); });
    return device ? IdentityOf(*device) : TPortIdentity{};
}

TPortMatch FindComPort(const TPortIdentity& identity) {
    return MatchIdentity(identity, ListComPortDevices());
}

TPortReturn LocateReturningPort(const std::string& portName, const TPortIdentity& identity) {
    if (identity.Empty()) {
        return {TReturnKind::SameName, portName};
    }
    const TPortMatch match = FindComPort(identity);
    if (match.Result == TMatchResult::Several) {
        return {TReturnKind::Several, {}};
    }
    const auto underName =
        Read([&] { return SerialDeviceOfPath(DevicePathOfPort(portName), Tree()); });
    if (match.Result == TMatchResult::None) {
        return underName ? TPortReturn{TReturnKind::Stranger, underName->Name} : TPortReturn{};
    }
    // A name that still leads to the adapter (a by-id link, a link of the user's) is kept.
    if (underName && underName->Name == match.Device.Name) {
        return {TReturnKind::SameName, portName};
    }
    return {TReturnKind::NewName, match.Device.Name};
}

std::string ComPortDeviceText(const TSerialDevice& device) {
    std::string text = device.Name;
    if (const std::string recognised = Recognised(device); !recognised.empty()) {
        text += " — " + recognised;
    }
    if (!device.Driver.empty()) {
        text += " (" + device.Driver + ")";
    }
    return text;
}

std::string ComPortDeviceDetails(const TSerialDevice& device) {
    std::string text;
    const auto line = [&](const std::string& fact) { text += (text.empty() ? "" : "\n") + fact; };
    for (const std::string& link : device.ById) {
        line(link);
    }
    if (device.IsUsb()) {
        line("USB-Anschluss " + device.UsbPort + ", Kennung " + device.VendorId + ":" +
             device.ProductId);
    }
    return text;
}
