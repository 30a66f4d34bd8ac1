// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The whole port (device layer, event thread, hand-over to the Qt thread) on a pseudo-terminal.
#include "PtyPortSupport.h"
#include "ThreadTestSupport.h"

#include "serial/EComPort.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <termios.h>

#include <numeric>
#include <string>
#include <vector>

namespace {

using posixtest::TPty;

// One call of OnRxChar: the count it was told, the bytes it read, and where it ran.
struct TRxCall {
    int count;
    std::string text;
    bool onGuiThread;
};

class ComPortPty : public ::testing::Test {
protected:
    // OnRxChar reads `readLimit(call number)` bytes (all by default) and records the call.
    void RecordRxChar(std::function<int(std::size_t, int)> readLimit = {}) {
        port.OnRxChar = [this, readLimit](TCustomComPort* sender, int count) {
            const int wanted = readLimit ? readLimit(calls.size(), count) : count;
            std::string text;
            const int read = sender->ReadText(text, wanted);
            EXPECT_EQ(read, static_cast<int>(text.size()));
            calls.push_back({count, text, OnGuiThread()});
            sleepsAtLastCall = sys.Sleeps();
        };
    }
    std::string Received() const {
        std::string all;
        for (const TRxCall& call : calls) {
            all += call.text;
        }
        return all;
    }
    // Pumps until the handlers have read `size` bytes in all.
    bool PumpUntilReceived(std::size_t size) {
        return PumpUntil([&] { return Received().size() >= size; });
    }
    // Waits until the event thread has gone back to sleep after the last handler call and runs
    // whatever it queued before: a report made instead of sleeping would have run by then.
    bool SettleAfterLastCall() {
        return PumpUntil([&] { return sys.Sleeps() > sleepsAtLastCall; }) &&
               WaitUntilSleeping(sys.Waiter()) && PumpQueued();
    }
    bool WaitForEventThreadSleeping() {
        return WaitUntil([&] { return sys.Waiter() != 0; }) && WaitUntilSleeping(sys.Waiter());
    }

    TPty pty;
    TEventWaitWatch sys;
    TReportCollector reports;
    std::vector<TRxCall> calls;
    int sleepsAtLastCall = 0;
    TComPort port{std::make_unique<TPosixComDevice>(sys)};
};

TEST_F(ComPortPty, OpensWithTheMainWindowSettingsAndCloses) {
    TComPort defaultPort; // on the system's own device layer
    int afterOpen = 0;
    int afterClose = 0;
    defaultPort.OnAfterOpen = [&](TCustomComPort*) { ++afterOpen; };
    defaultPort.OnAfterClose = [&](TCustomComPort*) { ++afterClose; };
    ASSERT_NO_THROW(OpenAsMainWindow(defaultPort, pty.Path()));
    EXPECT_TRUE(defaultPort.Connected());

    // The master shares the line settings of the slave: they really reached the device.
    termios line{};
    ASSERT_EQ(::tcgetattr(pty.Master(), &line), 0);
    EXPECT_EQ(::cfgetospeed(&line), static_cast<speed_t>(B4800));
    EXPECT_EQ(::cfgetispeed(&line), static_cast<speed_t>(B4800));
    EXPECT_NE(line.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(line.c_cflag & (PARENB | CSTOPB), 0u);
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP), 0u);
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG), 0u);

    defaultPort.Close();
    EXPECT_FALSE(defaultPort.Connected());
    EXPECT_EQ(afterOpen, 1);
    EXPECT_EQ(afterClose, 1);
    EXPECT_NO_THROW(defaultPort.Close());
    EXPECT_EQ(afterClose, 1);
    EXPECT_EQ(reports.Count(), 0u);
}

// Bytes from the other end reach OnRxChar on the Qt thread, with NUL dropped only while
// DiscardNull is set and the flow control characters untouched.
class ComPortPtyBytes : public ComPortPty, public ::testing::WithParamInterface<bool> {};

TEST_P(ComPortPtyBytes, ReachOnRxCharOnTheQtThread) {
    const bool discardNull = GetParam();
    RecordRxChar();
    OpenAsMainWindow(port, pty.Path());
    port.SetDiscardNull(discardNull);
    ASSERT_TRUE(WaitForEventThreadSleeping());

    const std::string sent("A\0\x11\x13\xF8"
                           "B\0",
                           7);
    std::string expected = sent;
    if (discardNull) {
        std::erase(expected, '\0');
    }
    EXPECT_TRUE(pty.Send(sent));
    ASSERT_TRUE(PumpUntilReceived(expected.size())) << Received().size();
    ASSERT_TRUE(SettleAfterLastCall());
    EXPECT_EQ(Received(), expected);
    for (const TRxCall& call : calls) {
        EXPECT_TRUE(call.onGuiThread);
        EXPECT_EQ(call.count, static_cast<int>(call.text.size()));
        EXPECT_GT(call.count, 0);
    }
    EXPECT_EQ(reports.Count(), 0u);
}

INSTANTIATE_TEST_SUITE_P(DiscardNull, ComPortPtyBytes, ::testing::Bool(),
                         [](const auto& i) { return i.param ? "Set" : "Cleared"; });

TEST_F(ComPortPty, WriteTextSendsEveryByteUnchanged) {
    OpenAsMainWindow(port, pty.Path());
    const std::string text("\x11x\x13\0\xF8\x11", 6);
    EXPECT_EQ(port.WriteText(text), static_cast<int>(text.size()));
    EXPECT_EQ(pty.Receive(text.size()), text);
}

TEST_F(ComPortPty, ReadTextReturnsWhatIsQueuedWhenAskedForMore) {
    OpenAsMainWindow(port, pty.Path()); // no OnRxChar: the bytes stay queued
    EXPECT_TRUE(pty.Send("1234"));
    ASSERT_TRUE(WaitUntil([&] { return port.InputQueueCount() == 4; }));
    TWatchdog watchdog("ReadText with fewer bytes queued than asked for");
    std::string text;
    EXPECT_EQ(port.ReadText(text, 100), 4);
    EXPECT_EQ(text, "1234");
    EXPECT_EQ(port.ReadText(text, 100), 0);
    EXPECT_EQ(text, "");
}

TEST_F(ComPortPty, BytesLeftUnreadAreReportedOnlyWithTheNextArrival) {
    RecordRxChar([](std::size_t call, int count) { return call == 0 ? 2 : count; });
    OpenAsMainWindow(port, pty.Path());
    ASSERT_TRUE(WaitForEventThreadSleeping());

    EXPECT_TRUE(pty.Send("ABCDEF"));
    ASSERT_TRUE(PumpUntil([&] { return !calls.empty(); }));
    ASSERT_TRUE(SettleAfterLastCall());
    ASSERT_EQ(calls.size(), 1u) << "the unread rest was reported again";
    EXPECT_EQ(calls[0].count, 6);
    EXPECT_EQ(calls[0].text, "AB");

    EXPECT_TRUE(pty.Send("Z"));
    ASSERT_TRUE(PumpUntilReceived(7));
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].count, 5);
    EXPECT_EQ(calls[1].text, "CDEFZ");
}

TEST_F(ComPortPty, CloseWhileTheThreadWaitsReturns) {
    OpenAsMainWindow(port, pty.Path());
    ASSERT_TRUE(WaitForEventThreadSleeping());
    const long eventThread = sys.Waiter();
    {
        TWatchdog watchdog("Close while the event thread waits");
        port.Close();
    }
    EXPECT_FALSE(port.Connected());
    EXPECT_TRUE(WaitUntil([&] { return !TaskExists(eventThread); }));
    EXPECT_EQ(reports.Count(), 0u);
}

// Close from inside OnRxChar, for both ways of delivering on the Qt thread.
class ComPortPtyCloseInHandler : public ComPortPty,
                                 public ::testing::WithParamInterface<TSyncMethod> {};

TEST_P(ComPortPtyCloseInHandler, ClosesThePortAndItOpensAgain) {
    port.SetSyncMethod(GetParam());
    int handlerCalls = 0;
    bool closedInHandler = false;
    port.OnRxChar = [&](TCustomComPort* sender, int) {
        ++handlerCalls;
        sender->Close();
        closedInHandler = !sender->Connected();
    };
    OpenAsMainWindow(port, pty.Path());
    ASSERT_TRUE(WaitForEventThreadSleeping());
    const long eventThread = sys.Waiter();
    {
        TWatchdog watchdog("Close inside OnRxChar");
        EXPECT_TRUE(pty.Send("abc"));
        ASSERT_TRUE(PumpUntil([&] { return handlerCalls > 0; }));
        ASSERT_TRUE(PumpQueued());
    }
    EXPECT_EQ(handlerCalls, 1);
    EXPECT_TRUE(closedInHandler);
    EXPECT_FALSE(port.Connected());
    EXPECT_TRUE(WaitUntil([&] { return !TaskExists(eventThread); }));

    RecordRxChar();
    port.Open();
    EXPECT_TRUE(pty.Send("xyz"));
    ASSERT_TRUE(PumpUntilReceived(3));
    EXPECT_EQ(Received(), "xyz");
    EXPECT_EQ(reports.Count(), 0u);
}

INSTANTIATE_TEST_SUITE_P(QtThreadWays, ComPortPtyCloseInHandler,
                         ::testing::Values(smThreadSync, smWindowSync), [](const auto& i) {
                             return std::string(i.param == smThreadSync ? "ThreadSync"
                                                                        : "WindowSync");
                         });

TEST_F(ComPortPty, LossOfTheOtherEndIsReportedOnceAndEndsTheThread) {
    RecordRxChar();
    OpenAsMainWindow(port, pty.Path());
    ASSERT_TRUE(WaitForEventThreadSleeping());
    const long eventThread = sys.Waiter();

    pty.CloseMaster();
    ASSERT_TRUE(PumpUntil([&] { return reports.Count() > 0; }));
    // The thread ends instead of spinning on the dead descriptor.
    EXPECT_TRUE(WaitUntil([&] { return !TaskExists(eventThread); }));
    ASSERT_TRUE(PumpQueued());
    const auto all = reports.Reports();
    ASSERT_EQ(all.size(), 1u);
    EXPECT_TRUE(all[0].onGuiThread);
    const auto [code, systemCode] = ComPortCodes(all[0].error);
    EXPECT_EQ(code, CError_ReadFailed) << TextOf(all[0].error);
    EXPECT_GT(systemCode, 0);

    EXPECT_NO_THROW(port.Close());
    EXPECT_FALSE(port.Connected());
    ASSERT_TRUE(PumpQueued());
    EXPECT_EQ(reports.Count(), 1u);

    // The device is back (a fresh pseudo-terminal): the same port opens and receives again.
    TPty fresh;
    port.SetPort(fresh.Path());
    ASSERT_NO_THROW(port.Open());
    EXPECT_TRUE(fresh.Send("ok"));
    ASSERT_TRUE(PumpUntilReceived(2));
    EXPECT_EQ(Received(), "ok");
    EXPECT_EQ(reports.Count(), 1u);
}

TEST_F(ComPortPty, ASecondPortOnTheSameDeviceIsRefused) {
    OpenAsMainWindow(port, pty.Path());
    TComPort second;
    second.SetPort(pty.Path());
    try {
        second.Open();
        ADD_FAILURE() << "the second open succeeded";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.Code(), CError_OpenFailed);
        EXPECT_GT(e.SystemCode(), 0);
        EXPECT_EQ(std::string(e.what()), "Unable to open com port (win error code: " +
                                             std::to_string(e.SystemCode()) + ")");
    }
    EXPECT_FALSE(second.Connected());
    EXPECT_TRUE(port.Connected());

    // The first port still works, and once it is closed the second one may open.
    EXPECT_EQ(port.WriteText("still"), 5);
    EXPECT_EQ(pty.Receive(5), "still");
    port.Close();
    // The first port's device is released on a thread of its own; until then the lock holds.
    ASSERT_TRUE(posixtest::AwaitRelease(port.Device()));
    EXPECT_NO_THROW(second.Open());
    EXPECT_TRUE(second.Connected());
}

TEST_F(ComPortPty, AnIdlePortSleepsWithoutATimer) {
    int txEmpty = 0;
    port.OnTxEmpty = [&](TCustomComPort*) {
        ++txEmpty;
        sleepsAtLastCall = sys.Sleeps();
    };
    OpenAsMainWindow(port, pty.Path());
    ASSERT_TRUE(WaitForEventThreadSleeping());
    EXPECT_EQ(sys.LastTimeout(), -1);

    // After sending, the thread watches the output queue until it is empty, then sleeps for
    // good again.
    EXPECT_EQ(port.WriteText("ping"), 4);
    EXPECT_EQ(pty.Receive(4), "ping");
    ASSERT_TRUE(PumpUntil([&] { return txEmpty > 0; }));
    ASSERT_TRUE(SettleAfterLastCall());
    EXPECT_EQ(sys.LastTimeout(), -1);
    EXPECT_EQ(txEmpty, 1);
}

} // namespace
