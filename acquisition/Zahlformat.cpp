// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "acquisition/Zahlformat.h"

#include <array>
#include <charconv>

namespace {
char dezimalTrennzeichen = '.';
}

std::string Festkomma(double wert, int breite, int nachkommastellen, char trenner) {
    // 309 integer digits of the largest double, sign, point and the decimals fit.
    std::array<char, 400> puffer{};
    const auto [ende, fehler] = std::to_chars(puffer.data(), puffer.data() + puffer.size(), wert,
                                              std::chars_format::fixed, nachkommastellen);
    std::string text = fehler == std::errc{} ? std::string(puffer.data(), ende) : std::string("?");
    for (char& zeichen : text) {
        if (zeichen == '.') {
            zeichen = trenner;
        }
    }
    if (static_cast<int>(text.size()) < breite) {
        text.insert(0, static_cast<std::size_t>(breite) - text.size(), ' ');
    }
    return text;
}

std::string TabellenZahl(double wert) {
    return Festkomma(wert, 6, 2, '.');
}

char DezimalTrennzeichen() {
    return dezimalTrennzeichen;
}

void DezimalTrennzeichenSetzen(char trenner) {
    dezimalTrennzeichen = trenner;
}
