// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// Waiting until written bytes have left the output queue, and how long that wait may last.
#include "ComPortRig.h"
#include "PtyPortSupport.h"

#include "serial/ComTimeouts.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <functional>
#include <ostream>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// An open port on a fake device, without event thread.
class ComPortDrain : public ::testing::Test {
protected:
    void SetUp() override { rig.OpenQuiet(); }
    int Looks() const { return rig.fake.CallCount(TFakeOp::OutputQueueCount); }

    PortRig rig;
};

TEST_F(ComPortDrain, OutputQueueCountTellsTheBytesNotYetSent) {
    rig.fake.SetOutputQueue(1234);
    EXPECT_EQ(rig.port.OutputQueueCount(), 1234);
    rig.fake.SetOutputQueue(0);
    EXPECT_EQ(rig.port.OutputQueueCount(), 0);
}

TEST_F(ComPortDrain, AnEmptyQueueEndsTheWaitAtTheFirstLook) {
    for (const int timeoutMs : {0, 1, 60000}) {
        const int before = Looks();
        EXPECT_TRUE(rig.port.WaitForOutputEmpty(timeoutMs)) << timeoutMs;
        EXPECT_EQ(Looks(), before + 1) << timeoutMs;
    }
}

// The queue empties only after the port has looked at it several times: the wait kept looking
// instead of giving up or returning early.
TEST_F(ComPortDrain, AQueueThatEmptiesWhileWaitingEndsTheWaitWithTrue) {
    rig.fake.SetOutputQueue(30);
    std::thread sender([this] {
        const Clock::time_point end = Clock::now() + std::chrono::seconds(20);
        while (Looks() < 3 && Clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        rig.fake.SetOutputQueue(0);
    });
    const bool emptied = rig.port.WaitForOutputEmpty(60000);
    sender.join();
    EXPECT_TRUE(emptied);
    EXPECT_GE(Looks(), 3);
}

TEST_F(ComPortDrain, AQueueThatNeverEmptiesEndsTheWaitWithFalseAfterTheLimit) {
    rig.fake.SetOutputQueue(5);
    EXPECT_FALSE(rig.port.WaitForOutputEmpty(0));
    EXPECT_EQ(Looks(), 1);

    const int before = Looks();
    const Clock::time_point start = Clock::now();
    EXPECT_FALSE(rig.port.WaitForOutputEmpty(60));
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(60));
    EXPECT_GE(Looks() - before, 2); // it looked again after sleeping
}

TEST_F(ComPortDrain, AFailingDeviceRaisesClearComFailedWithTheSystemCode) {
    struct Case {
        const char* name;
        std::function<void()> call;
    };
    const Case cases[] = {
        {"OutputQueueCount", [&] { rig.port.OutputQueueCount(); }},
        {"WaitForOutputEmpty", [&] { rig.port.WaitForOutputEmpty(1000); }},
    };
    for (const Case& c : cases) {
        rig.fake.FailWith(TFakeOp::OutputQueueCount, EIO);
        EComPort error = CatchComPort(c.call);
        EXPECT_EQ(error.Code(), CError_ClearComFailed) << c.name;
        EXPECT_EQ(error.SystemCode(), EIO) << c.name;

        rig.fake.FailWith(TFakeOp::OutputQueueCount, 0);
        rig.port.Close();
        error = CatchComPort(c.call);
        EXPECT_EQ(error.Code(), CError_ClearComFailed) << c.name;
        EXPECT_EQ(error.SystemCode(), EBADF) << c.name;
        rig.port.Open();
    }
}

struct DrainLimitCase {
    std::int32_t multiplier;
    std::int32_t constant;
    std::uint32_t baudRate;
    int count;
    int expectedMs;

    friend void PrintTo(const DrainLimitCase& c, std::ostream* out) {
        *out << "timeout " << c.multiplier << "*n+" << c.constant << ", " << c.baudRate << " baud, "
             << c.count << " bytes";
    }
};

class WriteDrainLimit : public ::testing::TestWithParam<DrainLimitCase> {};

TEST_P(WriteDrainLimit, IsTheWriteTimeoutOrTwiceTheLineTimePlusAMargin) {
    const DrainLimitCase& c = GetParam();
    TComTimeouts timeouts;
    timeouts.SetWriteTotalMultiplier(c.multiplier);
    timeouts.SetWriteTotalConstant(c.constant);
    EXPECT_EQ(WriteDrainLimitMs(timeouts, c.baudRate, c.count), c.expectedMs);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteDrainLimit,
    ::testing::Values(
        // The write total timeout, when one is set: multiplier × count + constant.
        DrainLimitCase{100, 1000, 4800, 5, 1500}, DrainLimitCase{0, 250, 4800, 100, 250},
        DrainLimitCase{10, 0, 9600, 7, 70}, DrainLimitCase{100, 1000, 4800, 0, 1000},
        DrainLimitCase{100, 1000, 4800, -3, 1000},
        // MAXDWORD per byte: as long as an int can say.
        DrainLimitCase{-1, 0, 4800, 1000000, INT_MAX},
        // Without one: 2 × (count × 10 bits at the rate, rounded up) + 500 ms.
        DrainLimitCase{0, 0, 4800, 6, 2 * 13 + 500},
        DrainLimitCase{0, 0, 4800, 480, 2 * 1000 + 500},
        DrainLimitCase{0, 0, 115200, 1, 2 * 1 + 500}, DrainLimitCase{0, 0, 4800, 0, 500},
        DrainLimitCase{0, 0, 4800, -3, 500},
        // An unknown rate counts as 110 baud.
        DrainLimitCase{0, 0, 0, 11, 2 * 1000 + 500}, DrainLimitCase{0, 0, 110, INT_MAX, INT_MAX}));

TEST(WriteDrainLimitOfAPort, UsesThePortsTimeoutsAndRate) {
    TComPortSettings settings;
    EXPECT_EQ(WriteDrainLimitMs(settings, 5), 1500); // the default timeouts

    settings.Timeouts().SetWriteTotalMultiplier(0);
    settings.Timeouts().SetWriteTotalConstant(0);
    settings.SetBaudRate(br4800);
    EXPECT_EQ(WriteDrainLimitMs(settings, 6), 2 * 13 + 500);
    settings.SetBaudRate(brCustom);
    settings.SetCustomBaudRate(2400);
    EXPECT_EQ(WriteDrainLimitMs(settings, 6), 2 * 25 + 500);
}

// On a pseudo-terminal the bytes are handed to the other end at once: the wait ends with true,
// and closing right after it (closing purges the output side) must not discard the text the
// other end has not read yet. This is how the send button works while no measurement runs.
TEST(ComPortDrainPty, TextSentJustBeforeClosingReachesTheOtherEnd) {
    posixtest::TPty pty;
    TComPort port{std::make_unique<TPosixComDevice>()};
    ASSERT_NO_THROW(OpenAsMainWindow(port, pty.Path()));
    const std::string text = "GLP\r\n";
    ASSERT_EQ(port.WriteText(text), static_cast<int>(text.size()));
    EXPECT_TRUE(port.WaitForOutputEmpty(WriteDrainLimitMs(port, static_cast<int>(text.size()))));
    EXPECT_EQ(port.OutputQueueCount(), 0);
    port.Close();
    EXPECT_EQ(pty.Receive(text.size()), text);
}

} // namespace
