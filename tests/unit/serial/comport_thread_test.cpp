// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// An open port whose event thread delivers the fake device's events to the handlers.
#include "ComPortRig.h"
#include "ThreadTestSupport.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

// Pumps the event loop until the event thread has come back into its wait `calls` times in
// all: every batch before that has been delivered (or, with smWindowSync, queued).
bool PumpUntilWaiting(const TFakeComDevice& fake, int calls) {
    return PumpUntil(
        [&] { return fake.CallCount(TFakeOp::WaitCommEvent) >= calls && fake.IsWaiting(); });
}

bool Contains(const Log& log, const std::string& entry) {
    return std::find(log.begin(), log.end(), entry) != log.end();
}

class ComPortThread : public ::testing::TestWithParam<TSyncMethod> {
protected:
    void SetUp() override {
        rig.RecordHandlers();
        rig.RecordLinkWithoutBuffer();
        rig.port.SetSyncMethod(GetParam());
    }

    // OnRxChar logs the count and reads every byte into `received`.
    void ReadAllOnRxChar() {
        rig.port.OnRxChar = [this](TCustomComPort* sender, int count) {
            rig.Add("RxChar(" + std::to_string(count) + ")");
            std::string text;
            sender->ReadText(text, count);
            const std::lock_guard lock(mutex);
            received += text;
        };
    }
    std::string Received() {
        const std::lock_guard lock(mutex);
        return received;
    }

    PortRig rig;
    std::mutex mutex;
    std::string received;
};

TEST_P(ComPortThread, ReceivedBytesReachOnRxCharWithTheirCount) {
    ReadAllOnRxChar();
    std::atomic<bool> onGuiThread{false};
    const auto guiThread = std::this_thread::get_id();
    rig.port.OnRxFlag = [&](TCustomComPort*) {
        onGuiThread = std::this_thread::get_id() == guiThread;
    };
    rig.port.SetEventChar('c');
    rig.port.Open();
    rig.ClearLog();

    rig.fake.InjectReceived("abc");
    ASSERT_TRUE(PumpUntil([&] { return Contains(rig.Log(), "link.ReceiveFlag"); }));
    EXPECT_EQ(Received(), "abc");
    const Log expected = {"link.Receiving(1)", "RxChar(3)", "link.Receiving(0)",
                          "link.ReceiveFlag"};
    EXPECT_EQ(rig.Log(), expected);
    EXPECT_EQ(onGuiThread.load(), GetParam() != smNone);
    rig.port.Close();
}

TEST_P(ComPortThread, TheEventsOfABatchAreHandledInTheFixedOrder) {
    rig.port.Open();
    rig.ClearLog();

    rig.fake.BeginBatch();
    rig.fake.SetModemStatus(WinComm::MsCtsOn);
    rig.fake.InjectReceived("ab");
    rig.fake.InjectLineErrors(WinComm::CeFrame);
    rig.fake.EndBatch();

    ASSERT_TRUE(PumpUntil([&] { return Contains(rig.Log(), "CTSChange(1)"); }));
    const Log expected = {"Error(1)", "link.Receiving(1)", "RxChar(2)", "link.CTS(1)",
                          "CTSChange(1)"};
    EXPECT_EQ(rig.Log(), expected);
    rig.port.Close();
}

TEST_P(ComPortThread, BytesLeftUnreadAreReportedAgainOnlyWithNewBytes) {
    rig.port.OnRxChar = [this](TCustomComPort* sender, int count) {
        rig.Add("RxChar(" + std::to_string(count) + ")");
        std::string text;
        sender->ReadText(text, 1);
    };
    rig.port.Open();
    ASSERT_TRUE(PumpUntilWaiting(rig.fake, 1));
    rig.ClearLog();

    rig.fake.InjectReceived("abc");
    ASSERT_TRUE(PumpUntil([&] { return Contains(rig.Log(), "RxChar(3)"); }));
    // Back in its wait: the batch is over, and nothing more came of the two bytes left.
    ASSERT_TRUE(PumpUntilWaiting(rig.fake, 2));
    QCoreApplication::processEvents();
    EXPECT_EQ(rig.Log(), (Log{"link.Receiving(1)", "RxChar(3)"}));

    rig.fake.InjectReceived("d");
    ASSERT_TRUE(PumpUntil([&] { return rig.Log().size() == 4; }));
    EXPECT_EQ(rig.Log().back(), "RxChar(3)");
    rig.port.Close();
}

TEST_P(ComPortThread, ClosingWhileTheThreadWaitsEndsIt) {
    rig.port.Open();
    ASSERT_TRUE(PumpUntilWaiting(rig.fake, 1));
    rig.port.Close();
    EXPECT_FALSE(rig.fake.IsWaiting());
    EXPECT_FALSE(rig.port.Connected());
    EXPECT_EQ(rig.Log().back(), "AfterClose");
}

TEST_P(ComPortThread, ALostDeviceIsReportedOnceAndThePortCanBeClosedAndReopened) {
    const ErrorCapture reports;
    rig.port.Open();
    ASSERT_TRUE(PumpUntilWaiting(rig.fake, 1));

    rig.fake.HangUp(EIO);
    ASSERT_TRUE(PumpUntil([&] { return !reports.Codes().empty(); }));
    EXPECT_EQ(reports.Messages(),
              std::vector<std::string>{"ReadFile function failed (win error code: 5)"});
    EXPECT_FALSE(rig.fake.IsWaiting());

    rig.port.Close();
    EXPECT_FALSE(rig.port.Connected());
    rig.port.Open();
    ASSERT_TRUE(PumpUntilWaiting(rig.fake, 2));
    rig.port.Close();
    EXPECT_EQ(reports.Codes().size(), 1u);
}

TEST_P(ComPortThread, ClosingInsideAHandlerStopsTheRestOfTheBatch) {
    rig.port.OnRxChar = [this](TCustomComPort* sender, int count) {
        rig.Add("RxChar(" + std::to_string(count) + ")");
        sender->Close();
    };
    rig.port.Open();
    rig.ClearLog();

    rig.fake.BeginBatch();
    rig.fake.InjectReceived("a");
    rig.fake.SetModemStatus(WinComm::MsDsrOn);
    rig.fake.EndBatch();
    ASSERT_TRUE(PumpUntil([&] { return Contains(rig.Log(), "AfterClose"); }));
    QCoreApplication::processEvents();
    EXPECT_FALSE(Contains(rig.Log(), "DSRChange(1)"));
    EXPECT_FALSE(rig.port.Connected());
}

TEST_P(ComPortThread, NoHandlerRunsAfterCloseHasReturned) {
    std::atomic<bool> closed{false};
    std::atomic<int> late{0};
    std::atomic<int> deliveries{0};
    rig.port.OnRxChar = [&](TCustomComPort* sender, int count) {
        if (closed) {
            ++late;
        }
        ++deliveries;
        std::string text;
        sender->ReadText(text, count);
    };
    std::atomic<bool> feeding{true};
    std::thread feeder([&] {
        while (feeding) {
            rig.fake.InjectReceived("xy");
            std::this_thread::yield();
        }
    });
    for (int cycle = 0; cycle < 200; ++cycle) {
        closed = false;
        rig.port.Open();
        QCoreApplication::processEvents();
        rig.port.Close();
        closed = true;
        QCoreApplication::processEvents();
    }
    // The handler is wired up: one more open port does receive.
    closed = false;
    const int before = deliveries;
    rig.port.Open();
    const bool delivered = PumpUntil([&] { return deliveries > before; });
    rig.port.Close();
    feeding = false;
    feeder.join();
    EXPECT_TRUE(delivered);
    EXPECT_EQ(late.load(), 0);
}

INSTANTIATE_TEST_SUITE_P(SyncMethods, ComPortThread,
                         ::testing::Values(smThreadSync, smWindowSync, smNone),
                         [](const auto& row) { return std::string(MethodName(row.param)); });

// With smThreadSync and smNone a handler's exception ends delivery until the port is reopened.
class ComPortThreadException : public ComPortThread {};

TEST_P(ComPortThreadException, EndsDeliveryUntilThePortIsReopened) {
    const ErrorCapture reports;
    std::atomic<bool> fail{true};
    rig.port.OnRxChar = [&](TCustomComPort* sender, int count) {
        rig.Add("RxChar(" + std::to_string(count) + ")");
        std::string text;
        sender->ReadText(text, count);
        if (fail) {
            throw std::runtime_error("handler failed");
        }
    };
    rig.port.Open();
    rig.ClearLog();
    rig.fake.InjectReceived("a");
    ASSERT_TRUE(PumpUntil([&] { return !reports.Messages().empty(); }));
    EXPECT_EQ(reports.Messages(), std::vector<std::string>{"handler failed"});

    // The thread has ended before it reported: it waits for nothing any more.
    const int waits = rig.fake.CallCount(TFakeOp::WaitCommEvent);
    rig.fake.InjectReceived("b");
    QCoreApplication::processEvents();
    EXPECT_EQ(rig.fake.CallCount(TFakeOp::WaitCommEvent), waits);
    EXPECT_EQ(rig.Log(), (Log{"link.Receiving(1)", "RxChar(1)", "link.Receiving(0)"}));

    fail = false;
    rig.port.Close();
    rig.port.Open();
    rig.ClearLog();
    rig.fake.InjectReceived("c");
    ASSERT_TRUE(PumpUntil([&] { return rig.Log().size() == 3; }));
    EXPECT_EQ(rig.Log(), (Log{"link.Receiving(1)", "RxChar(1)", "link.Receiving(0)"}));
    rig.port.Close();
}

INSTANTIATE_TEST_SUITE_P(SyncMethods, ComPortThreadException,
                         ::testing::Values(smThreadSync, smNone),
                         [](const auto& row) { return std::string(MethodName(row.param)); });

} // namespace
