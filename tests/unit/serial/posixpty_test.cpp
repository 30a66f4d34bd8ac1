// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The device layer on a real pseudo-terminal.
#include "posixtestsupport.h"

#include "app/ComMainWindowPort.h"
#include "serial/ComDcb.h"
#include "serial/ComTypes.h"
#include "serial/platform/ComPlatformTypes.h"
#include "serial/platform/PosixComDevice.h"

#include <cerrno>
#include <chrono>
#include <functional>
#include <thread>
#include <utility>

namespace {

using namespace posixtest;
using namespace WinComm;

constexpr std::uint32_t maxDword = 0xFFFFFFFF;

// The port's default line settings, or the main window's (4800 baud, hardware flow, DTR on).
TDCB PortDcb(bool mainWindow, bool discardNull = false) {
    TComPortSettings settings;
    if (mainWindow) {
        ApplyMainWindowPortDefaults(settings);
        settings.SetBaudRate(br4800);
        settings.FlowControl().SetFlowControl(fcHardware);
    }
    settings.SetDiscardNull(discardNull);
    return BuildDCB(settings);
}

class PosixPtyTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(device.Open(pty.Path()), 0);
        ASSERT_EQ(device.SetupComm(1024, 1024), 0);
        ASSERT_EQ(device.SetCommTimeouts(TCommTimeouts{maxDword, 0, 0, 100, 1000}), 0);
        ASSERT_EQ(device.SetCommState(PortDcb(false)), 0);
    }

    TPty pty;
    TObservedSysCalls sys;
    TPosixComDevice device{sys};
};

TEST_F(PosixPtyTest, OpensAndCloses) {
    EXPECT_TRUE(device.IsOpen());
    device.Close();
    EXPECT_FALSE(device.IsOpen());
    device.Close();
    EXPECT_EQ(device.Open(pty.Path()), 0);
}

TEST_F(PosixPtyTest, OperationsOnAClosedDeviceFailWithEbadf) {
    device.Close();
    std::uint32_t word = 0;
    std::uint32_t count = 0;
    std::size_t done = 0;
    char byte = 'x';
    TStopSignal stop;
    const std::pair<const char*, std::function<int()>> operations[] = {
        {"SetupComm", [&] { return device.SetupComm(1024, 1024); }},
        {"SetCommState", [&] { return device.SetCommState(PortDcb(false)); }},
        {"SetCommTimeouts", [&] { return device.SetCommTimeouts({}); }},
        {"SetCommMask", [&] { return device.SetCommMask(EvRxChar); }},
        {"WaitCommEvent", [&] { return device.WaitCommEvent(word, stop); }},
        {"Write", [&] { return device.Write(&byte, 1, done); }},
        {"Read", [&] { return device.Read(&byte, 1, done); }},
        {"ClearCommError", [&] { return device.ClearCommError(word, count); }},
        {"GetCommModemStatus", [&] { return device.GetCommModemStatus(word); }},
        {"PurgeComm", [&] { return device.PurgeComm(PurgeRxClear); }},
        {"OutputQueueCount", [&] { return device.OutputQueueCount(count); }},
    };
    for (const auto& [name, operation] : operations) {
        EXPECT_EQ(operation(), EBADF) << name;
    }
}

TEST_F(PosixPtyTest, ASecondOpenOfTheSameDeviceIsRefused) {
    TPosixComDevice second;
    const int error = second.Open(pty.Path());
    EXPECT_TRUE(error == EWOULDBLOCK || error == EBUSY) << error;
    EXPECT_FALSE(second.IsOpen());
    device.Close();
    // The lock goes with the descriptor, which is released on a thread of its own.
    ASSERT_TRUE(AwaitRelease(device));
    EXPECT_EQ(second.Open(pty.Path()), 0);
}

TEST_F(PosixPtyTest, OpeningAMissingDeviceGivesEnoent) {
    TPosixComDevice other;
    EXPECT_EQ(other.Open("/dev/quorlits-no-such-device"), ENOENT);
    EXPECT_EQ(other.Open("quorlits-no-such-device"), ENOENT);
    EXPECT_EQ(device.Open(pty.Path()), EBUSY);
}

TEST_F(PosixPtyTest, AcceptsTheMainWindowSettingsAndACustomRate) {
    EXPECT_EQ(device.SetCommState(PortDcb(true)), 0);
    TDCB custom = PortDcb(true);
    custom.BaudRate = 31250;
    EXPECT_EQ(device.SetCommState(custom), 0);
    custom.ByteSize = 9;
    EXPECT_EQ(device.SetCommState(custom), EINVAL);
}

TEST_F(PosixPtyTest, FlowControlBytesPassBothWaysWithTheMainWindowSettings) {
    ASSERT_EQ(device.SetCommState(PortDcb(true)), 0);
    ASSERT_EQ(device.SetCommMask(EvRxChar), 0);
    const std::string bytes("\x11\x13"
                            "A\x11\x13",
                            5);
    EXPECT_TRUE(pty.Send(bytes));
    EXPECT_EQ(CollectEvents(device, EvRxChar) & EvRxChar, EvRxChar);
    std::string got;
    for (int i = 0; i < 100 && got.size() < bytes.size(); ++i) {
        got += ReadString(device, bytes.size() - got.size());
    }
    EXPECT_EQ(got, bytes);
    std::size_t written = 0;
    ASSERT_EQ(device.Write(bytes.data(), bytes.size(), written), 0);
    EXPECT_EQ(written, bytes.size());
    EXPECT_EQ(pty.Receive(bytes.size()), bytes);
}

TEST_F(PosixPtyTest, NulBytesAreDroppedOnlyWithDiscardNull) {
    ASSERT_EQ(device.SetCommMask(EvRxChar), 0);
    const std::string bytes("a\0b\0", 4);
    for (const bool discard : {false, true}) {
        ASSERT_EQ(device.SetCommState(PortDcb(true, discard)), 0);
        EXPECT_TRUE(pty.Send(bytes));
        CollectEvents(device, EvRxChar);
        const std::string expected = discard ? std::string("ab") : bytes;
        std::string got;
        for (int i = 0; i < 100 && got.size() < expected.size(); ++i) {
            got += ReadString(device, 10);
        }
        EXPECT_EQ(got, expected) << discard;
    }
    // Written NULs always go out.
    std::size_t written = 0;
    ASSERT_EQ(device.Write(bytes.data(), bytes.size(), written), 0);
    EXPECT_EQ(pty.Receive(bytes.size()), bytes);
}

TEST_F(PosixPtyTest, AReadReturnsAtOnceWithFewerBytesThanAskedFor) {
    ASSERT_EQ(device.SetCommMask(EvRxChar), 0);
    EXPECT_TRUE(pty.Send("1234"));
    for (int i = 0; i < 4 && QueueCount(device) < 4; ++i) {
        CollectEvents(device, EvRxChar);
    }
    EXPECT_EQ(ReadString(device, 10), "1234");
    EXPECT_EQ(ReadString(device, 10), "");
}

TEST_F(PosixPtyTest, BytesLeftUnreadAreReportedAgainOnlyWithNewBytes) {
    ASSERT_EQ(device.SetCommMask(EvRxChar), 0);
    EXPECT_TRUE(pty.Send("abc"));
    std::uint32_t queued = 0;
    while (queued < 3) {
        ASSERT_EQ(WaitEvents(device).Events, EvRxChar);
        queued = QueueCount(device);
    }
    EXPECT_EQ(ReadString(device, 1), "a");

    const int sleeps = sys.Sleeps(3);
    TAsyncWait wait(device);
    // The wait goes to sleep with two bytes still queued instead of reporting them ...
    ASSERT_TRUE(sys.AwaitSleep(3, sleeps));
    EXPECT_EQ(QueueCount(device), 2U);
    // ... and reports only the new byte.
    EXPECT_TRUE(pty.Send("d"));
    EXPECT_EQ(wait.Get().Events, EvRxChar);
    EXPECT_EQ(ReadString(device, 10), "bcd");
}

TEST_F(PosixPtyTest, TheStopSignalWakesAWaitingThread) {
    ASSERT_EQ(device.SetCommMask(EvRxChar | EvCts), 0);
    const int sleeps = sys.Sleeps(3);
    TAsyncWait wait(device);
    ASSERT_TRUE(sys.AwaitSleep(3, sleeps));
    wait.Stop();
    EXPECT_EQ(wait.Get().Error, ECANCELED);
}

TEST_F(PosixPtyTest, ANewMaskEndsAWaitWithNoEvents) {
    ASSERT_EQ(device.SetCommMask(EvRxChar), 0);
    const int sleeps = sys.Sleeps(3);
    TAsyncWait wait(device);
    ASSERT_TRUE(sys.AwaitSleep(3, sleeps));
    ASSERT_EQ(device.SetCommMask(EvRxChar), 0);
    const TWaitResult result = wait.Get();
    EXPECT_EQ(result.Error, 0);
    EXPECT_EQ(result.Events, 0U);
}

TEST_F(PosixPtyTest, AWaitWithoutMaskIsRefused) {
    TStopSignal stop;
    std::uint32_t events = 0;
    EXPECT_EQ(device.WaitCommEvent(events, stop), EINVAL);
}

TEST_F(PosixPtyTest, TheOtherEndClosingEndsTheWaitWithAnError) {
    ASSERT_EQ(device.SetCommMask(EvRxChar), 0);
    const int sleeps = sys.Sleeps(3);
    TAsyncWait wait(device);
    ASSERT_TRUE(sys.AwaitSleep(3, sleeps));
    pty.CloseMaster();
    const int error = wait.Get().Error;
    EXPECT_NE(error, 0);
    EXPECT_NE(error, ECANCELED);
    // Later waits fail at once, without sleeping.
    const int sleepsAfter = sys.Sleeps(3);
    EXPECT_EQ(WaitEvents(device).Error, error);
    EXPECT_EQ(sys.Sleeps(3), sleepsAfter);
    int readError = 0;
    EXPECT_EQ(ReadString(device, 4, &readError), "");
    EXPECT_EQ(readError, error);
    // The port's Close purges first; that must not fail on a device that is gone.
    EXPECT_EQ(device.PurgeComm(PurgeTxAbort | PurgeRxAbort), 0);
    device.Close();

    TPty again;
    ASSERT_EQ(device.Open(again.Path()), 0);
    ASSERT_EQ(device.SetCommMask(EvRxChar), 0);
    EXPECT_TRUE(again.Send("x"));
    EXPECT_EQ(CollectEvents(device, EvRxChar), EvRxChar);
    EXPECT_EQ(ReadString(device, 1), "x");
}

TEST_F(PosixPtyTest, ModemLinesReadAllOff) {
    std::uint32_t status = 0xFF;
    EXPECT_EQ(device.GetCommModemStatus(status), 0);
    EXPECT_EQ(status, 0U);
}

TEST_F(PosixPtyTest, AWriteIsFollowedByTransmitEmpty) {
    ASSERT_EQ(device.SetCommMask(EvTxEmpty), 0);
    std::size_t written = 0;
    ASSERT_EQ(device.Write("xyz", 3, written), 0);
    EXPECT_EQ(written, 3U);
    EXPECT_EQ(WaitEvents(device).Events, EvTxEmpty);
    EXPECT_EQ(pty.Receive(3), "xyz");
}

TEST_F(PosixPtyTest, ReportsTheEventCharacterAndEightyPercent) {
    ASSERT_EQ(device.SetupComm(10, 10), 0);
    TDCB dcb = PortDcb(false);
    dcb.EvtChar = '!';
    ASSERT_EQ(device.SetCommState(dcb), 0);
    ASSERT_EQ(device.SetCommMask(EvRxChar | EvRxFlag | EvRx80Full), 0);
    EXPECT_TRUE(pty.Send("abcdefg!"));
    EXPECT_EQ(CollectEvents(device, EvRxChar | EvRxFlag | EvRx80Full),
              EvRxChar | EvRxFlag | EvRx80Full);
}

TEST_F(PosixPtyTest, AFullQueueLeavesTheRestInTheKernelUntilARead) {
    ASSERT_EQ(device.SetupComm(4, 4), 0);
    ASSERT_EQ(device.SetCommMask(EvRxChar), 0);
    EXPECT_TRUE(pty.Send("abcdefghij"));
    std::string got;
    while (got.size() < 10) {
        const TWaitResult result = WaitEvents(device);
        ASSERT_EQ(result.Error, 0);
        ASSERT_EQ(result.Events, EvRxChar);
        const std::uint32_t queued = QueueCount(device);
        EXPECT_LE(queued, 4U);
        got += ReadString(device, queued);
    }
    EXPECT_EQ(got, "abcdefghij");
}

// Received bytes are reported in batches while they keep coming: after a report, a few more
// bytes alone wait for the hold-off, and nothing else. A slow machine can only delay a report,
// so "not reported before the stop" holds whatever the load.
TEST_F(PosixPtyTest, SmallArrivalsAfterAReportWaitForTheHoldOff) {
    device.SetRxHoldOff(std::chrono::hours(1));
    ASSERT_EQ(device.SetupComm(8, 8), 0);
    TDCB dcb = PortDcb(false);
    dcb.EvtChar = '!';
    ASSERT_EQ(device.SetCommState(dcb), 0);
    ASSERT_EQ(device.SetCommMask(EvRxChar | EvRxFlag), 0);
    // The first arrival is reported at once.
    EXPECT_TRUE(pty.Send("a"));
    EXPECT_EQ(WaitEvents(device).Events, EvRxChar);
    EXPECT_EQ(ReadString(device, 1), "a");
    // One more byte is held back.
    EXPECT_TRUE(pty.Send("b"));
    {
        TAsyncWait wait(device);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        wait.Stop();
        const TWaitResult result = wait.Get();
        EXPECT_EQ(result.Error, ECANCELED);
        EXPECT_EQ(result.Events, 0U);
    }
    // Half a queue is reported without waiting, the held byte with it.
    EXPECT_TRUE(pty.Send("cde"));
    EXPECT_EQ(CollectEvents(device, EvRxChar), EvRxChar);
    EXPECT_EQ(ReadString(device, 8), "bcde");
    // Another event brings the held bytes along.
    EXPECT_TRUE(pty.Send("f"));
    EXPECT_TRUE(pty.Send("!"));
    EXPECT_EQ(CollectEvents(device, EvRxFlag), EvRxChar | EvRxFlag);
    EXPECT_EQ(ReadString(device, 8), "f!");
}

// With the usual hold-off, bytes that follow a report closely come a hold-off later: never
// earlier, and never lost.
TEST_F(PosixPtyTest, TheUsualHoldOffDelaysTheNextReport) {
    ASSERT_EQ(device.SetCommMask(EvRxChar), 0);
    const auto beforeReport = std::chrono::steady_clock::now();
    EXPECT_TRUE(pty.Send("a"));
    EXPECT_EQ(WaitEvents(device).Events, EvRxChar);
    EXPECT_EQ(ReadString(device, 1), "a");
    EXPECT_TRUE(pty.Send("b"));
    EXPECT_EQ(WaitEvents(device).Events, EvRxChar);
    EXPECT_GE(std::chrono::steady_clock::now() - beforeReport, TPosixComDevice::DefaultRxHoldOff);
    EXPECT_EQ(ReadString(device, 1), "b");
}

TEST_F(PosixPtyTest, PurgeDiscardsQueuedInput) {
    ASSERT_EQ(device.SetCommMask(EvRxChar), 0);
    EXPECT_TRUE(pty.Send("abc"));
    CollectEvents(device, EvRxChar);
    ASSERT_EQ(device.PurgeComm(PurgeRxClear | PurgeTxClear), 0);
    EXPECT_EQ(QueueCount(device), 0U);
    EXPECT_EQ(ReadString(device, 10), "");
}

// Bytes written lie in the other end's input at once: nothing is left to send, and purging the
// output side (as closing does) leaves them there for the other end to read.
TEST_F(PosixPtyTest, WrittenBytesSurviveAnOutputPurgeAndTheClose) {
    std::size_t written = 0;
    ASSERT_EQ(device.Write("GLP\r\n", 5, written), 0);
    ASSERT_EQ(written, 5U);
    std::uint32_t queued = 99;
    ASSERT_EQ(device.OutputQueueCount(queued), 0);
    EXPECT_EQ(queued, 0U);
    ASSERT_EQ(device.PurgeComm(PurgeTxAbort | PurgeTxClear | PurgeRxClear), 0);
    device.Close();
    EXPECT_EQ(pty.Receive(5), "GLP\r\n");
}

TEST_F(PosixPtyTest, AReadWithTimeoutsWaitsForBytesThatComeLater) {
    ASSERT_EQ(device.SetCommTimeouts(TCommTimeouts{0, 0, 20000, 0, 0}), 0);
    ASSERT_EQ(device.SetCommMask(EvRxChar), 0);
    // The event wait runs meanwhile and takes the bytes in; the read must still get them.
    std::thread waiter([this] { CollectEvents(device, EvRxChar); });
    const int sleeps = sys.Sleeps(2);
    std::thread writer([&] {
        EXPECT_TRUE(sys.AwaitSleep(2, sleeps));
        EXPECT_TRUE(pty.Send("xyz"));
    });
    EXPECT_EQ(ReadString(device, 3), "xyz");
    writer.join();
    waiter.join();
}

TEST_F(PosixPtyTest, AReadTimeoutIsNoError) {
    ASSERT_EQ(device.SetCommTimeouts(TCommTimeouts{0, 0, 1, 0, 0}), 0);
    int error = -1;
    EXPECT_EQ(ReadString(device, 3, &error), "");
    EXPECT_EQ(error, 0);
}

} // namespace
