// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "reception/Empfang.h"
#include "storage/RohdatenFormat.h"

#include <cstdint>
#include <string>

class TRohLeser;

// Replays a raw-data capture through the same reception and saving as the live run: every
// received chunk with the clock reading it was stamped with, the recorded starts and ends of
// measurements and saving, and every change of sample, operator and electrode. All saving goes to
// one data file, which is appended to and never emptied; a start of saving that restarted the count
// in the live run (overwriting or automatic names) restarts it here too, so a header line follows
// as it did then.
class TAbspielung {
public:
    // `zustand` starts as after the window's first activation (AnfangszustandSetzen), with the
    // settings of the capture's header (KonfigurationAuslesen).
    TAbspielung(TProgrammZustand& zustand, std::string datendatei);

    // Handles one record as the live program did. Raises EInOutError when the data file cannot
    // be written, EMeldung when saving cannot start, and
    // ERohdatenFehler on a record whose payload cannot be read.
    void Eintrag(const TRohEintrag& eintrag);

    // The readings listed so far.
    std::int64_t Datensaetze() const noexcept { return datensaetze_; }

private:
    void MessungBeginnen(const std::string& art);
    void SpeichernBeginnen(const TRohEintrag& eintrag);

    TProgrammZustand& zustand_;
    std::string datendatei_;
    std::int64_t datensaetze_ = 0;
};

// What a whole replay did.
struct TAbspielBericht {
    std::int64_t Eintraege = 0;
    std::int64_t Datensaetze = 0;
    bool Abgeschnitten = false; // the capture ended in a cut or damaged record
};

// Replays every record of `leser` into `datendatei` and closes the data file. Raises as
// TAbspielung::Eintrag does, and EInOutError when the capture cannot be read.
TAbspielBericht AufnahmeAbspielen(TRohLeser& leser, const std::string& datendatei);
