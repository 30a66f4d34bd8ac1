// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The device layer on a pseudo-terminal whose driver is given what a pseudo-terminal lacks:
// modem lines, interrupt counters, an output queue that drains, failures and hang-ups.
#include "posixtestsupport.h"

#include "serial/ComDcb.h"
#include "serial/ComTypes.h"
#include "serial/platform/ComPlatformTypes.h"
#include "serial/platform/PosixComDevice.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <sys/eventfd.h>
#include <sys/ioctl.h>

namespace {

using namespace posixtest;
using namespace WinComm;

class TScriptedSysCalls : public TObservedSysCalls {
public:
    TScriptedSysCalls()
        : changeFd_(::eventfd(0, EFD_CLOEXEC)) {}
    ~TScriptedSysCalls() override { ::close(changeFd_); }
    TScriptedSysCalls(const TScriptedSysCalls&) = delete;
    TScriptedSysCalls& operator=(const TScriptedSysCalls&) = delete;

    // Modem lines: set them and wake a TIOCMIWAIT.
    void ChangeLines(int lines) {
        lines_ = lines;
        const std::uint64_t one = 1;
        ASSERT_EQ(::write(changeFd_, &one, sizeof one), static_cast<ssize_t>(sizeof one));
    }
    void SetLinesQuietly(int lines) { lines_ = lines; }
    bool AwaitModemWait(int seen) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, deadline, [&] { return modemWaits_ > seen; });
    }
    int ModemWaits() {
        const std::lock_guard lock(mutex_);
        return modemWaits_;
    }
    void SetCounters(const TLineCounters& counters) {
        const std::lock_guard lock(mutex_);
        counters_ = counters;
    }

    std::atomic<bool> modemWaitRefused{false};
    std::atomic<bool> countersSupported{true};
    std::atomic<int> outputQueueBusyCalls{0};
    std::atomic<int> outputQueueCalls{0};
    std::atomic<int> outputQueueError{0};
    std::atomic<bool> hungUp{false};
    std::string bytesBeforeHangUp;
    int flockError = 0;
    int exclusiveError = 0;
    int getAttrError = 0;
    int opens = 0;
    // Counted on the thread that releases the device.
    std::atomic<int> closes{0};

    int Open(const char* path, int flags) override {
        ++opens;
        return TObservedSysCalls::Open(path, flags);
    }
    int Close(int fd) override {
        ++closes;
        return TObservedSysCalls::Close(fd);
    }
    int Flock(int fd, int operation) override {
        return Fail(flockError) ? -1 : TObservedSysCalls::Flock(fd, operation);
    }
    int SetExclusive(int fd, bool exclusive) override {
        return exclusive && Fail(exclusiveError) ? -1
                                                 : TObservedSysCalls::SetExclusive(fd, exclusive);
    }
    int TcGetAttr(int fd, termios& settings) override {
        return Fail(getAttrError) ? -1 : TObservedSysCalls::TcGetAttr(fd, settings);
    }
    int ModemGet(int, int& lines) override {
        lines = lines_;
        return 0;
    }
    int ModemRaise(int, int) override { return 0; }
    int ModemDrop(int, int) override { return 0; }
    int ModemWait(int, int) override {
        {
            const std::lock_guard lock(mutex_);
            ++modemWaits_;
        }
        changed_.notify_all();
        if (modemWaitRefused) {
            return Fail(EINVAL) ? -1 : 0;
        }
        // Blocks like the real request and, like it, returns EINTR on a signal.
        std::uint64_t count = 0;
        return ::read(changeFd_, &count, sizeof count) < 0 ? -1 : 0;
    }
    int GetCounters(int, TLineCounters& counters) override {
        if (!countersSupported) {
            return Fail(ENOTTY) ? -1 : 0;
        }
        const std::lock_guard lock(mutex_);
        counters = counters_;
        return 0;
    }
    int OutputQueue(int, int& bytes) override {
        ++outputQueueCalls;
        if (Fail(outputQueueError)) {
            return -1;
        }
        bytes = outputQueueBusyCalls-- > 0 ? 50 : 0;
        return 0;
    }
    ssize_t Read(int fd, void* data, std::size_t count) override {
        if (!bytesBeforeHangUp.empty()) {
            const std::size_t n = std::min(count, bytesBeforeHangUp.size());
            std::memcpy(data, bytesBeforeHangUp.data(), n);
            bytesBeforeHangUp.erase(0, n);
            hungUp = true;
            return static_cast<ssize_t>(n);
        }
        return hungUp && Fail(EIO) ? -1 : TObservedSysCalls::Read(fd, data, count);
    }
    int TcFlush(int fd, int queue) override {
        return hungUp && Fail(EIO) ? -1 : TObservedSysCalls::TcFlush(fd, queue);
    }

private:
    static bool Fail(int error) {
        errno = error;
        return error != 0;
    }

    int changeFd_;
    std::atomic<int> lines_{0};
    std::mutex mutex_;
    std::condition_variable changed_;
    int modemWaits_ = 0;
    TLineCounters counters_;
};

TDCB PlainDcb() {
    TComPortSettings settings;
    return BuildDCB(settings);
}

class PosixInjectedTest : public testing::Test {
protected:
    void OpenDevice(std::uint32_t mask) {
        ASSERT_EQ(device.Open(pty.Path()), 0);
        ASSERT_EQ(device.SetCommState(PlainDcb()), 0);
        ASSERT_EQ(device.SetCommMask(mask), 0);
    }

    TPty pty;
    TScriptedSysCalls sys;
    TPosixComDevice device{sys};
};

TEST_F(PosixInjectedTest, ModemLineChangesWakeTheWaitThroughTiocmiwait) {
    OpenDevice(EvCts | EvDsr | EvRlsd | EvRing);
    ASSERT_TRUE(sys.AwaitModemWait(0));
    sys.ChangeLines(TIOCM_CTS);
    EXPECT_EQ(WaitEvents(device).Events, EvCts);
    sys.ChangeLines(TIOCM_CTS | TIOCM_CAR | TIOCM_DSR);
    EXPECT_EQ(CollectEvents(device, EvRlsd | EvDsr), EvRlsd | EvDsr);
    std::uint32_t status = 0;
    ASSERT_EQ(device.GetCommModemStatus(status), 0);
    EXPECT_EQ(status, MsCtsOn | MsDsrOn | MsRlsdOn);
    // Closing interrupts the watcher's TIOCMIWAIT.
    device.Close();
    EXPECT_FALSE(device.IsOpen());
}

TEST_F(PosixInjectedTest, ARingPulseIsSeenThroughTheCounters) {
    OpenDevice(EvRing | EvCts);
    ASSERT_TRUE(sys.AwaitModemWait(0));
    TLineCounters counters;
    counters.Ring = 1;
    sys.SetCounters(counters);
    // The ring is over when the lines are read: only the counter shows it.
    sys.ChangeLines(0);
    EXPECT_EQ(WaitEvents(device).Events, EvRing);
}

TEST_F(PosixInjectedTest, WithoutTiocmiwaitTheLinesAreCheckedPeriodically) {
    sys.modemWaitRefused = true;
    OpenDevice(EvDsr);
    sys.SetLinesQuietly(TIOCM_DSR);
    EXPECT_EQ(WaitEvents(device).Events, EvDsr);
    device.Close();
}

TEST_F(PosixInjectedTest, NewLineSettingsMakeTheWatcherWaitAfresh) {
    OpenDevice(EvCts);
    ASSERT_TRUE(sys.AwaitModemWait(0));
    const int waits = sys.ModemWaits();
    ASSERT_EQ(device.SetCommState(PlainDcb()), 0);
    EXPECT_TRUE(sys.AwaitModemWait(waits));
}

TEST_F(PosixInjectedTest, CounterDeltasGiveLineErrorsAndBreaks) {
    TLineCounters counters;
    counters.Frame = 5;
    counters.Parity = 2;
    sys.SetCounters(counters);
    OpenDevice(EvErr | EvBreak);
    std::uint32_t errors = 0;
    std::uint32_t queued = 0;
    // Counts from before the open are not reported.
    ASSERT_EQ(device.ClearCommError(errors, queued), 0);
    EXPECT_EQ(errors, 0U);

    ++counters.Frame;
    ++counters.Break;
    sys.SetCounters(counters);
    // The bytes that come with errors wake the wait.
    EXPECT_TRUE(pty.Send("x"));
    EXPECT_EQ(CollectEvents(device, EvErr | EvBreak), EvErr | EvBreak);
    ASSERT_EQ(device.ClearCommError(errors, queued), 0);
    EXPECT_EQ(errors, CeFrame | CeBreak);
    EXPECT_EQ(queued, 1U);
    ASSERT_EQ(device.ClearCommError(errors, queued), 0);
    EXPECT_EQ(errors, 0U);

    ++counters.Overrun;
    ++counters.BufOverrun;
    ++counters.Parity;
    sys.SetCounters(counters);
    ASSERT_EQ(device.ClearCommError(errors, queued), 0);
    EXPECT_EQ(errors, CeOverrun | CeRxOver | CeRxParity);
}

TEST_F(PosixInjectedTest, TransmitEmptyWaitsUntilTheOutputQueueIsEmpty) {
    OpenDevice(EvTxEmpty);
    sys.outputQueueBusyCalls = 3;
    std::size_t written = 0;
    ASSERT_EQ(device.Write("abc", 3, written), 0);
    EXPECT_EQ(WaitEvents(device).Events, EvTxEmpty);
    EXPECT_GE(sys.outputQueueCalls, 4);
    EXPECT_EQ(pty.Receive(3), "abc");
}

TEST_F(PosixInjectedTest, OutputQueueCountTellsWhatTheDriverStillHolds) {
    OpenDevice(EvRxChar);
    sys.outputQueueBusyCalls = 2;
    for (const std::uint32_t expected : {50U, 50U, 0U}) {
        std::uint32_t count = 99;
        ASSERT_EQ(device.OutputQueueCount(count), 0);
        EXPECT_EQ(count, expected);
    }
}

TEST_F(PosixInjectedTest, OutputQueueCountOfADriverWithoutTheRequestIsZero) {
    OpenDevice(EvRxChar);
    struct Case {
        int error;
        int result;
    };
    for (const Case& c : {Case{ENOTTY, 0}, Case{EINVAL, 0}, Case{EIO, EIO}, Case{ENODEV, ENODEV}}) {
        sys.outputQueueError = c.error;
        std::uint32_t count = 99;
        EXPECT_EQ(device.OutputQueueCount(count), c.result) << c.error;
        EXPECT_EQ(count, 0U) << c.error;
    }
    sys.outputQueueError = 0;
    device.Close();
    std::uint32_t count = 99;
    EXPECT_EQ(device.OutputQueueCount(count), EBADF);
}

TEST_F(PosixInjectedTest, AHangUpEndsEveryWaitAtOnce) {
    OpenDevice(EvRxChar);
    sys.hungUp = true;
    EXPECT_TRUE(pty.Send("x"));
    EXPECT_EQ(WaitEvents(device).Error, EIO);
    const int sleeps = sys.Sleeps(3);
    EXPECT_EQ(WaitEvents(device).Error, EIO);
    EXPECT_EQ(sys.Sleeps(3), sleeps);
    int error = 0;
    EXPECT_EQ(ReadString(device, 1, &error), "");
    EXPECT_EQ(error, EIO);
    EXPECT_EQ(device.PurgeComm(PurgeTxAbort | PurgeRxAbort), 0);
    device.Close();
    ASSERT_TRUE(AwaitRelease(device));
    EXPECT_EQ(sys.opens, sys.closes);
}

TEST_F(PosixInjectedTest, BytesBeforeAHangUpAreReportedFirst) {
    OpenDevice(EvRxChar);
    sys.bytesBeforeHangUp = "xy";
    EXPECT_TRUE(pty.Send("z"));
    EXPECT_EQ(WaitEvents(device).Events, EvRxChar);
    EXPECT_EQ(WaitEvents(device).Error, EIO);
    EXPECT_EQ(ReadString(device, 5), "xy");
    int error = 0;
    EXPECT_EQ(ReadString(device, 5, &error), "");
    EXPECT_EQ(error, EIO);
}

struct TOpenCase {
    const char* Name;
    int TScriptedSysCalls::*Failure;
    int Error;
    int Expected;
};

class PosixOpenTest : public testing::TestWithParam<TOpenCase> {};

TEST_P(PosixOpenTest, FailuresAreReportedAndLeaveNothingOpen) {
    TPty pty;
    TScriptedSysCalls sys;
    sys.*GetParam().Failure = GetParam().Error;
    {
        TPosixComDevice device(sys);
        EXPECT_EQ(device.Open(pty.Path()), GetParam().Expected);
        EXPECT_EQ(device.IsOpen(), GetParam().Expected == 0);
    }
    EXPECT_EQ(sys.opens, 1);
    EXPECT_EQ(sys.closes, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PosixOpenTest,
    testing::Values(TOpenCase{"LockHeld", &TScriptedSysCalls::flockError, EWOULDBLOCK, EWOULDBLOCK},
                    TOpenCase{"ExclusiveRefused", &TScriptedSysCalls::exclusiveError, EPERM, EPERM},
                    TOpenCase{"ExclusiveUnknown", &TScriptedSysCalls::exclusiveError, ENOTTY, 0},
                    TOpenCase{"NoTerminal", &TScriptedSysCalls::getAttrError, ENOTTY, ENOTTY}),
    [](const testing::TestParamInfo<TOpenCase>& row) { return std::string(row.param.Name); });

} // namespace
