// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// Closing a device whose driver holds close() back, as it does while an adapter keeps unsent
// bytes for a CTS that never comes.
#include "HeldCloseSysCalls.h"
#include "posixtestsupport.h"

#include "serial/ComDcb.h"
#include "serial/ComPortSettings.h"
#include "serial/platform/PosixComDevice.h"

#include <algorithm>
#include <future>
#include <iterator>

namespace {

using namespace posixtest;

std::vector<std::string> From(const std::vector<std::string>& log, const std::string& entry) {
    const auto start = std::find(log.rbegin(), log.rend(), entry);
    return start == log.rend() ? std::vector<std::string>{}
                               : std::vector<std::string>(std::prev(start.base()), log.end());
}

class PosixCloseTest : public testing::Test {
protected:
    // The device open with hardware flow control, as the main window uses it.
    void OpenWithHandshake() {
        ASSERT_EQ(device->Open(pty.Path()), 0);
        TComPortSettings settings;
        settings.FlowControl().SetFlowControl(fcHardware);
        ASSERT_EQ(device->SetCommState(BuildDCB(settings)), 0);
    }

    TPty pty;
    THeldCloseSysCalls sys;
    std::unique_ptr<TPosixComDevice> device = std::make_unique<TPosixComDevice>(sys);
};

TEST_F(PosixCloseTest, CloseSwitchesFlowControlOffAndReturnsWhileTheDriverHoldsTheClose) {
    OpenWithHandshake();
    EXPECT_FALSE(device->WhenClosed([] {})) << "nothing is being released yet";
    sys.HoldCloses();
    device->Close();
    EXPECT_FALSE(device->IsOpen());
    ASSERT_TRUE(sys.AwaitClosesBegun(1));
    EXPECT_EQ(sys.ClosesUnderWay(), 1);
    EXPECT_EQ(From(sys.Log(), "flow on"),
              (std::vector<std::string>{"flow on", "flow off", "close"}));

    std::promise<void> released;
    ASSERT_TRUE(device->WhenClosed([&released] { released.set_value(); }));
    sys.Release();
    EXPECT_EQ(released.get_future().wait_for(deadline), std::future_status::ready);
    EXPECT_EQ(sys.ClosesUnderWay(), 0);
}

TEST_F(PosixCloseTest, OpenWaitsUntilTheLastCloseHasReleasedTheDevice) {
    OpenWithHandshake();
    sys.HoldCloses();
    device->Close();
    ASSERT_TRUE(sys.AwaitClosesBegun(1));
    // The held descriptor still carries the lock: an open that did not wait would be refused.
    auto reopened = std::async(std::launch::async, [this] { return device->Open(pty.Path()); });
    std::this_thread::sleep_for(50ms); // gives the open the chance to come too early
    sys.Release();
    ASSERT_EQ(reopened.wait_for(deadline), std::future_status::ready);
    EXPECT_EQ(reopened.get(), 0);
    EXPECT_TRUE(device->IsOpen());
    // The open switches the line to raw mode, which has no flow control.
    EXPECT_EQ(From(sys.Log(), "close"),
              (std::vector<std::string>{"close", "closed", "open", "flow off"}));
}

TEST_F(PosixCloseTest, ADestroyedDeviceLeavesAHeldCloseToFinishAloneAndANewOneWaitsForIt) {
    OpenWithHandshake();
    sys.HoldCloses();
    device.reset();
    // The device is gone while the driver still holds the descriptor, and with it the lock.
    EXPECT_EQ(sys.ClosesUnderWay(), 1);
    TPosixComDevice again(sys);
    auto opened = std::async(std::launch::async, [&] { return again.Open(pty.Path()); });
    std::this_thread::sleep_for(50ms); // gives the open the chance to be refused
    sys.Release();
    EXPECT_TRUE(sys.AwaitClosesEnded(1));
    ASSERT_EQ(opened.wait_for(deadline), std::future_status::ready);
    EXPECT_EQ(opened.get(), 0);
    EXPECT_EQ(From(sys.Log(), "closed"), (std::vector<std::string>{"closed", "flow off"}));
}

TEST_F(PosixCloseTest, ClosingOneDescriptorAfterAnotherKeepsThemApart) {
    for (int round = 1; round <= 3; ++round) {
        ASSERT_EQ(device->Open(pty.Path()), 0) << round;
        device->Close();
    }
    ASSERT_TRUE(AwaitRelease(*device));
    EXPECT_TRUE(sys.AwaitClosesEnded(3));
    const std::vector<std::string> log = sys.Log();
    // Each open came after the close before it had finished.
    std::vector<std::string> order;
    std::copy_if(log.begin(), log.end(), std::back_inserter(order), [](const std::string& entry) {
        return entry != "flow off" && entry != "flow on";
    });
    EXPECT_EQ(order, (std::vector<std::string>{"open", "close", "closed", "open", "close", "closed",
                                               "open", "close", "closed"}));
}

} // namespace
