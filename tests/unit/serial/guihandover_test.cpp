// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/EComPort.h"
#include "serial/GuiHandover.h"

#include "ThreadTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace {

using TCallResult = TGuiHandover::TCallResult;

long CurrentTid() {
    return static_cast<long>(::syscall(SYS_gettid));
}

// A worker thread that makes one blocking call and keeps its outcome.
class TCaller {
public:
    TCaller(TGuiHandover& handover, TGuiHandover::TWork work)
        : thread_([this, &handover, work = std::move(work)]() mutable {
            tid_.store(CurrentTid());
            result_ = handover.CallBlocking(std::move(work), error_);
            done_.store(true);
        }) {}
    ~TCaller() { Join(); }
    TCaller(const TCaller&) = delete;
    TCaller& operator=(const TCaller&) = delete;

    void Join() {
        if (thread_.joinable()) {
            TWatchdog watchdog("joining a caller of the hand-over");
            thread_.join();
        }
    }
    bool Done() const { return done_.load(); }
    long Tid() const { return tid_.load(); }
    // Valid after Join().
    TCallResult Result() const { return result_; }
    std::exception_ptr Error() const { return error_; }

private:
    std::atomic<long> tid_{0};
    std::atomic<bool> done_{false};
    TCallResult result_ = TCallResult::GivenUp;
    std::exception_ptr error_;
    std::thread thread_;
};

class GuiHandoverTest : public ::testing::Test {
protected:
    void TearDown() override { PumpQueued(); }

    TGuiHandover handover;
    TReportCollector reports;
};

TEST_F(GuiHandoverTest, BlockingCallRunsOnTheGuiThreadAndCarriesTheExceptionBack) {
    struct TCase {
        bool throws;
    };
    for (const TCase c : {TCase{false}, TCase{true}}) {
        std::atomic<bool> ranOnGui{false};
        TCaller caller(handover, [&](const std::atomic<bool>&) {
            ranOnGui.store(OnGuiThread());
            if (c.throws) {
                throw EComPort(CError_ClearComFailed, 4);
            }
        });
        ASSERT_TRUE(PumpUntil([&] { return caller.Done(); }));
        caller.Join();
        EXPECT_TRUE(ranOnGui.load());
        EXPECT_EQ(caller.Result(), TCallResult::Completed);
        EXPECT_EQ(ComPortCodes(caller.Error()),
                  c.throws ? std::make_pair(10, 4) : std::make_pair(0, 0));
        EXPECT_EQ(caller.Error() != nullptr, c.throws);
    }
    EXPECT_EQ(reports.Count(), 0u) << "a carried-back exception is the caller's to report";
}

TEST_F(GuiHandoverTest, BlockingCallFromTheGuiThreadRunsAtOnce) {
    bool ran = false;
    std::exception_ptr error;
    EXPECT_EQ(handover.CallBlocking([&](const std::atomic<bool>&) { ran = true; }, error),
              TCallResult::Completed);
    EXPECT_TRUE(ran);
}

TEST_F(GuiHandoverTest, BlockingCallAfterCancelGivesUpWithoutRunning) {
    handover.Cancel();
    std::atomic<bool> ran{false};
    TCaller caller(handover, [&](const std::atomic<bool>&) { ran.store(true); });
    caller.Join();
    PumpQueued();
    EXPECT_EQ(caller.Result(), TCallResult::GivenUp);
    EXPECT_FALSE(ran.load());
}

TEST_F(GuiHandoverTest, CancelWhileTheCallIsQueuedReleasesTheCallerAndDropsTheCall) {
    std::atomic<bool> ran{false};
    TCaller caller(handover, [&](const std::atomic<bool>&) { ran.store(true); });
    ASSERT_TRUE(WaitUntil([&] { return caller.Tid() != 0; }));
    ASSERT_TRUE(WaitUntilSleeping(caller.Tid()));
    handover.Cancel(); // this thread runs no events meanwhile: the call is still queued
    caller.Join();
    EXPECT_EQ(caller.Result(), TCallResult::GivenUp);
    PumpQueued();
    EXPECT_FALSE(ran.load());
}

TEST_F(GuiHandoverTest, CancelInsideTheRunningCallReleasesTheCallerAndReportsALaterException) {
    std::atomic<bool> callerReleased{false};
    bool sawCancelled = false;
    std::unique_ptr<TCaller> caller;
    caller = std::make_unique<TCaller>(handover, [&](const std::atomic<bool>& cancelled) {
        handover.Cancel();
        // The caller does not wait for this work to end once it was cancelled from inside.
        callerReleased.store(WaitUntil([&] { return caller->Done(); }));
        sawCancelled = cancelled.load();
        throw std::runtime_error("after cancel");
    });
    ASSERT_TRUE(PumpUntil([&] { return caller->Done(); }));
    caller->Join();
    EXPECT_TRUE(callerReleased.load());
    EXPECT_TRUE(sawCancelled);
    EXPECT_EQ(caller->Result(), TCallResult::GivenUp);
    ASSERT_TRUE(PumpUntil([&] { return reports.Count() == 1; }));
    EXPECT_EQ(TextOf(reports.Reports().front().error), "after cancel");
}

TEST_F(GuiHandoverTest, CancelFromAnotherThreadWaitsForTheRunningCall) {
    std::atomic<bool> started{false};
    std::atomic<bool> cancelDone{false};
    std::atomic<bool> workEnded{false};
    bool callerSawEnd = false;
    TCaller caller(handover, [&](const std::atomic<bool>& cancelled) {
        started.store(true);
        EXPECT_TRUE(WaitUntil([&] { return cancelDone.load(); }));
        EXPECT_TRUE(cancelled.load());
        workEnded.store(true);
    });
    std::thread canceller([&] {
        EXPECT_TRUE(WaitUntil([&] { return started.load(); }));
        handover.Cancel();
        cancelDone.store(true);
    });
    ASSERT_TRUE(PumpUntil([&] { return caller.Done(); }));
    callerSawEnd = workEnded.load();
    canceller.join();
    caller.Join();
    EXPECT_EQ(caller.Result(), TCallResult::Completed);
    EXPECT_TRUE(callerSawEnd);
}

TEST_F(GuiHandoverTest, PostedWorkRunsInOrderOnTheGuiThreadAndGoesOnAfterAnException) {
    constexpr int count = 20;
    std::vector<int> order;
    std::atomic<int> onGui{0};
    std::thread poster([&] {
        for (int i = 0; i < count; ++i) {
            handover.Post([&, i](const std::atomic<bool>&) {
                order.push_back(i);
                onGui += OnGuiThread() ? 1 : 0;
                if (i == 5) {
                    throw std::runtime_error("fifth");
                }
            });
        }
    });
    poster.join();
    EXPECT_TRUE(order.empty()) << "queued, not run on the posting thread";
    ASSERT_TRUE(PumpUntil([&] { return order.size() == count && reports.Count() == 1; }));
    std::vector<int> expected(count);
    for (int i = 0; i < count; ++i) {
        expected[i] = i;
    }
    EXPECT_EQ(order, expected);
    EXPECT_EQ(onGui.load(), count);
    EXPECT_EQ(TextOf(reports.Reports().front().error), "fifth");
}

TEST_F(GuiHandoverTest, PostedWorkDoesNotRunAfterCancel) {
    std::atomic<int> ran{0};
    std::thread poster([&] {
        handover.Post([&](const std::atomic<bool>&) { ++ran; });
        handover.Post([&](const std::atomic<bool>&) { ++ran; });
    });
    poster.join();
    handover.Cancel();
    std::thread latePoster([&] { handover.Post([&](const std::atomic<bool>&) { ++ran; }); });
    latePoster.join();
    PumpQueued();
    EXPECT_EQ(ran.load(), 0);
}

TEST_F(GuiHandoverTest, PostedWorkThatRunsANestedEventLoopDoesNotRunTheNextInside) {
    std::vector<std::string> log;
    std::thread poster([&] {
        handover.Post([&](const std::atomic<bool>&) {
            log.push_back("first begins");
            PumpQueued(); // like a modal box inside a handler
            log.push_back("first ends");
        });
        handover.Post([&](const std::atomic<bool>&) { log.push_back("second"); });
    });
    poster.join();
    ASSERT_TRUE(PumpUntil([&] { return log.size() == 3; }));
    EXPECT_THAT(log, ::testing::ElementsAre("first begins", "first ends", "second"));
}

TEST(GuiHandoverLifetime, DestroyingOnAnotherThreadWaitsForRunningWork) {
    auto handover = std::make_unique<TGuiHandover>();
    std::atomic<long> destroyerTid{0};
    std::atomic<bool> workStarted{false};
    std::atomic<bool> workEnded{false};
    std::atomic<bool> endedBeforeDestructorReturned{false};
    std::thread poster([&] {
        handover->Post([&](const std::atomic<bool>&) {
            workStarted.store(true);
            // Stay inside until the destroyer sleeps in the destructor.
            EXPECT_TRUE(WaitUntil([&] { return destroyerTid.load() != 0; }));
            EXPECT_TRUE(WaitUntilSleeping(destroyerTid.load()));
            workEnded.store(true);
        });
    });
    poster.join();
    std::thread destroyer([&] {
        EXPECT_TRUE(WaitUntil([&] { return workStarted.load(); }));
        destroyerTid.store(CurrentTid());
        handover.reset();
        endedBeforeDestructorReturned.store(workEnded.load());
    });
    EXPECT_TRUE(PumpUntil([&] { return workEnded.load(); }));
    destroyer.join();
    EXPECT_TRUE(endedBeforeDestructorReturned.load());
}

} // namespace
