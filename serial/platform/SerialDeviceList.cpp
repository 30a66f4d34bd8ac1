// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/platform/SerialDeviceList.h"

#include "serial/platform/SysfsTty.h"
#include "serial/platform/UdevDevices.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::vector<TSerialDevice> SysfsSerialDevices(const TDeviceTree& tree) {
    const std::vector<std::string> names = SysfsSerialTtys(tree.Sys);
    auto links = SerialByIdLinks(tree);
    std::vector<TSerialDevice> devices;
    for (const std::string& name : names) {
        TSerialDevice device;
        device.Name = name;
        ReadSysfsFacts(device, tree.Sys / "class" / "tty" / fs::path(name).filename(), tree.Sys);
        device.ById = std::move(links[name]);
        devices.push_back(std::move(device));
    }
    return devices;
}

// Where a name below /dev lies in `tree`; other paths lie where they say.
fs::path OnDisk(const TDeviceTree& tree, const fs::path& name) {
    const fs::path below = name.lexically_relative("/dev");
    if (below.empty() || *below.begin() == "..") {
        return name;
    }
    return tree.Dev / below;
}

const TSerialDevice* Named(const std::vector<TSerialDevice>& devices, const std::string& name) {
    const auto found = std::find_if(devices.begin(), devices.end(),
                                    [&](const TSerialDevice& d) { return d.Name == name; });
    return found != devices.end() ? &*found : nullptr;
}

// The name of the tty whose device number the node at `path` carries.
std::string NameByDeviceNumber(const TDeviceTree& tree, const fs::path& path) {
    struct stat node {};
    if (::stat(OnDisk(tree, path).c_str(), &node) != 0 || !S_ISCHR(node.st_mode)) {
        return {};
    }
    const std::string number =
        std::to_string(major(node.st_rdev)) + ":" + std::to_string(minor(node.st_rdev));
    std::error_code error;
    const fs::path entry = fs::canonical(tree.Sys / "dev" / "char" / number, error);
    return error ? std::string() : "/dev/" + entry.filename().string();
}

} // namespace

std::vector<TSerialDevice> ListSerialDevices(const TDeviceTree& tree) {
    if (tree.IsSystem()) {
        if (auto devices = UdevSerialDevices(tree)) {
            return std::move(*devices);
        }
    }
    return SysfsSerialDevices(tree);
}

std::optional<TSerialDevice> SerialDeviceOfPath(const std::string& path, const TDeviceTree& tree) {
    const std::vector<TSerialDevice> devices = ListSerialDevices(tree);
    // Follow the links one at a time: the first name on the way that the list knows is the
    // device, even where the node itself is a link again (as under a test bed).
    fs::path name = fs::path(path).lexically_normal();
    for (int step = 0; step < 40; ++step) {
        if (const TSerialDevice* device = Named(devices, name.string())) {
            return *device;
        }
        std::error_code error;
        const fs::path target = fs::read_symlink(OnDisk(tree, name), error);
        if (error) {
            break;
        }
        name = (name.parent_path() / target).lexically_normal();
    }
    if (const TSerialDevice* device = Named(devices, NameByDeviceNumber(tree, path))) {
        return *device;
    }
    return std::nullopt;
}
