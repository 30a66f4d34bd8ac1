// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "storage/RohdatenFormat.h"
#include "storage/Schreibdatei.h"

#include <cstdint>
#include <string>

// How a capture file is begun.
enum class TRohOeffnung {
    // A new capture: a missing or empty file; a file with content is refused untouched.
    Neu,
    // Continues an existing capture: a LaufBeginn record with the new header marks the new run.
    // A file that is no capture (or one of a newer format) is refused untouched; a missing or
    // empty file is begun as with Neu.
    Fortsetzen,
};

// Writes a raw-data capture. Each record goes out in one write, so a crash of the program after
// Schreiben returned leaves it whole in the file, and reaches the disk within a second when the
// caller's event loop calls Datei().Synchronisieren(). Only a regular file (or /dev/null,
// /dev/full) is taken.
class TRohSchreiber {
public:
    // Opens the file and writes the header (or, when continuing, the LaufBeginn record). Raises
    // EInOutError when the system refuses or the file is refused (the German text names it),
    // ERohdatenFehler on a header key that cannot be written; the file is left as it was then.
    TRohSchreiber(const std::string& pfad, const TRohKopf& kopf,
                  TRohOeffnung art = TRohOeffnung::Neu, TSchreibUmgebung umgebung = {});

    // Appends one record; raises EInOutError when the system refuses, unless the file keeps
    // what it cannot write (Datei().Aufbewahren). A record that went out only in part is cut
    // off again, so a later record follows the last whole one.
    void Schreiben(const TRohEintrag& eintrag);

    // Writes the Ende record (stamped as the last record) and closes the file; raises
    // EInOutError when this fails or records had to be given up. Closed afterwards in any case.
    void Schliessen();

    // The file underneath: keeping records that cannot be written (the records lost beyond its
    // limits are marked by a Luecke record), syncs, reports.
    TSchreibdatei& Datei() noexcept { return datei_; }

private:
    void Beginnen(TRohOeffnung art);

    TSchreibdatei datei_{RohdatenWorte, false};
    std::string puffer_;  // reused for every record
    TRohEintrag letzter_; // the stamps of the last record, for the Ende record
};

// The payload of a Luecke record: "Eintraege=N\tBytes=M".
std::string LueckenText(std::uint64_t eintraege, std::uint64_t bytes);
