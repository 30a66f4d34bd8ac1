// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/ComEventMask.h"
#include "serial/ComThread.h"
#include "serial/platform/FakeComDevice.h"

#include "ThreadTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

using ::testing::ElementsAre;

const std::vector<TComEvent> fixedOrder{evError, evRxChar, evTxEmpty, evBreak, evRing,
                                        evCTS,   evDSR,    evRxFlag,  evRLSD,  evRx80Full};

std::uint32_t MaskOf(TComEvents events) {
    return EventsToMask(events);
}

// True once the thread `tid` of this process has ended.
bool ThreadGone(long tid) {
    return !std::filesystem::exists("/proc/self/task/" + std::to_string(tid));
}

class ComThreadTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(device.Open("COM1"), 0); }
    void TearDown() override { PumpQueued(); }

    int WaitCount() const { return device.CallCount(TFakeOp::WaitCommEvent); }

    std::unique_ptr<TComThread> Start(TRecordingSink& sink, TComEvents events = TComEvents::All()) {
        return std::make_unique<TComThread>(device, sink, events);
    }

    TFakeComDevice device;
    TReportCollector reports;
};

class ComThreadByMethod : public ComThreadTest,
                          public ::testing::WithParamInterface<TSyncMethod> {};

TEST_P(ComThreadByMethod, HandlesABatchOfAllTenEventsInTheFixedOrderOnTheRightThread) {
    TRecordingSink sink(GetParam());
    auto thread = Start(sink);
    device.QueueBatch(MaskOf(TComEvents::All()));
    ASSERT_TRUE(PumpUntil([&] { return sink.Count() == fixedOrder.size(); }));
    EXPECT_EQ(sink.Events(), fixedOrder);
    const bool onGui = GetParam() != smNone;
    for (const auto& record : sink.Records()) {
        EXPECT_EQ(record.onGuiThread, onGui) << "event " << int(record.event);
    }
    thread.reset();
    EXPECT_EQ(reports.Count(), 0u);
}

TEST_P(ComThreadByMethod, DestroyedFromInsideAHandlerDeliversNothingMore) {
    TRecordingSink sink(GetParam());
    std::unique_ptr<TComThread> thread;
    std::atomic<bool> destroyed{false};
    sink.action = [&](TComEvent event) {
        if (event == evRxChar) {
            TWatchdog watchdog("destroying the thread inside its handler");
            thread.reset();
            destroyed.store(true);
        }
    };
    thread = Start(sink);
    device.QueueBatch(MaskOf({evRxChar, evCTS}));
    device.QueueBatch(MaskOf({evRing}));
    ASSERT_TRUE(PumpUntil([&] { return destroyed.load(); }));
    const long eventThread = device.WaitingThread();
    ASSERT_TRUE(WaitUntil([&] { return ThreadGone(eventThread); }));
    PumpQueued();
    EXPECT_THAT(sink.Events(), ElementsAre(evRxChar));
    if (GetParam() != smWindowSync) { // that way does not wait for its handlers
        EXPECT_EQ(WaitCount(), 1);
    }
    EXPECT_EQ(reports.Count(), 0u);
}

INSTANTIATE_TEST_SUITE_P(AllWays, ComThreadByMethod,
                         ::testing::Values(smThreadSync, smWindowSync, smNone),
                         [](const auto& i) { return MethodName(i.param); });

TEST_F(ComThreadTest, SetsTheEventMaskAndCleansUpAfterStopping) {
    TRecordingSink sink(smThreadSync);
    auto thread = Start(sink, {evRxChar, evCTS});
    ASSERT_TRUE(WaitUntil([&] { return WaitCount() == 1; }));
    EXPECT_FALSE(thread->Finished());
    thread->SignalStop();
    EXPECT_TRUE(WaitUntil([&] { return thread->Finished(); }));
    thread.reset();
    EXPECT_THAT(device.Masks(), ElementsAre(0x0009u, 0u));
    EXPECT_THAT(device.Purges(), ElementsAre(0x0004u | 0x0008u));
}

TEST_F(ComThreadTest, ThreadSyncEventThreadWaitsUntilTheHandlersHaveReturned) {
    TRecordingSink sink(smThreadSync);
    std::vector<int> waitsSeen;
    sink.action = [&](TComEvent) {
        waitsSeen.push_back(WaitCount());
        QCoreApplication::processEvents(); // give a waiting-less thread every chance to go on
        waitsSeen.push_back(WaitCount());
    };
    device.QueueBatch(MaskOf({evRxChar}));
    device.QueueBatch(MaskOf({evCTS}));
    auto thread = Start(sink);
    // Before the user-interface thread runs anything, let the event thread go as far as it
    // goes: it must stop in the first delivery, not in a second wait.
    ASSERT_TRUE(WaitUntil([&] { return device.WaitingThread() != 0; }));
    ASSERT_TRUE(WaitUntilSleeping(device.WaitingThread()));
    EXPECT_EQ(WaitCount(), 1);
    ASSERT_TRUE(PumpUntil([&] { return sink.Count() == 2; }));
    EXPECT_THAT(sink.Events(), ElementsAre(evRxChar, evCTS));
    EXPECT_THAT(waitsSeen, ElementsAre(1, 1, 2, 2));
}

TEST_F(ComThreadTest, WindowSyncQueuesOneCallPerEventInOrderAndDoesNotWait) {
    TRecordingSink sink(smWindowSync);
    auto thread = Start(sink);
    device.QueueBatch(MaskOf({evCTS, evRxChar}));
    // The event thread waits again before the user-interface thread has handled anything.
    ASSERT_TRUE(WaitUntil([&] { return WaitCount() == 2; }));
    EXPECT_EQ(sink.Count(), 0u);
    ASSERT_TRUE(PumpUntil([&] { return sink.Count() == 2; }));
    std::vector<std::uint32_t> masks;
    for (const TComEvent event : sink.Events()) {
        masks.push_back(MaskOf({event}));
    }
    EXPECT_THAT(masks, ElementsAre(0x0001u, 0x0008u));
}

struct TExceptionCase {
    TSyncMethod method;
    bool endsThread;
};

class ComThreadException : public ComThreadTest,
                           public ::testing::WithParamInterface<TExceptionCase> {};

TEST_P(ComThreadException, IsReportedAndEndsTheThreadOnlyWhereItMust) {
    const TExceptionCase c = GetParam();
    TRecordingSink sink(c.method);
    sink.action = [](TComEvent event) {
        if (event == evRxChar) {
            throw std::runtime_error("Handler failed");
        }
    };
    auto thread = Start(sink);
    device.QueueBatch(MaskOf({evRxChar, evCTS}));
    device.QueueBatch(MaskOf({evRing}));
    ASSERT_TRUE(PumpUntil([&] { return reports.Count() == 1; }));
    const auto report = reports.Reports().front();
    EXPECT_EQ(TextOf(report.error), "Handler failed");
    EXPECT_TRUE(report.onGuiThread);
    if (c.endsThread) {
        ASSERT_TRUE(PumpUntil([&] { return thread->Finished(); }));
        PumpQueued();
        EXPECT_THAT(sink.Events(), ElementsAre(evRxChar));
        EXPECT_EQ(WaitCount(), 1);
        EXPECT_THAT(device.Masks(), ElementsAre(MaskOf(TComEvents::All()))) << "no clean-up";
        EXPECT_TRUE(device.Purges().empty());
        // Closing and opening again starts afresh: the batch still scripted is delivered.
        thread.reset();
        thread = Start(sink);
        ASSERT_TRUE(PumpUntil([&] { return sink.Count() == 2; }));
        EXPECT_THAT(sink.Events(), ElementsAre(evRxChar, evRing));
    } else {
        ASSERT_TRUE(PumpUntil([&] { return sink.Count() == 3; }));
        EXPECT_THAT(sink.Events(), ElementsAre(evRxChar, evCTS, evRing));
        EXPECT_FALSE(thread->Finished());
    }
    thread.reset();
    PumpQueued();
    EXPECT_EQ(reports.Count(), 1u);
}

INSTANTIATE_TEST_SUITE_P(AllWays, ComThreadException,
                         ::testing::Values(TExceptionCase{smThreadSync, true},
                                           TExceptionCase{smNone, true},
                                           TExceptionCase{smWindowSync, false}),
                         [](const auto& i) { return MethodName(i.param.method); });

TEST_F(ComThreadTest, DestroyingWhileWaitingForTheDeviceReturns) {
    TRecordingSink sink(smThreadSync);
    auto thread = Start(sink);
    ASSERT_TRUE(WaitUntil([&] { return device.WaitingThread() != 0; }));
    ASSERT_TRUE(WaitUntilSleeping(device.WaitingThread()));
    {
        TWatchdog watchdog("destroying a thread that waits for the device");
        thread.reset();
    }
    EXPECT_EQ(WaitCount(), 1);
    EXPECT_EQ(sink.Count(), 0u);
}

TEST_F(ComThreadTest, DestroyingWhileABlockingDeliveryIsQueuedDropsIt) {
    TRecordingSink sink(smThreadSync);
    auto thread = Start(sink);
    device.QueueBatch(MaskOf({evRxChar}));
    // The event thread has taken the batch and sleeps waiting for the user-interface thread,
    // which is busy here and then in the destructor.
    ASSERT_TRUE(WaitUntil([&] { return sink.Dispatches() == 1; }));
    ASSERT_TRUE(WaitUntilSleeping(device.WaitingThread()));
    {
        TWatchdog watchdog("destroying a thread whose delivery is queued");
        thread.reset();
    }
    sink.Retire();
    PumpQueued();
    EXPECT_EQ(sink.Count(), 0u);
    EXPECT_EQ(device.Masks().back(), 0u) << "stopped, so cleaned up";
}

TEST_F(ComThreadTest, WindowSyncCallsQueuedBeforeDestructionAreNotHandledAfterIt) {
    TRecordingSink sink(smWindowSync);
    auto thread = Start(sink);
    device.QueueBatch(MaskOf({evRxChar, evTxEmpty, evCTS}));
    ASSERT_TRUE(WaitUntil([&] { return WaitCount() == 2; }));
    thread.reset();
    sink.Retire();
    PumpQueued();
    EXPECT_EQ(sink.Count(), 0u);
}

TEST_F(ComThreadTest, LostDeviceIsReportedOnceAndEndsTheThreadWithoutSpinning) {
    TRecordingSink sink(smThreadSync);
    auto thread = Start(sink);
    device.HangUp(EIO);
    ASSERT_TRUE(PumpUntil([&] { return thread->Finished() && reports.Count() == 1; }));
    PumpQueued();
    ASSERT_EQ(reports.Count(), 1u);
    const auto report = reports.Reports().front();
    EXPECT_EQ(ComPortCodes(report.error), std::make_pair(3, EIO));
    EXPECT_EQ(TextOf(report.error), ComPortMessage(3, EIO));
    EXPECT_TRUE(report.onGuiThread);
    EXPECT_EQ(WaitCount(), 1);
    EXPECT_EQ(sink.Count(), 0u);
    thread.reset();
    EXPECT_EQ(reports.Count(), 1u);
}

} // namespace
