// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "storage/Dateideskriptor.h"
#include "storage/RohdatenFormat.h"

#include <cstdint>
#include <string>

// Writes a raw-data capture. Each record goes out in one write, so a crash of the program after
// Schreiben returned leaves it whole in the file; nothing is synced to the disk per record.
class TRohSchreiber {
public:
    // Creates or empties the file and writes the header; raises EInOutError when the system
    // refuses, ERohdatenFehler on a header key that cannot be written.
    TRohSchreiber(const std::string& pfad, const TRohKopf& kopf);

    // Appends one record; raises EInOutError when the system refuses. A record that went out
    // only in part is cut off again, so a later record follows the last whole one.
    void Schreiben(const TRohEintrag& eintrag);

    // Closes the file; raises EInOutError when closing fails.
    void Schliessen();

private:
    void Zuruecknehmen();

    std::string puffer_; // the header first, then reused for every record
    TDateideskriptor datei_;
    std::int64_t ganz_ = 0; // the file's length up to the end of the last whole record
};
