// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "acquisition/Rahmen.h"

#include <algorithm>

namespace {

constexpr char DC1 = '\x11';
constexpr char DC3 = '\x13';
constexpr char LF = '\x0A';

// A plain line is complete once it holds this many characters and the last of them is a "C".
constexpr std::size_t ZeilenLaenge = 18;

bool IstSteuerzeichen(char zeichen) {
    return static_cast<unsigned char>(zeichen) < 0x20;
}

void Anhaengen(std::string& puffer, std::string_view teil, std::size_t grenze) {
    const std::size_t platz = grenze - std::min(puffer.size(), grenze);
    puffer.append(teil.substr(0, platz));
}

// Inside a frame: take the bytes up to a DC1 and close the frame when the DC1 has come. Bytes of
// the chunk after the DC1 are dropped.
bool RahmenFortsetzen(std::string_view neu, TRahmenZustand& zustand) {
    const std::size_t dc1 = neu.find(DC1);
    Anhaengen(zustand.EmpfangsPuffer, neu.substr(0, dc1), RahmenInhaltGroesse);
    if (dc1 == std::string_view::npos) {
        return false;
    }
    zustand.InRahmen = false;
    std::erase_if(zustand.EmpfangsPuffer, IstSteuerzeichen);
    zustand.Gerahmt = true;
    return true;
}

// Outside a frame: a chunk beginning with a control byte is not taken; a line feed at its start
// ends a line of at least 18 characters and discards a shorter one.
bool ZeileFortsetzen(std::string_view chunk, TRahmenZustand& zustand) {
    std::string& puffer = zustand.EmpfangsPuffer;
    const bool zeilenvorschub = chunk.front() == LF;
    if (zeilenvorschub && puffer.size() < ZeilenLaenge) {
        puffer.clear();
        return false;
    }
    if (!IstSteuerzeichen(chunk.front())) {
        Anhaengen(puffer, chunk, RahmenPufferGroesse);
    }
    if (puffer.size() < ZeilenLaenge) {
        return false;
    }
    const char achtzehntes = puffer[ZeilenLaenge - 1];
    return achtzehntes == 'C' || achtzehntes == 'c' || zeilenvorschub;
}

} // namespace

bool RahmenPruefen(std::string_view chunk, TRahmenZustand& zustand) {
    zustand.Gerahmt = false;
    if (chunk.empty()) {
        return false;
    }
    std::string_view neu = chunk;
    const std::size_t dc3 = chunk.find(DC3);
    if (dc3 != std::string_view::npos) {
        // A DC3 starts a frame afresh, whatever was collected before.
        zustand.InRahmen = true;
        zustand.EmpfangsPuffer.clear();
        neu = chunk.substr(dc3 + 1);
    }
    if (zustand.InRahmen) {
        return RahmenFortsetzen(neu, zustand);
    }
    return ZeileFortsetzen(chunk, zustand);
}
