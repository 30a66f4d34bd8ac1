// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/platform/SerialDevice.h"
#include "tests/unit/common/TestOrdner.h"

#include <umockdev.h>

#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

// A umockdev test bed: /sys and /dev of the program are its own while it lives (the test runs
// with umockdev's preload library). Devices are written in the format of umockdev-record, as
// the kernel lays out USB serial adapters, and plugging sends uevents as the kernel does.
class TUmockdevBed {
public:
    TUmockdevBed()
        : bed_(umockdev_testbed_new()) {
        // The system's by-id links fall through where the bed has no such directory.
        std::filesystem::create_directories(Root() / "dev/serial/by-id");
    }
    ~TUmockdevBed() { g_object_unref(bed_); }
    TUmockdevBed(const TUmockdevBed&) = delete;
    TUmockdevBed& operator=(const TUmockdevBed&) = delete;

    static bool Active() { return umockdev_in_mock_environment() != 0; }

    std::filesystem::path Root() const {
        gchar* root = umockdev_testbed_get_root_dir(bed_);
        const std::filesystem::path path(root);
        g_free(root);
        return path;
    }

    // Plugs in an adapter described as the lists describe it: a usb-serial port (with a port
    // number) or a cdc_acm tty. Its by-id links are written as udev writes them: as links in
    // /dev/serial/by-id and in the tty's DEVLINKS property. `properties` adds udev properties.
    void Plug(const TSerialDevice& device, const std::string& properties = {}) {
        const std::string tty = std::filesystem::path(device.Name).filename().string();
        const std::string usb = "/devices/pci0000:00/0000:00:14.0/usb1/" + device.UsbPort;
        const std::string interface =
            usb + "/" + device.UsbPort + ":1." + std::to_string(std::stoi(device.Interface));
        std::string record =
            "P: " + usb + "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\n" +
            Attribute("idVendor", device.VendorId) + Attribute("idProduct", device.ProductId) +
            Attribute("manufacturer", device.Maker) + Attribute("product", device.Product) +
            Attribute("serial", device.Serial) + "\n";
        record += "P: " + interface + "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_interface\n" +
                  Attribute("bInterfaceNumber", device.Interface) + "\n";
        std::string behind = interface;
        std::vector<std::string> paths{usb, interface};
        if (!device.PortNumber.empty()) {
            behind = interface + "/" + tty;
            paths.push_back(behind);
            record += "P: " + behind + "\nE: SUBSYSTEM=usb-serial\n" +
                      Attribute("port_number", device.PortNumber);
            record += device.Driver.empty()
                          ? "\n"
                          : "L: driver=../../../../../../../bus/usb-serial/drivers/" +
                                device.Driver + "\n\n";
        } else if (!device.Driver.empty()) {
            record.insert(record.size() - 1,
                          "L: driver=../../../../../../bus/usb/drivers/" + device.Driver + "\n");
        }
        const std::string classDevice = behind + "/tty/" + tty;
        paths.push_back(classDevice);
        std::string links;
        for (const std::string& link : device.ById) {
            links += (links.empty() ? "" : " ") + link;
            // Of adapters that share a link udev keeps the first one's.
            const std::filesystem::path file = Root() / link.substr(1);
            if (!std::filesystem::is_symlink(file)) {
                std::filesystem::create_symlink("../../" + tty, file);
            }
        }
        // ttyUSB has major number 188, ttyACM 166. The node in the bed's /dev is a plain file
        // of the bed's own: umockdev cannot make a node of the same name again after its device
        // was removed. The by-id links need it: the bed shows only paths that lead somewhere.
        DateiSchreiben(Root() / "dev" / tty, "");
        const std::string number = std::string(device.PortNumber.empty() ? "166:" : "188:") +
                                   tty.substr(tty.find_first_of("0123456789"));
        record += "P: " + classDevice + "\nA: dev=" + number + "\nL: device=../../../" +
                  std::filesystem::path(behind).filename().string() +
                  "\nE: SUBSYSTEM=tty\nE: DEVNAME=" + tty +
                  (links.empty() ? "" : "\nE: DEVLINKS=" + links) + "\n" + properties + "\n";
        Add(record);
        plugged_[device.Name] = paths;
    }

    // Pulls the adapter of the device name `name` out: remove events, then its entries go.
    void Unplug(const std::string& name) {
        std::vector<std::string>& paths = plugged_.at(name);
        for (auto path = paths.rbegin(); path != paths.rend(); ++path) {
            Event(*path, "remove");
            umockdev_testbed_remove_device(bed_, ("/sys" + *path).c_str());
        }
        plugged_.erase(name);
        std::filesystem::remove(Root() / "dev" / std::filesystem::path(name).filename());
        for (const auto& link : std::filesystem::directory_iterator(Root() / "dev/serial/by-id")) {
            if (std::filesystem::read_symlink(link.path()).filename() ==
                std::filesystem::path(name).filename()) {
                std::filesystem::remove(link.path());
            }
        }
    }

    // Adds devices from a umockdev-record text as it is; each sends its "add" event.
    void Add(const std::string& record) {
        GError* error = nullptr;
        if (!umockdev_testbed_add_from_string(bed_, record.c_str(), &error)) {
            const std::string message = error->message;
            g_error_free(error);
            throw std::runtime_error(message);
        }
    }

    void Event(const std::string& devpath, const char* action) {
        umockdev_testbed_uevent(bed_, ("/sys" + devpath).c_str(), action);
    }

private:
    static std::string Attribute(const std::string& name, const std::string& value) {
        return value.empty() ? std::string() : "A: " + name + "=" + value + "\n";
    }

    UMockdevTestbed* bed_;
    std::map<std::string, std::vector<std::string>> plugged_;
};
