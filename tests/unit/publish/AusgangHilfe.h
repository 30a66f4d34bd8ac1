// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "publish/Ausgang.h"

#include <cstdint>
#include <string>

inline TAusgangsSatz Nachricht(const std::string& messung, std::uint64_t seq) {
    return TAusgangsSatz{TAusgangsArt::Nachricht, messung, seq, "quorlits/v1/b/m/reading",
                         R"({"seq":)" + std::to_string(seq) + "}"};
}

// The next records to hand out, as "m:1 m:2 m:3-7" (a gap record as its range).
inline std::string Folge(TAusgang& ausgang, std::size_t hoechstens) {
    std::string folge;
    for (const TAusgangsSatz& satz : ausgang.Naechste(hoechstens)) {
        folge += (folge.empty() ? "" : " ") + satz.Messung + ":" +
                 (satz.Art == TAusgangsArt::Luecke ? std::to_string(satz.VonSeq) + "-" : "") +
                 std::to_string(satz.Seq);
    }
    return folge;
}
