// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// What the system tells about one serial device. Every USB field is empty for a device that is
// not on USB (a port on the main board or a plug-in card); then the name is all there is.
struct TSerialDevice {
    std::string Name;              // "/dev/ttyUSB0"
    std::vector<std::string> ById; // "/dev/serial/by-id/usb-FTDI_…-if00-port0", sorted
    std::string VendorId;          // USB vendor number as sysfs writes it, "0403"
    std::string ProductId;         // USB product number, "6001"
    std::string Maker;             // the adapter's manufacturer string, "FTDI"
    std::string Product;           // the adapter's product string, "FT232R USB UART"
    std::string Serial;            // the adapter's serial number, "A50285BI"
    std::string UsbPort;           // the USB port it is plugged into: bus and hub ports, "1-1.2"
    std::string Interface;         // the USB interface of the port, "00" (adapters with several)
    std::string PortNumber;        // the port within that interface, "0" (usb-serial drivers)
    std::string Driver;            // "ftdi_sio", "cdc_acm", "serial8250"

    bool IsUsb() const noexcept { return !UsbPort.empty(); }

    friend bool operator==(const TSerialDevice&, const TSerialDevice&) = default;
};

// Where the devices are read: the sysfs tree and the device directory. The system's own tree is
// "/sys" and "/dev"; tests point both at a fake tree. The names of the devices always read
// "/dev/<name>", whatever the tree, as they are the names a port is opened by.
struct TDeviceTree {
    std::filesystem::path Sys = "/sys";
    std::filesystem::path Dev = "/dev";

    // udev describes the system's tree only.
    bool IsSystem() const { return Sys == "/sys" && Dev == "/dev"; }
};
