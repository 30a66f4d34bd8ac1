// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "collector/DatenbankText.h"

#include <cstdint>

namespace {

constexpr std::string_view Ersatz = "\xEF\xBF\xBD";     // U+FFFD
constexpr std::string_view NulZeichen = "\xE2\x90\x80"; // U+2400

// The length of the valid UTF-8 sequence at `i` (1 for ASCII but NUL), 0 when there is none.
std::size_t Sequenz(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) {
        return k < text.size() ? static_cast<std::uint8_t>(text[k]) : std::uint8_t{0};
    };
    const std::uint8_t b0 = byte(i);
    if (b0 != 0 && b0 < 0x80) {
        return 1;
    }
    const auto folge = [&](std::size_t k) { return (byte(k) & 0xC0U) == 0x80U; };
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        return folge(i + 1) ? 2 : 0;
    }
    // The second byte's range rules out overlong forms, surrogates and values past U+10FFFF.
    const std::uint8_t b1 = byte(i + 1);
    if (b0 >= 0xE0 && b0 <= 0xEF) {
        const bool gut = (b0 == 0xE0 ? b1 >= 0xA0 : true) && (b0 == 0xED ? b1 < 0xA0 : true);
        return gut && folge(i + 1) && folge(i + 2) ? 3 : 0;
    }
    if (b0 >= 0xF0 && b0 <= 0xF4) {
        const bool gut = (b0 == 0xF0 ? b1 >= 0x90 : true) && (b0 == 0xF4 ? b1 < 0x90 : true);
        return gut && folge(i + 1) && folge(i + 2) && folge(i + 3) ? 4 : 0;
    }
    return 0;
}

bool Sauber(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t laenge = Sequenz(text, i);
        if (laenge == 0) {
            return false;
        }
        i += laenge;
    }
    return true;
}

} // namespace

std::string DatenbankText(std::string_view text) {
    if (Sauber(text)) {
        return std::string(text);
    }
    std::string sauber;
    sauber.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t laenge = Sequenz(text, i);
        if (laenge > 0) {
            sauber.append(text.substr(i, laenge));
            i += laenge;
        } else {
            sauber.append(text[i] == '\0' ? NulZeichen : Ersatz);
            ++i;
        }
    }
    return sauber;
}

std::string OhneNul(std::string_view json) {
    std::string text;
    text.reserve(json.size());
    std::size_t schraegstriche = 0;
    for (std::size_t i = 0; i < json.size(); ++i) {
        if (json[i] == '\\' && schraegstriche % 2 == 0 && json.substr(i, 6) == "\\u0000") {
            text += "\\u2400";
            i += 5;
            continue;
        }
        schraegstriche = json[i] == '\\' ? schraegstriche + 1 : 0;
        text.push_back(json[i]);
    }
    return text;
}

void KopieFeld(std::string& zeile, std::string_view feld) {
    for (const char zeichen : feld) {
        switch (zeichen) {
        case '\\':
            zeile += "\\\\";
            break;
        case '\t':
            zeile += "\\t";
            break;
        case '\n':
            zeile += "\\n";
            break;
        case '\r':
            zeile += "\\r";
            break;
        default:
            zeile.push_back(zeichen);
        }
    }
}
