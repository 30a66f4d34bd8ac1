// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/platform/InputQueue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TQueueAddResult AddText(TInputQueue& queue, const std::string& text, bool discardNull = false,
                        std::optional<std::uint8_t> eventChar = std::nullopt) {
    return queue.Add(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), discardNull,
                     eventChar);
}

std::string TakeText(TInputQueue& queue, std::size_t count) {
    std::vector<std::uint8_t> out(count);
    out.resize(queue.Take(out.data(), count));
    return {out.begin(), out.end()};
}

TEST(InputQueue, KeepsOrderAndTakesAtMostWhatIsQueued) {
    TInputQueue queue(16);
    EXPECT_EQ(AddText(queue, "abc").Added, 3U);
    EXPECT_EQ(AddText(queue, "de").Added, 2U);
    EXPECT_EQ(TakeText(queue, 2), "ab");
    EXPECT_EQ(TakeText(queue, 10), "cde");
    EXPECT_EQ(TakeText(queue, 10), "");
    EXPECT_EQ(queue.Size(), 0U);
}

TEST(InputQueue, DropsNulOnlyWhenAsked) {
    TInputQueue queue(16);
    const std::string withNul("a\0b\0", 4);
    EXPECT_EQ(AddText(queue, withNul, true).Added, 2U);
    EXPECT_EQ(TakeText(queue, 10), "ab");
    EXPECT_EQ(AddText(queue, withNul, false).Added, 4U);
    EXPECT_EQ(TakeText(queue, 10), withNul);
}

TEST(InputQueue, ReportsTheEventCharacter) {
    TInputQueue queue(16);
    EXPECT_FALSE(AddText(queue, "abc", false, 'x').EventChar);
    EXPECT_TRUE(AddText(queue, "axc", false, 'x').EventChar);
    EXPECT_FALSE(AddText(queue, "axc").EventChar);
    // A NUL event character counts only when the NUL is kept.
    const std::string nul("\0", 1);
    EXPECT_FALSE(AddText(queue, nul, true, 0).EventChar);
    EXPECT_TRUE(AddText(queue, nul, false, 0).EventChar);
}

TEST(InputQueue, ReportsCrossingEightyPercentOnce) {
    TInputQueue queue(10); // 80 % is 8 bytes
    EXPECT_FALSE(AddText(queue, "1234567").Crossed80);
    EXPECT_TRUE(AddText(queue, "8").Crossed80);
    EXPECT_FALSE(AddText(queue, "9").Crossed80);
    TakeText(queue, 5);
    EXPECT_TRUE(AddText(queue, "abcd").Crossed80);
}

TEST(InputQueue, OneAddMayCrossAndFillAtOnce) {
    TInputQueue queue(1024);
    const TQueueAddResult result = AddText(queue, std::string(1024, 'x'));
    EXPECT_TRUE(result.Crossed80);
    EXPECT_EQ(result.Overflow, 0U);
    EXPECT_EQ(queue.Room(), 0U);
}

TEST(InputQueue, RefusesBytesBeyondTheCapacity) {
    TInputQueue queue(4);
    const TQueueAddResult result = AddText(queue, "abcdef");
    EXPECT_EQ(result.Added, 4U);
    EXPECT_EQ(result.Overflow, 2U);
    EXPECT_EQ(TakeText(queue, 10), "abcd");
}

// Dropped NULs split a read into runs; the capacity and the event character apply across them.
TEST(InputQueue, NulsOverflowAndEventCharacterTogether) {
    TInputQueue queue(4);
    const std::string text("\0ab\0\0cd\0ex\0", 11);
    const TQueueAddResult result = AddText(queue, text, true, 'x');
    EXPECT_EQ(result.Added, 4U);
    EXPECT_EQ(result.Overflow, 2U); // "e" and "x"; the NULs are not counted
    EXPECT_FALSE(result.EventChar); // the refused "x" was never queued
    EXPECT_TRUE(result.Crossed80);
    EXPECT_EQ(TakeText(queue, 10), "abcd");
    EXPECT_TRUE(AddText(queue, std::string("\0\0x", 3), true, 'x').EventChar);
    EXPECT_EQ(AddText(queue, std::string(3, '\0'), true).Added, 0U);
}

TEST(InputQueue, SmallerCapacityKeepsQueuedBytes) {
    TInputQueue queue(8);
    AddText(queue, "abcdef");
    queue.SetCapacity(4);
    EXPECT_EQ(queue.Size(), 6U);
    EXPECT_EQ(queue.Room(), 0U);
    EXPECT_EQ(AddText(queue, "g").Overflow, 1U);
    EXPECT_EQ(TakeText(queue, 10), "abcdef");
    queue.SetCapacity(0);
    EXPECT_EQ(queue.Capacity(), 1U);
}

TEST(InputQueue, ClearEmptiesIt) {
    TInputQueue queue(8);
    AddText(queue, "abc");
    queue.Clear();
    EXPECT_EQ(queue.Size(), 0U);
    EXPECT_EQ(queue.Room(), 8U);
}

} // namespace
