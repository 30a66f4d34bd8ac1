// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/widgets/ComPortList.h"
#include "tests/unit/common/TestOrdner.h"

#include <filesystem>
#include <initializer_list>
#include <string>

// A fake sysfs tree whose class/tty lists serial devices with a UART behind them; the device
// list of the serial controls reads it while the rig lives.
class TComSysfsRig {
public:
    explicit TComSysfsRig(std::initializer_list<std::string> devices = {}) {
        std::filesystem::create_directories(Ordner / "class/tty");
        for (const std::string& name : devices) {
            const std::filesystem::path eintrag = Ordner / "class/tty" / name;
            std::filesystem::create_directories(eintrag / "device");
            DateiSchreiben(eintrag / "type", "4\n");
        }
        SetComPortSysfsRoot(Ordner.Pfad());
    }
    ~TComSysfsRig() { SetComPortSysfsRoot({}); }
    TComSysfsRig(const TComSysfsRig&) = delete;
    TComSysfsRig& operator=(const TComSysfsRig&) = delete;

    // The device list can no longer be read (class/tty is a plain file).
    void Unlesbar() const {
        std::filesystem::remove_all(Ordner / "class/tty");
        DateiSchreiben(Ordner / "class/tty", "kein Verzeichnis");
    }

    TTestOrdner Ordner;
};
