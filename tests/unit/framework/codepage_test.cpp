// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "framework/Codepage.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

TEST(Cp850ZuText, MeterDegreeSignAndUmlautsAppearAsTheUserExpects) {
    EXPECT_EQ(Cp850ZuText(" 25.0 \xF8"
                          "C"),
              QStringLiteral(" 25.0 °C"));
    EXPECT_EQ(Cp850ZuText("\x84\x94\x81\x8E\x99\x9A\xE1"), QStringLiteral("äöüÄÖÜß"));
    EXPECT_EQ(Cp850ZuText("\xE6"), QStringLiteral("µ"));
}

TEST(Cp850ZuText, AsciiAndControlBytesPassUnchanged) {
    const std::string bytes("A\x00\x11\x13\r\n~\x7F", 8);
    const QString text = Cp850ZuText(bytes);
    ASSERT_EQ(text.size(), 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(text.at(i).unicode(), static_cast<unsigned char>(bytes[static_cast<size_t>(i)]));
    }
}

TEST(Cp850ZuText, EveryUpperByteDecodesToOneDistinctNonAsciiCharacter) {
    QSet<char16_t> gesehen;
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        const char zeichen = static_cast<char>(byte);
        const QString text = Cp850ZuText(std::string_view(&zeichen, 1));
        ASSERT_EQ(text.size(), 1);
        EXPECT_GE(text.at(0).unicode(), 0xA0) << "byte " << byte;
        gesehen.insert(text.at(0).unicode());
    }
    EXPECT_EQ(gesehen.size(), 128);
}

} // namespace
