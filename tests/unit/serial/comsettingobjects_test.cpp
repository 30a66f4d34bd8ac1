// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/ComBuffer.h"
#include "serial/ComParity.h"
#include "serial/ComTimeouts.h"

#include "tests/unit/serial/FakeSettingsTarget.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <stdexcept>
#include <tuple>
#include <vector>

namespace {

auto AllFields(const TComTimeouts& t) {
    return std::tuple(t.ReadInterval(), t.ReadTotalMultiplier(), t.ReadTotalConstant(),
                      t.WriteTotalMultiplier(), t.WriteTotalConstant());
}

auto AllFields(const TComParity& p) {
    return std::tuple(p.Bits(), p.Check(), p.Replace(), p.ReplaceChar());
}

auto AllFields(const TComBuffer& b) {
    return std::tuple(b.InputSize(), b.OutputSize());
}

// A setter that stores the stored default again, and one that stores a different value.
template <typename Object>
struct SetterCase {
    std::function<void(Object&)> same;
    std::function<void(Object&)> different;
};

// Equal value: no re-apply. Changed value: stored and one re-apply of `group`. Unbound: stored,
// nothing re-applied.
template <typename Object>
void ExpectChangeDetection(const std::vector<SetterCase<Object>>& cases, Group group) {
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        FakeSettingsTarget port;
        Object bound(&port);
        cases[i].same(bound);
        EXPECT_EQ(port.Total(), 0);
        EXPECT_EQ(AllFields(bound), AllFields(Object{}));
        cases[i].different(bound);
        EXPECT_TRUE(OnlyOnce(port, group));
        EXPECT_NE(AllFields(bound), AllFields(Object{}));
        cases[i].different(bound);
        EXPECT_TRUE(OnlyOnce(port, group));

        Object unbound;
        cases[i].different(unbound);
        EXPECT_EQ(AllFields(unbound), AllFields(bound));
    }
}

} // namespace

TEST(ComTimeouts, Defaults) {
    const TComTimeouts timeouts;
    EXPECT_EQ(AllFields(timeouts), std::tuple(-1, 0, 0, 100, 1000));
    EXPECT_EQ(timeouts.ComPort(), nullptr);
}

TEST(ComTimeouts, ChangesReapplyTheTimeouts) {
    ExpectChangeDetection<TComTimeouts>(
        {
            {[](auto& t) { t.SetReadInterval(-1); }, [](auto& t) { t.SetReadInterval(50); }},
            {[](auto& t) { t.SetReadTotalMultiplier(0); },
             [](auto& t) { t.SetReadTotalMultiplier(-1); }},
            {[](auto& t) { t.SetReadTotalConstant(0); },
             [](auto& t) { t.SetReadTotalConstant(INT_MAX); }},
            {[](auto& t) { t.SetWriteTotalMultiplier(100); },
             [](auto& t) { t.SetWriteTotalMultiplier(0); }},
            {[](auto& t) { t.SetWriteTotalConstant(1000); },
             [](auto& t) { t.SetWriteTotalConstant(INT_MIN); }},
        },
        Group::Timeouts);
}

TEST(ComParity, Defaults) {
    const TComParity parity;
    EXPECT_EQ(AllFields(parity), std::tuple(prNone, false, false, '\0'));
}

TEST(ComParity, ChangesReapplyTheLineSettings) {
    ExpectChangeDetection<TComParity>(
        {
            {[](auto& p) { p.SetBits(prNone); }, [](auto& p) { p.SetBits(prSpace); }},
            {[](auto& p) { p.SetCheck(false); }, [](auto& p) { p.SetCheck(true); }},
            {[](auto& p) { p.SetReplace(false); }, [](auto& p) { p.SetReplace(true); }},
            {[](auto& p) { p.SetReplaceChar('\0'); }, [](auto& p) { p.SetReplaceChar('?'); }},
        },
        Group::Line);
}

TEST(ComBuffer, Defaults) {
    const TComBuffer buffer;
    EXPECT_EQ(AllFields(buffer), std::tuple(1024, 1024));
}

TEST(ComBuffer, ChangesReapplyTheQueueSizes) {
    ExpectChangeDetection<TComBuffer>(
        {
            {[](auto& b) { b.SetInputSize(1024); }, [](auto& b) { b.SetInputSize(4096); }},
            {[](auto& b) { b.SetOutputSize(1024); }, [](auto& b) { b.SetOutputSize(2); }},
        },
        Group::Buffer);
}

TEST(ComBuffer, OddSizesAreStoredOneLower) {
    const std::vector<std::pair<std::int32_t, std::int32_t>> cases{{1025, 1024},
                                                                   {6, 6},
                                                                   {7, 6},
                                                                   {1, 0},
                                                                   {0, 0},
                                                                   {-1, -2},
                                                                   {-3, -4},
                                                                   {INT_MAX, INT_MAX - 1},
                                                                   {INT_MIN, INT_MIN}};
    for (const auto& [given, stored] : cases) {
        SCOPED_TRACE(given);
        TComBuffer buffer;
        buffer.SetInputSize(given);
        buffer.SetOutputSize(given);
        EXPECT_EQ(buffer.InputSize(), stored);
        EXPECT_EQ(buffer.OutputSize(), stored);
    }
}

TEST(ComBuffer, ComparisonUsesTheSizeBeforeRounding) {
    FakeSettingsTarget port;
    TComBuffer buffer(&port);
    // 1025 differs from the stored 1024, so it re-applies although 1024 stays stored.
    buffer.SetInputSize(1025);
    EXPECT_EQ(buffer.InputSize(), 1024);
    EXPECT_TRUE(OnlyOnce(port, Group::Buffer));
    // And again, every time, since 1025 is never what is stored.
    buffer.SetInputSize(1025);
    EXPECT_EQ(port.bufferSizes, 2);
    // 1024 is what is stored: nothing happens.
    buffer.SetInputSize(1024);
    EXPECT_EQ(port.bufferSizes, 2);

    buffer.SetOutputSize(7);
    EXPECT_EQ(port.bufferSizes, 3);
    buffer.SetOutputSize(6);
    EXPECT_EQ(port.bufferSizes, 3);
    EXPECT_EQ(buffer.OutputSize(), 6);
    EXPECT_EQ(port.lineSettings + port.timeouts, 0);
}

TEST(ComSettingObjects, AssignCopiesWithoutReapplying) {
    FakeSettingsTarget port;

    TComTimeouts timeoutsSource;
    timeoutsSource.SetReadInterval(10);
    timeoutsSource.SetWriteTotalConstant(-5);
    TComTimeouts timeouts(&port);
    timeouts.Assign(timeoutsSource);
    EXPECT_EQ(AllFields(timeouts), AllFields(timeoutsSource));

    TComParity paritySource;
    paritySource.SetBits(prMark);
    paritySource.SetCheck(true);
    paritySource.SetReplace(true);
    paritySource.SetReplaceChar('#');
    TComParity parity(&port);
    parity.Assign(paritySource);
    EXPECT_EQ(AllFields(parity), AllFields(paritySource));

    TComBuffer bufferSource;
    bufferSource.SetInputSize(99);
    bufferSource.SetOutputSize(4000);
    TComBuffer buffer(&port);
    buffer.Assign(bufferSource);
    EXPECT_EQ(AllFields(buffer), std::tuple(98, 4000));

    EXPECT_EQ(port.Total(), 0);
    EXPECT_EQ(buffer.ComPort(), &port);
}

TEST(ComSettingObjects, CopiesBelongToNoPort) {
    FakeSettingsTarget port;
    TComParity parity(&port);
    parity.SetBits(prOdd);
    TComTimeouts timeouts(&port);
    TComBuffer buffer(&port);
    port.Reset();

    TComParity parityCopy(parity);
    TComTimeouts timeoutsCopy(timeouts);
    TComBuffer bufferCopy(buffer);
    EXPECT_EQ(parityCopy.Bits(), prOdd);
    EXPECT_EQ(parityCopy.ComPort(), nullptr);
    EXPECT_EQ(timeoutsCopy.ComPort(), nullptr);
    EXPECT_EQ(bufferCopy.ComPort(), nullptr);
    parityCopy.SetBits(prEven);
    timeoutsCopy.SetReadInterval(1);
    bufferCopy.SetInputSize(8);
    EXPECT_EQ(port.Total(), 0);
    EXPECT_EQ(parity.Bits(), prOdd);
}

TEST(ComSettingObjects, BindingDecidesWhereChangesGo) {
    FakeSettingsTarget first;
    FakeSettingsTarget second;
    TComTimeouts timeouts(&first);
    timeouts.Bind(&second);
    EXPECT_EQ(timeouts.ComPort(), &second);
    timeouts.SetReadInterval(0);
    EXPECT_EQ(first.Total(), 0);
    EXPECT_TRUE(OnlyOnce(second, Group::Timeouts));
    timeouts.Bind(nullptr);
    timeouts.SetReadInterval(5);
    EXPECT_EQ(second.Total(), 1);
    EXPECT_EQ(timeouts.ReadInterval(), 5);
}

TEST(ComSettingObjects, RefusedReapplyKeepsTheNewValue) {
    FakeSettingsTarget port;
    port.refuse = true;
    TComTimeouts timeouts(&port);
    TComParity parity(&port);
    TComBuffer buffer(&port);
    EXPECT_THROW(timeouts.SetWriteTotalConstant(5), std::runtime_error);
    EXPECT_THROW(parity.SetCheck(true), std::runtime_error);
    EXPECT_THROW(buffer.SetInputSize(513), std::runtime_error);
    EXPECT_EQ(timeouts.WriteTotalConstant(), 5);
    EXPECT_TRUE(parity.Check());
    EXPECT_EQ(buffer.InputSize(), 512);
}
