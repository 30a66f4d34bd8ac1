// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/platform/UdevDevices.h"

#include "serial/platform/SysfsTty.h"

#include <libudev.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>

namespace {

struct UdevUnref {
    void operator()(udev* u) const noexcept { udev_unref(u); }
    void operator()(udev_enumerate* e) const noexcept { udev_enumerate_unref(e); }
    void operator()(udev_device* d) const noexcept { udev_device_unref(d); }
};
template <typename T>
using UdevPtr = std::unique_ptr<T, UdevUnref>;

std::string Property(udev_device* device, const char* key) {
    const char* value = udev_device_get_property_value(device, key);
    return value != nullptr ? value : "";
}

// udev's *_ENC properties write every byte that is not a plain character as \xNN.
std::string Decoded(std::string_view encoded) {
    std::string text;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == '\\' && i + 3 < encoded.size() && encoded[i + 1] == 'x') {
            const std::string hex(encoded.substr(i + 2, 2));
            char* end = nullptr;
            const long byte = std::strtol(hex.c_str(), &end, 16);
            if (end == hex.c_str() + 2) {
                text += static_cast<char>(byte);
                i += 3;
                continue;
            }
        }
        text += encoded[i];
    }
    return text;
}

// A property for a field sysfs left empty. Without a string of its own udev writes the USB
// number there; that adds nothing to the number fields and is left out.
void Fill(std::string& field, std::string value, const TSerialDevice& device) {
    if (field.empty() && value != device.VendorId && value != device.ProductId) {
        field = std::move(value);
    }
}

void FillFromProperties(TSerialDevice& device, udev_device* d) {
    if (device.IsUsb()) {
        Fill(device.Maker, Decoded(Property(d, "ID_VENDOR_ENC")), device);
        Fill(device.Product, Decoded(Property(d, "ID_MODEL_ENC")), device);
        Fill(device.Serial, Property(d, "ID_SERIAL_SHORT"), device);
    }
    if (device.Driver.empty()) {
        device.Driver = Property(d, "ID_USB_DRIVER");
    }
}

// udev's links of the device below /dev/serial/by-id: from its database, or the DEVLINKS
// property where only that is known.
void AddByIdLinks(std::vector<std::string>& links, udev_device* d) {
    constexpr std::string_view byId = "/dev/serial/by-id/";
    const auto add = [&](const std::string& link) {
        if (link.starts_with(byId) && std::find(links.begin(), links.end(), link) == links.end()) {
            links.push_back(link);
        }
    };
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_device_get_devlinks_list_entry(d)) {
        add(udev_list_entry_get_name(entry));
    }
    std::istringstream property(Property(d, "DEVLINKS"));
    std::string link;
    while (property >> link) {
        add(link);
    }
    std::sort(links.begin(), links.end());
}

std::string DeviceName(udev_device* d) {
    if (const char* node = udev_device_get_devnode(d)) {
        return node;
    }
    // Nested node names are written with '!' in sysfs.
    std::string name = udev_device_get_sysname(d);
    std::replace(name.begin(), name.end(), '!', '/');
    return "/dev/" + name;
}

} // namespace

std::optional<std::vector<TSerialDevice>> UdevSerialDevices(const TDeviceTree& tree) {
    const UdevPtr<udev> context(udev_new());
    if (!context) {
        return std::nullopt;
    }
    const UdevPtr<udev_enumerate> enumerate(udev_enumerate_new(context.get()));
    if (!enumerate || udev_enumerate_add_match_subsystem(enumerate.get(), "tty") < 0 ||
        udev_enumerate_scan_devices(enumerate.get()) < 0) {
        return std::nullopt;
    }
    auto links = SerialByIdLinks(tree);
    std::vector<TSerialDevice> devices;
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate.get())) {
        const char* syspath = udev_list_entry_get_name(entry);
        const UdevPtr<udev_device> d(udev_device_new_from_syspath(context.get(), syspath));
        // A device unplugged since the scan is gone from the list as well.
        if (!d || !IsSerialTty(syspath)) {
            continue;
        }
        TSerialDevice device;
        device.Name = DeviceName(d.get());
        ReadSysfsFacts(device, syspath, tree.Sys);
        FillFromProperties(device, d.get());
        device.ById = std::move(links[device.Name]);
        AddByIdLinks(device.ById, d.get());
        devices.push_back(std::move(device));
    }
    std::sort(devices.begin(), devices.end(), [](const TSerialDevice& a, const TSerialDevice& b) {
        return SerialNameLess(a.Name, b.Name);
    });
    return devices;
}
