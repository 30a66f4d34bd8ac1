// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/ComTypes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <type_traits>

static_assert(std::is_same_v<TComEvents::storage_type, std::uint16_t>);
static_assert(std::is_same_v<TComErrors::storage_type, std::uint8_t>);
static_assert(sizeof(TComErrors) == 1);
static_assert(sizeof(TComEvents) == 2);

TEST(ComSet, BitNumberIsTheEnumeratorValue) {
    for (int n = 0; n < 10; ++n) {
        const auto event = static_cast<TComEvent>(n);
        EXPECT_EQ(TComEvents{event}.Bits(), 1u << n) << n;
    }
    EXPECT_EQ(TComEvents{evRx80Full}.Bits(), 0x0200);
    EXPECT_EQ(TComErrors{ceOutputFull}.Bits(), 0x80);
    EXPECT_EQ(TLineSignals{sigRLSD}.Bits(), 0x08);
    EXPECT_EQ(TLineSignals{sigCTS}.Bits(), 0x01);
}

TEST(ComSet, AllHoldsExactlyTheEnumerators) {
    EXPECT_EQ(TComEvents::All().Bits(), 0x03FF);
    EXPECT_EQ(TComErrors::All().Bits(), 0xFF);
    EXPECT_EQ(TLineSignals::All().Bits(), 0x0F);
    EXPECT_TRUE(TComEvents::All().Contains(evRxChar));
    EXPECT_TRUE(TComEvents::All().Contains(evRx80Full));
}

TEST(ComSet, FromBitsDropsBitsBeyondTheEnumeration) {
    EXPECT_EQ(TComEvents::FromBits(0xFFFF), TComEvents::All());
    EXPECT_TRUE(TComEvents::FromBits(0xFC00).Empty());
    EXPECT_EQ(TLineSignals::FromBits(0xF3).Bits(), 0x03);
}

TEST(ComSet, ValuesOutsideTheEnumerationAreNeverMembers) {
    const auto outside = static_cast<TComEvent>(10);
    TComEvents events{outside};
    EXPECT_TRUE(events.Empty());
    events = TComEvents::All();
    EXPECT_FALSE(events.Contains(outside));
    events.Exclude(outside);
    EXPECT_EQ(events, TComEvents::All());
}

TEST(ComSet, IncludeExcludeAndSetOperations) {
    TComEvents events;
    EXPECT_TRUE(events.Empty());
    events.Include(evCTS).Include(evRing).Include(evCTS);
    EXPECT_EQ(events, (TComEvents{evRing, evCTS}));
    events.Exclude(evCTS);
    EXPECT_FALSE(events.Contains(evCTS));
    EXPECT_TRUE(events.Contains(evRing));
    events.Exclude(evDSR); // not a member: nothing changes
    EXPECT_EQ(events, TComEvents{evRing});

    const TComEvents a{evRxChar, evTxEmpty, evBreak};
    const TComEvents b{evTxEmpty, evError};
    EXPECT_EQ(a | b, (TComEvents{evRxChar, evTxEmpty, evBreak, evError}));
    EXPECT_EQ(a & b, TComEvents{evTxEmpty});
    EXPECT_EQ(a - b, (TComEvents{evRxChar, evBreak}));
    EXPECT_NE(a, b);
}
