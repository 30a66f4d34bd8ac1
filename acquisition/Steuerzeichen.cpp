// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "acquisition/Steuerzeichen.h"

#include <string>

namespace {

// The name of a control byte (below 0x21) as the memo shows it, or nullptr for those shown by
// number.
const char* ZeichenName(unsigned char zeichen) {
    switch (zeichen) {
    case 0x00:
        return "<NUL>";
    case 0x07:
        return "<BELL>";
    case 0x0A:
        return "<LF>\r\n";
    case 0x0C:
        return "<FF>";
    case 0x0D:
        return "<CR>";
    case 0x11:
        return "<XON>";
    case 0x13:
        return "<XOFF>";
    case 0x1A:
        return "<EOF>";
    case 0x1B:
        return "<ESC>";
    case 0x20:
        return "_";
    default:
        return nullptr;
    }
}

void SteuerzeichenAnhaengen(std::string& text, unsigned char zeichen) {
    if (const char* name = ZeichenName(zeichen)) {
        text += name;
        return;
    }
    text += '<';
    text += std::to_string(zeichen);
    text += '>';
}

} // namespace

std::string SteuerzeichenText(std::string_view chunk) {
    std::string text;
    text.reserve(chunk.size());
    for (const char zeichen : chunk) {
        const auto wert = static_cast<unsigned char>(zeichen);
        if (wert >= 0x21) {
            text.push_back(zeichen);
        } else {
            SteuerzeichenAnhaengen(text, wert);
        }
    }
    return text;
}
