// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/ComTypes.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The text forms of the line settings, as the setup dialog lists them.

// Value to text; a value outside its enumeration gives the empty text.
std::string BaudRateToText(TBaudRate value);
std::string DataBitsToText(TDataBits value);
std::string StopBitsToText(TStopBits value);
std::string ParityToText(TParityBits value);
std::string FlowControlToText(TFlowControl value);

// Text to value: compared without regard to ASCII letter case, the first equal entry in
// enumerator order wins, nothing is trimmed. A text that matches no entry gives the fallback:
// br9600, dbEight, sbOneStopBit, prNone, fcCustom (in the order of the functions below).
TBaudRate TextToBaudRate(std::string_view text);
TDataBits TextToDataBits(std::string_view text);
TStopBits TextToStopBits(std::string_view text);
TParityBits TextToParity(std::string_view text);
TFlowControl TextToFlowControl(std::string_view text);

// Every text of a type, in enumerator order (the items of the setup dialog's lists).
std::span<const std::string_view> BaudRateTexts();
std::span<const std::string_view> DataBitsTexts();
std::span<const std::string_view> StopBitsTexts();
std::span<const std::string_view> ParityTexts();
std::span<const std::string_view> FlowControlTexts();

// Bits per second of a baud rate; 0 for brCustom (its rate is the port's CustomBaudRate) and for
// a value outside the enumeration.
std::uint32_t BaudRateToNumber(TBaudRate value);
