// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "TestOrdner.h"
#include "audit/Protokollzeile.h"

#include <string>
#include <string_view>

// The events of the trail `pfad`, one "Ereignis: Details" line each, "?" for a line that is no
// well-formed line of the trail.
inline std::string Ereignisse(const std::string& pfad) {
    const std::string protokoll = DateiLesen(pfad);
    std::string ereignisse;
    for (const std::string_view zeile : ZeilenTeilen(protokoll)) {
        const auto eintrag = ProtokollZeileLesen(zeile.substr(0, zeile.size() - 1));
        ereignisse += eintrag ? eintrag->Ereignis + ": " + eintrag->Details + "\n" : "?\n";
    }
    return ereignisse;
}
