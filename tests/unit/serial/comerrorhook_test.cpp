// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/ComErrorHook.h"
#include "serial/EComPort.h"
#include "serial/GuiHandover.h"

#include "ThreadTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;

std::exception_ptr Error(const char* text) {
    return std::make_exception_ptr(std::runtime_error(text));
}

std::vector<std::string> Texts(const TReportCollector& reports) {
    std::vector<std::string> texts;
    for (const auto& report : reports.Reports()) {
        texts.push_back(TextOf(report.error));
    }
    return texts;
}

class ComErrorHookTest : public ::testing::Test {
protected:
    void TearDown() override {
        PumpQueued();
        SetComErrorHook({});
    }
};

TEST_F(ComErrorHookTest, ReportsReachTheHookQueuedOnTheGuiThreadInOrder) {
    struct TCase {
        const char* from;
        bool fromWorker;
    };
    for (const TCase c : {TCase{"gui thread", false}, TCase{"worker", true}}) {
        SCOPED_TRACE(c.from);
        TReportCollector reports;
        auto reportThree = [] {
            for (const char* text : {"one", "two", "three"}) {
                ReportComError(Error(text));
            }
        };
        if (c.fromWorker) {
            std::thread(reportThree).join();
        } else {
            reportThree();
        }
        EXPECT_EQ(reports.Count(), 0u) << "queued, never shown inside the reporting call";
        PumpQueued();
        EXPECT_THAT(Texts(reports), ElementsAre("one", "two", "three"));
        for (const auto& report : reports.Reports()) {
            EXPECT_TRUE(report.onGuiThread);
        }
    }
}

TEST_F(ComErrorHookTest, ShowsOneReportAtATimeEvenWhenTheHookRunsAnEventLoop) {
    std::vector<std::string> log;
    SetComErrorHook([&log](std::exception_ptr error) {
        const std::string text = TextOf(error);
        log.push_back(text + " begins");
        PumpQueued(); // a modal box runs its own event loop
        log.push_back(text + " ends");
    });
    ReportComError(Error("first"));
    ReportComError(Error("second"));
    ASSERT_TRUE(PumpUntil([&] { return log.size() == 4; }));
    EXPECT_THAT(log, ElementsAre("first begins", "first ends", "second begins", "second ends"));
}

TEST_F(ComErrorHookTest, WaitsUntilABlockingDeliveryHasReturned) {
    TReportCollector reports;
    TGuiHandover handover;
    std::size_t shownDuringDelivery = 99;
    std::exception_ptr carried;
    std::thread eventThread([&] {
        handover.CallBlocking(
            [&](const std::atomic<bool>&) {
                ReportComError(Error("inside"));
                PumpQueued(); // a handler running an event loop while the event thread waits
                shownDuringDelivery = reports.Count();
            },
            carried);
    });
    ASSERT_TRUE(PumpUntil([&] { return shownDuringDelivery != 99; }));
    eventThread.join();
    PumpQueued();
    EXPECT_EQ(shownDuringDelivery, 0u);
    EXPECT_THAT(Texts(reports), ElementsAre("inside"));
}

TEST_F(ComErrorHookTest, WithoutAHookTheTextGoesToStderr) {
    struct TCase {
        std::exception_ptr error;
        const char* expected;
    };
    const TCase cases[] = {
        {Error("Port weg"), "Quorlits: Port weg\n"},
        {std::make_exception_ptr(EComPort(CError_ReadFailed, 5)),
         "Quorlits: ReadFile function failed (win error code: 5)\n"},
        {std::make_exception_ptr(42), "Quorlits: unknown error\n"},
    };
    for (const TCase& c : cases) {
        ::testing::internal::CaptureStderr();
        ReportComError(c.error);
        PumpQueued();
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.expected);
    }
}

TEST_F(ComErrorHookTest, AHookThatThrowsLosesNoReport) {
    std::vector<std::string> shown;
    SetComErrorHook([&shown](std::exception_ptr error) {
        const std::string text = TextOf(error);
        if (text == "first") {
            throw std::runtime_error("the box failed");
        }
        shown.push_back(text);
    });
    ::testing::internal::CaptureStderr();
    ReportComError(Error("first"));
    ReportComError(Error("second"));
    PumpQueued();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Quorlits: first\n");
    EXPECT_THAT(shown, ElementsAre("second"));
}

TEST_F(ComErrorHookTest, AnEmptyReportIsIgnored) {
    TReportCollector reports;
    ReportComError(nullptr);
    ReportComError(Error("real"));
    PumpQueued();
    EXPECT_THAT(Texts(reports), ElementsAre("real"));
}

} // namespace
