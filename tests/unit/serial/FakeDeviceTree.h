// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/platform/SerialDevice.h"
#include "tests/unit/common/TestOrdner.h"

#include <filesystem>
#include <string>

// A sysfs tree and a device directory laid out as the kernel and udev lay them out: USB adapters
// with their device, interface and port entries, ports on the main board, virtual terminals, and
// the links of dev/serial/by-id.
class TFakeDeviceTree {
public:
    TFakeDeviceTree() {
        std::filesystem::create_directories(Ordner / "class/tty");
        std::filesystem::create_directories(Ordner / "dev");
    }

    TDeviceTree Tree() const { return {Ordner.Pfad(), Ordner / "dev"}; }

    // An adapter as `device` describes it: a usb-serial port (ttyUSB) with its port number, or
    // without one a cdc_acm tty hanging directly below the interface.
    void AddUsb(const TSerialDevice& device) const {
        namespace fs = std::filesystem;
        const fs::path usb = Ordner / "devices/pci0000:00/0000:00:14.0/usb1" / device.UsbPort;
        const fs::path interface =
            usb / (device.UsbPort + ":1." + std::to_string(std::stoi(device.Interface)));
        fs::create_directories(interface);
        Attribute(usb / "idVendor", device.VendorId);
        Attribute(usb / "idProduct", device.ProductId);
        Attribute(usb / "manufacturer", device.Maker);
        Attribute(usb / "product", device.Product);
        Attribute(usb / "serial", device.Serial);
        Attribute(interface / "bInterfaceNumber", device.Interface);
        fs::path behind = interface;
        if (!device.PortNumber.empty()) {
            behind = interface / Tty(device);
            fs::create_directories(behind);
            Attribute(behind / "port_number", device.PortNumber);
        }
        Driver(behind, device.Driver);
        AddTty(device, behind);
    }

    // A serial-core port on the main board; UART type 0 means no UART answered.
    void AddMainboard(const TSerialDevice& device, int uartType = 4) const {
        const std::filesystem::path behind = Ordner / "devices/platform/serial8250";
        std::filesystem::create_directories(behind);
        Driver(behind, device.Driver);
        AddTty(device, behind);
        Attribute(Ordner / "class/tty" / Tty(device) / "type", std::to_string(uartType));
    }

    // A terminal without a device behind it.
    void AddVirtual(const std::string& tty) const {
        const std::filesystem::path entry = Ordner / "devices/virtual/tty" / tty;
        std::filesystem::create_directories(entry);
        std::filesystem::create_directory_symlink(entry, Ordner / "class/tty" / tty);
    }

    // A link of the device directory: `link` below dev/, pointing to `target` as written.
    void Link(const std::string& link, const std::string& target) const {
        const std::filesystem::path path = Ordner / "dev" / link;
        std::filesystem::create_directories(path.parent_path());
        std::filesystem::create_symlink(target, path);
    }

    // Unplugs the device of the tty `tty`: its class entry and by-id links go.
    void Remove(const std::string& tty) const {
        namespace fs = std::filesystem;
        const fs::path entry = Ordner / "class/tty" / tty;
        fs::remove_all(fs::canonical(entry));
        fs::remove(entry);
        const fs::path byId = Ordner / "dev/serial/by-id";
        if (fs::exists(byId)) {
            for (const auto& link : fs::directory_iterator(byId)) {
                if (fs::read_symlink(link.path()).filename() == tty) {
                    fs::remove(link.path());
                }
            }
        }
    }

    TTestOrdner Ordner;

private:
    static std::string Tty(const TSerialDevice& device) {
        return std::filesystem::path(device.Name).filename().string();
    }

    static void Attribute(const std::filesystem::path& file, const std::string& value) {
        if (!value.empty()) {
            DateiSchreiben(file, value + "\n");
        }
    }

    void Driver(const std::filesystem::path& dir, const std::string& driver) const {
        const std::filesystem::path bound = Ordner / "bus/drivers" / driver;
        std::filesystem::create_directories(bound);
        // An adapter plugged in again finds its port entry as it left it.
        if (!std::filesystem::is_symlink(dir / "driver")) {
            std::filesystem::create_directory_symlink(bound, dir / "driver");
        }
    }

    // The class device of the tty below `behind`, its entry in class/tty and its by-id links.
    void AddTty(const TSerialDevice& device, const std::filesystem::path& behind) const {
        const std::filesystem::path classDevice = behind / "tty" / Tty(device);
        std::filesystem::create_directories(classDevice);
        std::filesystem::create_directory_symlink(behind, classDevice / "device");
        std::filesystem::create_directory_symlink(classDevice, Ordner / "class/tty" / Tty(device));
        for (const std::string& link : device.ById) {
            Link(link.substr(std::string("/dev/").size()), "../../" + Tty(device));
        }
    }
};
