// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "acquisition/Zeichensatz.h"

#include <algorithm>
#include <array>

namespace {

// Windows-1252 bytes of the code page 850 bytes 0x80 to 0xFF.
constexpr std::array<char, 128> ObereHaelfte = {
    '\xC7', '\xFC', '\xE9', '\xE2', '\xE4', '\xE0', '\xE5', '\xE7', '\xEA', '\xEB', '\xE8', '\xEF',
    '\xEE', '\xEC', '\xC4', '\xC5', '\xC9', '\xE6', '\xC6', '\xF4', '\xF6', '\xF2', '\xFB', '\xF9',
    '\xFF', '\xD6', '\xDC', '\xF8', '\xA3', '\xD8', '\xD7', '\x83', '\xE1', '\xED', '\xF3', '\xFA',
    '\xF1', '\xD1', '\xAA', '\xBA', '\xBF', '\xAE', '\xAC', '\xBD', '\xBC', '\xA1', '\xAB', '\xBB',
    '?',    '?',    '?',    '?',    '?',    '\xC1', '\xC2', '\xC0', '\xA9', '?',    '?',    '?',
    '?',    '\xA2', '\xA5', '?',    '?',    '?',    '?',    '?',    '?',    '?',    '\xE3', '\xC3',
    '?',    '?',    '?',    '?',    '?',    '?',    '?',    '\xA4', '\xF0', '\xD0', '\xCA', '\xCB',
    '\xC8', '?',    '\xCD', '\xCE', '\xCF', '?',    '?',    '?',    '?',    '\xA6', '\xCC', '?',
    '\xD3', '\xDF', '\xD4', '\xD2', '\xF5', '\xD5', '\xB5', '\xFE', '\xDE', '\xDA', '\xDB', '\xD9',
    '\xFD', '\xDD', '\xAF', '\xB4', '\xAD', '\xB1', '?',    '\xBE', '\xB6', '\xA7', '\xF7', '\xB8',
    '\xB0', '\xA8', '\xB7', '\xB9', '\xB3', '\xB2', '?',    '\xA0',
};

char Zeichen(char cp850) {
    const auto byte = static_cast<unsigned char>(cp850);
    return byte < 0x80 ? cp850 : ObereHaelfte[byte - 0x80U];
}

} // namespace

std::string Cp850ZuWindows1252(std::string_view text) {
    std::string ergebnis(text.size(), '\0');
    std::transform(text.begin(), text.end(), ergebnis.begin(), Zeichen);
    return ergebnis;
}
