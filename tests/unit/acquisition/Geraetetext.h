// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <string>
#include <string_view>

// Writes the meter's bytes readably in tests: "{DC3}", "{DC1}", "{CR}", "{LF}" stand for the
// control bytes and "°" for the meter's degree sign 0xF8 (code page 850).
inline std::string Geraetetext(std::string_view lesbar) {
    struct TErsetzung {
        std::string_view Zeichen;
        char Byte;
    };
    constexpr TErsetzung Ersetzungen[] = {
        {"{DC3}", '\x13'}, {"{DC1}", '\x11'}, {"{CR}", '\x0D'}, {"{LF}", '\x0A'}, {"°", '\xF8'}};
    std::string bytes;
    while (!lesbar.empty()) {
        bool ersetzt = false;
        for (const TErsetzung& ersetzung : Ersetzungen) {
            if (lesbar.starts_with(ersetzung.Zeichen)) {
                bytes.push_back(ersetzung.Byte);
                lesbar.remove_prefix(ersetzung.Zeichen.size());
                ersetzt = true;
                break;
            }
        }
        if (!ersetzt) {
            bytes.push_back(lesbar.front());
            lesbar.remove_prefix(1);
        }
    }
    return bytes;
}
