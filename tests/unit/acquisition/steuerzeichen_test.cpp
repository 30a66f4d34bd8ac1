// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "acquisition/Steuerzeichen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(SteuerzeichenText, NamedAndNumberedControlBytes) {
    struct TFall {
        std::string Chunk;
        std::string Text;
    };
    const std::vector<TFall> faelle = {
        {"1 \r\n", "1_<CR><LF>\r\n"},
        {std::string(1, '\0'), "<NUL>"},
        {"\x07", "<BELL>"},
        {"\x0A", "<LF>\r\n"},
        {"\x0C", "<FF>"},
        {"\x0D", "<CR>"},
        {"\x11", "<XON>"},
        {"\x13", "<XOFF>"},
        {"\x1A", "<EOF>"},
        {"\x1B", "<ESC>"},
        {" ", "_"},
        {"\x01", "<1>"},
        {"\x09", "<9>"},
        {"\x12", "<18>"},
        {"\x1F", "<31>"},
        {"", ""},
        {"a\x13"
         "b\x11",
         "a<XOFF>b<XON>"},
    };
    for (const TFall& fall : faelle) {
        EXPECT_EQ(SteuerzeichenText(fall.Chunk), fall.Text)
            << "byte " << (fall.Chunk.empty() ? -1 : static_cast<unsigned char>(fall.Chunk[0]));
    }
}

TEST(SteuerzeichenText, BytesFrom0x21UpAreShownAsThemselves) {
    for (int wert = 0x21; wert <= 0xFF; ++wert) {
        const std::string chunk(1, static_cast<char>(wert));
        EXPECT_EQ(SteuerzeichenText(chunk), chunk) << wert;
    }
}

} // namespace
