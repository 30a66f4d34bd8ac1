// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/platform/ComDevice.h"
#include "storage/Uhr.h"

#include <filesystem>
#include <memory>
#include <string>

// What the main window is started with.
struct TFormOptionen {
    // Where PHRX.CFG is read at first activation and written when the window closes.
    std::filesystem::path KonfigurationsDatei;
    // The device the port starts with ("COM1" when empty).
    std::string Port;
    // The device layer of the port; the POSIX one when empty.
    std::unique_ptr<TComDevice> Geraet;
    // The clock of the PC stamps, labels and file names; the machine's clock when empty.
    TUhr Uhr;
    // --capture: the raw-data capture of every measurement of the run goes to this file.
    std::string Aufzeichnung;
    // Where the publisher's outboxes lie; $XDG_STATE_HOME (~/.local/state) when empty.
    std::filesystem::path ZustandsOrdner;
};
