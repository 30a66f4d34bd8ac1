// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/widgets/ComPortList.h"

#include "serial/ComPortDevices.h"
#include "serial/platform/SysfsTty.h"

namespace fs = std::filesystem;

void SetComPortSysfsRoot(fs::path root) {
    if (root.empty()) {
        SetComPortDeviceTree({});
    } else {
        // A fake tree has its device directory beside class/, so no link of the system's
        // /dev/serial/by-id ever shows in it.
        SetComPortDeviceTree({root, root / "dev"});
    }
}

fs::path ComPortSysfsRoot() {
    return ComPortDeviceTree().Sys;
}

bool ComPortNameLess(const std::string& a, const std::string& b) noexcept {
    return SerialNameLess(a, b);
}

void EnumerateComPorts(std::vector<std::string>& list) {
    list = ListComPortNames();
}
