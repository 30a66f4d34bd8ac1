// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/ComTypes.h"
#include "serial/platform/CommTimeoutPlan.h"
#include "serial/platform/LineErrors.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using std::chrono::milliseconds;
constexpr std::uint32_t maxDword = 0xFFFFFFFF;

struct TReadCase {
    std::string Name;
    TCommTimeouts Timeouts;
    std::size_t Count;
    bool AtOnce;
    bool OnFirst;
    std::optional<milliseconds> Total;
    std::optional<milliseconds> Interval;
};

class PlanReadTest : public testing::TestWithParam<TReadCase> {};

TEST_P(PlanReadTest, FollowsTheTimeoutBlock) {
    const TReadCase& c = GetParam();
    const TReadPlan plan = PlanRead(c.Timeouts, c.Count);
    EXPECT_EQ(plan.ReturnAtOnce, c.AtOnce);
    EXPECT_EQ(plan.ReturnOnFirstByte, c.OnFirst);
    EXPECT_EQ(plan.Total, c.Total);
    EXPECT_EQ(plan.Interval, c.Interval);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlanReadTest,
    testing::Values(
        TReadCase{"PortDefaultsReturnAtOnce", {maxDword, 0, 0, 100, 1000}, 10, true, false, {}, {}},
        TReadCase{"AllZeroWaitsForever", {0, 0, 0, 0, 0}, 10, false, false, {}, {}},
        TReadCase{"TotalIsMultiplierTimesCountPlusConstant",
                  {0, 10, 50, 0, 0},
                  4,
                  false,
                  false,
                  milliseconds(90),
                  {}},
        TReadCase{"IntervalOnly", {20, 0, 0, 0, 0}, 4, false, false, {}, milliseconds(20)},
        TReadCase{"ReturnOnFirstByte",
                  {maxDword, maxDword, 500, 0, 0},
                  4,
                  false,
                  true,
                  milliseconds(500),
                  {}},
        TReadCase{"MaxDwordIntervalWithConstantIsALongInterval",
                  {maxDword, 0, 300, 0, 0},
                  4,
                  false,
                  false,
                  milliseconds(300),
                  milliseconds(maxDword)}),
    [](const testing::TestParamInfo<TReadCase>& row) { return row.param.Name; });

TEST(WriteLimit, IsMultiplierTimesCountPlusConstant) {
    const TCommTimeouts defaults{maxDword, 0, 0, 100, 1000};
    EXPECT_EQ(WriteLimit(defaults, 3), milliseconds(1300));
    EXPECT_EQ(WriteLimit(defaults, 0), milliseconds(1000));
    EXPECT_EQ(WriteLimit(TCommTimeouts{0, 0, 0, 0, 0}, 3), std::nullopt);
    // Huge values saturate instead of wrapping round to a short limit.
    const auto huge = WriteLimit(TCommTimeouts{0, 0, 0, maxDword, maxDword}, 1U << 30);
    ASSERT_TRUE(huge.has_value());
    EXPECT_GT(*huge, milliseconds(maxDword));
}

struct TCounterCase {
    std::string Name;
    std::uint32_t TLineCounters::*Counter;
    std::uint32_t Error;
    std::uint32_t Event;
};

class LineErrorsTest : public testing::TestWithParam<TCounterCase> {};

TEST_P(LineErrorsTest, EachCounterGivesItsErrorAndEvent) {
    TLineCounters before;
    before.Frame = before.Parity = before.Overrun = before.Break = before.BufOverrun = 7;
    before.Cts = 3;
    TLineCounters after = before;
    ++(after.*GetParam().Counter);
    ++after.Cts; // modem-line counters are no line errors
    const TLineErrorReport report = LineErrorsBetween(before, after);
    EXPECT_EQ(report.Errors, GetParam().Error);
    EXPECT_EQ(report.Events, GetParam().Event);
}

INSTANTIATE_TEST_SUITE_P(
    Counters, LineErrorsTest,
    testing::Values(
        TCounterCase{"Frame", &TLineCounters::Frame, WinComm::CeFrame, WinComm::EvErr},
        TCounterCase{"Parity", &TLineCounters::Parity, WinComm::CeRxParity, WinComm::EvErr},
        TCounterCase{"Overrun", &TLineCounters::Overrun, WinComm::CeOverrun, WinComm::EvErr},
        TCounterCase{"BufOverrun", &TLineCounters::BufOverrun, WinComm::CeRxOver, WinComm::EvErr},
        TCounterCase{"Break", &TLineCounters::Break, WinComm::CeBreak, WinComm::EvBreak}),
    [](const testing::TestParamInfo<TCounterCase>& row) { return row.param.Name; });

TEST(LineErrors, UnchangedCountersReportNothing) {
    TLineCounters counters;
    counters.Frame = 5;
    const TLineErrorReport report = LineErrorsBetween(counters, counters);
    EXPECT_EQ(report.Errors, 0U);
    EXPECT_EQ(report.Events, 0U);
}

} // namespace
