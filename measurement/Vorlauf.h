// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "acquisition/Messwert.h"

#include <cstdint>
#include <optional>

// What must be on the disk ahead of the data file: a file of its own that keeps a copy of each
// reading saved at once (the publisher's outbox). The measurement hands it each such reading
// right before the reading's line is written, and lets it sync right before the data file is
// synced; so a crash or a power cut may leave a copy without its line, never a line without its
// copy. A measurement has at most one (TMessung::VorlaufSetzen).
class TVorlauf {
public:
    // `messwert` is saved at once; its line is written right after this, as line `zeile` of
    // the data file (empty when the file cannot be read back).
    virtual void VorDerZeile(const TMesswert& messwert, std::optional<std::int64_t> zeile) = 0;
    // The data file and the capture are brought onto the disk right after this.
    virtual void VorDemSichern() = 0;

protected:
    ~TVorlauf() = default;
};
