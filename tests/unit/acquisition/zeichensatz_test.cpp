// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "acquisition/Zeichensatz.h"

#include "framework/Codepage.h"

#include <gtest/gtest.h>

#include <QString>

namespace {

// The character of a Windows-1252 byte that the conversion can give: Latin-1 outside 0x80 to
// 0x9F, where code page 850 shares only the "ƒ" (0x83).
QChar Windows1252Zeichen(unsigned char byte) {
    return byte == 0x83 ? QChar(0x0192) : QChar(byte);
}

// Each of the 256 bytes must become the character the table and memo show for it (decoded
// from code page 850), or "?" where Windows-1252 has no such character.
TEST(Cp850ZuWindows1252, EveryByteKeepsTheCharacterShownOnScreen) {
    int ersetzt = 0;
    for (int byte = 0; byte < 256; ++byte) {
        const char zeichen = static_cast<char>(byte);
        const std::string datei = Cp850ZuWindows1252(std::string_view(&zeichen, 1));
        ASSERT_EQ(datei.size(), 1U);
        const auto ergebnis = static_cast<unsigned char>(datei.front());
        const QChar bildschirm = Cp850ZuText(std::string_view(&zeichen, 1)).front();
        if (ergebnis == '?' && byte != '?') {
            ++ersetzt;
            const bool inWindows1252 = bildschirm.unicode() <= 0xFF || bildschirm == QChar(0x0192);
            EXPECT_FALSE(inWindows1252) << std::hex << byte;
        } else {
            EXPECT_EQ(Windows1252Zeichen(ergebnis), bildschirm) << std::hex << byte;
            EXPECT_FALSE(ergebnis >= 0x80 && ergebnis < 0xA0 && ergebnis != 0x83)
                << std::hex << byte;
        }
    }
    // The box-drawing and block characters, "ı", "‗" and "■".
    EXPECT_EQ(ersetzt, 31);
    EXPECT_EQ(Cp850ZuWindows1252("\xE6S/cm 25\xF8"), "\xB5S/cm 25\xB0");
}

} // namespace
