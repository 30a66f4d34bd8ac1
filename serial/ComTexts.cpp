// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/ComTexts.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace {

constexpr std::array<std::string_view, BaudRateCount> baudRateTexts{
    "Custom", "110",   "300",   "600",   "1200",  "2400",   "4800",   "9600",
    "14400",  "19200", "38400", "56000", "57600", "115200", "128000", "256000"};
constexpr std::array<std::uint32_t, BaudRateCount> baudRateNumbers{
    0,     110,   300,   600,   1200,  2400,   4800,   9600,
    14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};
constexpr std::array<std::string_view, DataBitsCount> dataBitsTexts{"5", "6", "7", "8"};
constexpr std::array<std::string_view, StopBitsCount> stopBitsTexts{"1", "1.5", "2"};
constexpr std::array<std::string_view, ParityBitsCount> parityTexts{"None", "Odd", "Even", "Mark",
                                                                    "Space"};
constexpr std::array<std::string_view, FlowControlCount> flowControlTexts{"Hardware", "Software",
                                                                          "None", "Custom"};

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool EqualUpperCased(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return UpperAscii(x) == UpperAscii(y); });
}

template <std::size_t N, typename E>
std::string TextOf(const std::array<std::string_view, N>& table, E value) {
    const auto index = static_cast<std::size_t>(value);
    return index < N ? std::string(table[index]) : std::string();
}

template <typename E, std::size_t N>
E ValueOf(const std::array<std::string_view, N>& table, std::string_view text, E fallback) {
    for (std::size_t index = 0; index < N; ++index) {
        if (EqualUpperCased(table[index], text)) {
            return static_cast<E>(index);
        }
    }
    return fallback;
}

} // namespace

std::string BaudRateToText(TBaudRate value) {
    return TextOf(baudRateTexts, value);
}
std::string DataBitsToText(TDataBits value) {
    return TextOf(dataBitsTexts, value);
}
std::string StopBitsToText(TStopBits value) {
    return TextOf(stopBitsTexts, value);
}
std::string ParityToText(TParityBits value) {
    return TextOf(parityTexts, value);
}
std::string FlowControlToText(TFlowControl value) {
    return TextOf(flowControlTexts, value);
}

TBaudRate TextToBaudRate(std::string_view text) {
    return ValueOf(baudRateTexts, text, br9600);
}
TDataBits TextToDataBits(std::string_view text) {
    return ValueOf(dataBitsTexts, text, dbEight);
}
TStopBits TextToStopBits(std::string_view text) {
    return ValueOf(stopBitsTexts, text, sbOneStopBit);
}
TParityBits TextToParity(std::string_view text) {
    return ValueOf(parityTexts, text, prNone);
}
TFlowControl TextToFlowControl(std::string_view text) {
    return ValueOf(flowControlTexts, text, fcCustom);
}

std::span<const std::string_view> BaudRateTexts() {
    return baudRateTexts;
}
std::span<const std::string_view> DataBitsTexts() {
    return dataBitsTexts;
}
std::span<const std::string_view> StopBitsTexts() {
    return stopBitsTexts;
}
std::span<const std::string_view> ParityTexts() {
    return parityTexts;
}
std::span<const std::string_view> FlowControlTexts() {
    return flowControlTexts;
}

std::uint32_t BaudRateToNumber(TBaudRate value) {
    const auto index = static_cast<std::size_t>(value);
    return index < baudRateNumbers.size() ? baudRateNumbers[index] : 0;
}
