// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/ComEventMask.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <utility>

namespace {

constexpr std::array<std::pair<TComEvent, std::uint32_t>, 10> eventCases{{
    {evRxChar, 0x0001},
    {evTxEmpty, 0x0004},
    {evRxFlag, 0x0002},
    {evRing, 0x0100},
    {evBreak, 0x0040},
    {evCTS, 0x0008},
    {evDSR, 0x0010},
    {evError, 0x0080},
    {evRLSD, 0x0020},
    {evRx80Full, 0x0400},
}};

constexpr std::array<std::pair<TComError, std::uint32_t>, 8> errorCases{{
    {ceFraming, 0x0008},
    {ceParity, 0x0004},
    {ceOverrun, 0x0002},
    {ceBreak, 0x0010},
    {ceDeviceIO, 0x0400},
    {ceMode, 0x8000},
    {ceInputOverflow, 0x0001},
    {ceOutputFull, 0x0100},
}};

constexpr std::array<std::pair<TLineSignal, std::uint32_t>, 4> signalCases{{
    {sigCTS, 0x10},
    {sigDSR, 0x20},
    {sigRing, 0x40},
    {sigRLSD, 0x80},
}};

} // namespace

TEST(ComEventMask, EachEventHasItsFlag) {
    for (const auto& [event, flag] : eventCases) {
        SCOPED_TRACE(static_cast<int>(event));
        EXPECT_EQ(EventsToMask(TComEvents{event}), flag);
        EXPECT_EQ(MaskToEvents(flag), TComEvents{event});
    }
}

TEST(ComEventMask, AllEventsAndNone) {
    EXPECT_EQ(EventsToMask(TComEvents::All()), 0x05FFu);
    EXPECT_EQ(EventsToMask(TComEvents{}), 0u);
    EXPECT_EQ(MaskToEvents(0x05FF), TComEvents::All());
    EXPECT_TRUE(MaskToEvents(0).Empty());
}

TEST(ComEventMask, RingAlone) {
    EXPECT_EQ(MaskToEvents(0x0100), TComEvents{evRing});
}

TEST(ComEventMask, UnnamedMaskBitsAreIgnored) {
    EXPECT_TRUE(MaskToEvents(0x0200).Empty()); // EV_PERR, not an event of the component
    EXPECT_TRUE(MaskToEvents(0xFFFFF800u).Empty());
    EXPECT_EQ(MaskToEvents(0xFFFFFFFFu), TComEvents::All());
    EXPECT_EQ(MaskToEvents(0x0201), TComEvents{evRxChar});
}

TEST(ComEventMask, EverySetRoundTrips) {
    for (unsigned bits = 0; bits < 1024; ++bits) {
        const auto events = TComEvents::FromBits(static_cast<std::uint16_t>(bits));
        const std::uint32_t mask = EventsToMask(events);
        EXPECT_EQ(mask & ~0x05FFu, 0u) << bits;
        EXPECT_EQ(MaskToEvents(mask), events) << bits;
    }
}

TEST(ComEventMask, EachLineErrorHasItsFlag) {
    for (const auto& [error, flag] : errorCases) {
        SCOPED_TRACE(static_cast<int>(error));
        EXPECT_EQ(ErrorWordToErrors(flag, true), TComErrors{error});
    }
    std::uint32_t all = 0;
    for (const auto& entry : errorCases) {
        all |= entry.second;
    }
    EXPECT_EQ(ErrorWordToErrors(all, true), TComErrors::All());
    EXPECT_EQ(ErrorWordToErrors(0xFFFFFFFFu, true), TComErrors::All());
    EXPECT_TRUE(ErrorWordToErrors(~all, true).Empty());
}

TEST(ComEventMask, ParityErrorOnlyWhileChecking) {
    EXPECT_TRUE(ErrorWordToErrors(0x0004, false).Empty());
    EXPECT_EQ(ErrorWordToErrors(0x0004, true), TComErrors{ceParity});
    EXPECT_EQ(ErrorWordToErrors(0x000C, false), TComErrors{ceFraming});
    EXPECT_EQ(ErrorWordToErrors(0xFFFFFFFFu, false), TComErrors::All() - TComErrors{ceParity});
    // The other errors do not depend on checking.
    for (const auto& [error, flag] : errorCases) {
        if (error != ceParity) {
            EXPECT_EQ(ErrorWordToErrors(flag, false), TComErrors{error}) << int(error);
        }
    }
}

TEST(ComEventMask, EachModemSignalHasItsFlag) {
    for (const auto& [signal, flag] : signalCases) {
        SCOPED_TRACE(static_cast<int>(signal));
        EXPECT_EQ(ModemStatusToSignals(flag), TLineSignals{signal});
    }
    EXPECT_EQ(ModemStatusToSignals(0xF0), TLineSignals::All());
    EXPECT_EQ(ModemStatusToSignals(0x30), (TLineSignals{sigCTS, sigDSR}));
    // The low bits are the signals the PC drives, not modem inputs.
    EXPECT_TRUE(ModemStatusToSignals(0x0F).Empty());
    EXPECT_TRUE(ModemStatusToSignals(0xFFFFFF0Fu).Empty());
}
