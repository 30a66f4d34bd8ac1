// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/ComTexts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

std::vector<std::string> Texts(std::span<const std::string_view> texts) {
    return {texts.begin(), texts.end()};
}

// Every enumerator's text converts back to it, in any letter case; a trailing or leading blank
// matches nothing and yields the fallback.
template <typename E>
void ExpectRoundTrips(int count, std::string (*toText)(E), E (*toValue)(std::string_view),
                      E fallback) {
    for (int n = 0; n < count; ++n) {
        const auto value = static_cast<E>(n);
        const std::string text = toText(value);
        SCOPED_TRACE(text);
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(toValue(text), value);
        EXPECT_EQ(toValue(Lower(text)), value);
        EXPECT_EQ(toValue(Upper(text)), value);
        EXPECT_EQ(toValue(text + " "), fallback);
        EXPECT_EQ(toValue(" " + text), fallback);
    }
}

} // namespace

TEST(ComTexts, TextsInEnumeratorOrder) {
    EXPECT_EQ(Texts(BaudRateTexts()),
              (std::vector<std::string>{"Custom", "110", "300", "600", "1200", "2400", "4800",
                                        "9600", "14400", "19200", "38400", "56000", "57600",
                                        "115200", "128000", "256000"}));
    EXPECT_EQ(Texts(DataBitsTexts()), (std::vector<std::string>{"5", "6", "7", "8"}));
    EXPECT_EQ(Texts(StopBitsTexts()), (std::vector<std::string>{"1", "1.5", "2"}));
    EXPECT_EQ(Texts(ParityTexts()),
              (std::vector<std::string>{"None", "Odd", "Even", "Mark", "Space"}));
    EXPECT_EQ(Texts(FlowControlTexts()),
              (std::vector<std::string>{"Hardware", "Software", "None", "Custom"}));
}

TEST(ComTexts, ValueToTextFollowsTheLists) {
    EXPECT_EQ(BaudRateToText(brCustom), "Custom");
    EXPECT_EQ(BaudRateToText(br4800), "4800");
    EXPECT_EQ(BaudRateToText(br256000), "256000");
    EXPECT_EQ(DataBitsToText(dbFive), "5");
    EXPECT_EQ(StopBitsToText(sbOne5StopBits), "1.5");
    EXPECT_EQ(ParityToText(prSpace), "Space");
    EXPECT_EQ(FlowControlToText(fcNone), "None");
}

TEST(ComTexts, EveryEnumeratorRoundTrips) {
    ExpectRoundTrips(BaudRateCount, &BaudRateToText, &TextToBaudRate, br9600);
    ExpectRoundTrips(DataBitsCount, &DataBitsToText, &TextToDataBits, dbEight);
    ExpectRoundTrips(StopBitsCount, &StopBitsToText, &TextToStopBits, sbOneStopBit);
    ExpectRoundTrips(ParityBitsCount, &ParityToText, &TextToParity, prNone);
    ExpectRoundTrips(FlowControlCount, &FlowControlToText, &TextToFlowControl, fcCustom);
}

TEST(ComTexts, CaseInsensitiveMatches) {
    EXPECT_EQ(TextToParity("none"), prNone);
    EXPECT_EQ(TextToParity("eVeN"), prEven);
    EXPECT_EQ(TextToFlowControl("HARDWARE"), fcHardware);
    EXPECT_EQ(TextToFlowControl("software"), fcSoftware);
    EXPECT_EQ(TextToBaudRate("cUsToM"), brCustom);
    EXPECT_EQ(TextToStopBits("1.5"), sbOne5StopBits);
}

TEST(ComTexts, UnknownTextsFallBack) {
    EXPECT_EQ(TextToBaudRate("12345"), br9600);
    EXPECT_EQ(TextToBaudRate(""), br9600);
    EXPECT_EQ(TextToBaudRate("4800 "), br9600);
    EXPECT_EQ(TextToDataBits(""), dbEight);
    EXPECT_EQ(TextToDataBits("9"), dbEight);
    EXPECT_EQ(TextToStopBits("1,5"), sbOneStopBit);
    EXPECT_EQ(TextToStopBits("1.50"), sbOneStopBit);
    EXPECT_EQ(TextToParity("Nonee"), prNone);
    EXPECT_EQ(TextToParity("Od"), prNone);
    EXPECT_EQ(TextToFlowControl("None "), fcCustom);
    EXPECT_EQ(TextToFlowControl(""), fcCustom);
}

TEST(ComTexts, OnlyAsciiLettersAreFolded) {
    // Clearing bit 5 of every byte would make digits equal to control characters (0x35 "5" and
    // 0x15, 0x32 "2" and 0x12); only a ... z may change.
    EXPECT_EQ(TextToDataBits("\x15"), dbEight);
    EXPECT_EQ(TextToStopBits("\x12"), sbOneStopBit);
    EXPECT_EQ(TextToBaudRate("\x11\x11\x10"), br9600);
    // A text containing a NUL is compared in full, not cut at the NUL.
    EXPECT_EQ(TextToParity(std::string_view("Odd\0x", 5)), prNone);
    EXPECT_EQ(TextToFlowControl(std::string_view("None\0", 5)), fcCustom);
}

TEST(ComTexts, ValuesOutsideTheEnumerationHaveNoText) {
    EXPECT_EQ(BaudRateToText(static_cast<TBaudRate>(BaudRateCount)), "");
    EXPECT_EQ(DataBitsToText(static_cast<TDataBits>(DataBitsCount)), "");
    EXPECT_EQ(StopBitsToText(static_cast<TStopBits>(StopBitsCount)), "");
    EXPECT_EQ(ParityToText(static_cast<TParityBits>(ParityBitsCount)), "");
    EXPECT_EQ(FlowControlToText(static_cast<TFlowControl>(200)), "");
}

TEST(ComTexts, BaudRateNumberMatchesItsText) {
    EXPECT_EQ(BaudRateToNumber(brCustom), 0u);
    for (int n = 1; n < BaudRateCount; ++n) {
        const auto rate = static_cast<TBaudRate>(n);
        EXPECT_EQ(std::to_string(BaudRateToNumber(rate)), BaudRateToText(rate));
    }
    EXPECT_EQ(BaudRateToNumber(br110), 110u);
    EXPECT_EQ(BaudRateToNumber(br256000), 256000u);
    EXPECT_EQ(BaudRateToNumber(static_cast<TBaudRate>(BaudRateCount)), 0u);
}
