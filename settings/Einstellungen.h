// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

// The program's settings beyond the seven lines of PHRX.CFG. They live in quorlits.conf (INI,
// one group [Messung]) in the folder that holds PHRX.CFG, so an older program that knows only
// PHRX.CFG reads that file unchanged.
struct TEinstellungen {
    // A device that goes away during a measurement is waited for and reopened, and the
    // measurement and its data file go on.
    bool AutomatischWiederverbinden = true;
    // Every measurement keeps the raw bytes of the line in a capture beside the data file.
    bool RohdatenAufzeichnen = false;
    // "Probe, Bediener und Elektrode in die Datendatei": every line of a data file, its header
    // lines included, ends in three more fields. Taken at each start of saving.
    bool AngabenInDatei = false;

    bool operator==(const TEinstellungen&) const = default;
};
