// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// Feeds random chunk sequences through framing and parsing. Input layout: the first byte gives
// the number L (0..15) of chunk-length bytes that follow; the rest is the received data, cut into
// chunks of those lengths (each 0..64, used in turn). The same data is then fed byte by byte, and
// the whole data is also parsed directly as a record of either shape.
#include "acquisition/MesswertLesen.h"
#include "acquisition/Rahmen.h"
#include "acquisition/Steuerzeichen.h"
#include "acquisition/Zahlwandlung.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

void Pruefen(bool bedingung) {
    if (!bedingung) {
        __builtin_trap();
    }
}

void MesswertPruefen(std::string_view satz, bool gerahmt) {
    std::string messgroesse = "pH";
    const TMesswert messwert = MesswertLesen(satz, gerahmt, messgroesse);
    Pruefen(std::isfinite(messwert.Wert) && std::isfinite(messwert.Temp) &&
            std::isfinite(messwert.Tref) && std::isfinite(messwert.TCKoeff));
    Pruefen(messwert.Gerahmt == gerahmt);
    Pruefen(messgroesse == messwert.Messgroesse);
    Pruefen(messgroesse.empty() == satz.empty());
}

void Einspeisen(std::string_view chunk, TRahmenZustand& zustand) {
    if (RahmenPruefen(chunk, zustand)) {
        Pruefen(!zustand.InRahmen || !zustand.Gerahmt);
        MesswertPruefen(zustand.EmpfangsPuffer, zustand.Gerahmt);
        MesswertPruefen(zustand.EmpfangsPuffer, !zustand.Gerahmt);
        zustand.EmpfangsPuffer.clear();
    }
    Pruefen(zustand.EmpfangsPuffer.size() <= RahmenPufferGroesse);
    Pruefen(!zustand.Gerahmt || !zustand.InRahmen);
}

std::vector<std::size_t> ChunkLaengen(std::string_view laengenBytes) {
    std::vector<std::size_t> laengen;
    bool eineNichtLeer = false;
    for (const char byte : laengenBytes) {
        laengen.push_back(static_cast<unsigned char>(byte) % 65U);
        eineNichtLeer = eineNichtLeer || laengen.back() > 0;
    }
    if (!eineNichtLeer) {
        laengen.push_back(7);
    }
    return laengen;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse) {
    if (groesse == 0) {
        return 0;
    }
    const std::string_view eingabe(reinterpret_cast<const char*>(daten), groesse);
    const std::size_t anzahlLaengen = std::min<std::size_t>(daten[0] % 16U, groesse - 1);
    const std::vector<std::size_t> laengen = ChunkLaengen(eingabe.substr(1, anzahlLaengen));
    std::string_view rest = eingabe.substr(1 + anzahlLaengen);
    const std::string_view empfangen = rest;

    TRahmenZustand stueckweise;
    for (std::size_t i = 0; !rest.empty(); ++i) {
        const std::string_view chunk = rest.substr(0, laengen[i % laengen.size()]);
        Einspeisen(chunk, stueckweise);
        Pruefen(SteuerzeichenText(chunk).size() >= chunk.size());
        rest.remove_prefix(chunk.size());
    }

    TRahmenZustand einzeln;
    for (std::size_t i = 0; i < empfangen.size(); ++i) {
        Einspeisen(empfangen.substr(i, 1), einzeln);
    }

    MesswertPruefen(empfangen, false);
    MesswertPruefen(empfangen, true);
    Pruefen(std::isfinite(ZahlWandeln(empfangen).Wert));
    return 0;
}
