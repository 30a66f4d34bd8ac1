// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// A port whose device is still released after Close (the driver holds close() back): closing
// returns at once, and an Open that follows waits for the release with the events handled.
#include "HeldCloseSysCalls.h"
#include "posixtestsupport.h"

#include "serial/ComPort.h"
#include "serial/EComPort.h"
#include "serial/platform/PosixComDevice.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <memory>

namespace {

using posixtest::TPty;

class ComPortRelease : public testing::Test {
protected:
    void SetUp() override {
        port.SetPort(pty.Path());
        port.Open();
        sys.HoldCloses();
        port.Close();
        ASSERT_TRUE(sys.AwaitClosesBegun(1));
    }

    void TearDown() override {
        sys.Release();
        port.Close();
        ASSERT_TRUE(posixtest::AwaitRelease(port.Device()));
    }

    // The log from the first close on.
    std::vector<std::string> SinceClose() {
        const std::vector<std::string> log = sys.Log();
        const auto first = std::find(log.begin(), log.end(), "close");
        std::vector<std::string> entries;
        std::copy_if(first, log.end(), std::back_inserter(entries),
                     [](const std::string& e) { return e.rfind("flow", 0) != 0; });
        return entries;
    }

    TPty pty;
    THeldCloseSysCalls sys;
    TComPort port{std::make_unique<TPosixComDevice>(sys)};
};

TEST_F(ComPortRelease, CloseReturnsAndOpenWaitsForTheReleaseWhileEventsAreHandled) {
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(sys.ClosesUnderWay(), 1);
    bool ranDuringWait = false;
    int opensFromInside = 0;
    port.OnAfterOpen = [&](TCustomComPort*) { ++opensFromInside; };
    QTimer::singleShot(0, [&] {
        ranDuringWait = port.AwaitingRelease() && sys.ClosesUnderWay() == 1;
        // A second open from inside the wait leaves the opening to the waiting one.
        EXPECT_NO_THROW(port.Open());
        EXPECT_FALSE(port.Connected());
        sys.Release();
    });
    ASSERT_NO_THROW(port.Open());
    EXPECT_TRUE(ranDuringWait);
    EXPECT_FALSE(port.AwaitingRelease());
    EXPECT_TRUE(port.Connected());
    EXPECT_EQ(opensFromInside, 1);
    EXPECT_EQ(SinceClose(), (std::vector<std::string>{"close", "closed", "open"}));
}

TEST_F(ComPortRelease, AWaitEndedByTheApplicationQuittingRaisesDeviceBusy) {
    int code = 0;
    int systemCode = 0;
    // Inside the application's own loop, whose end also ends every loop nested in it.
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        try {
            port.Open();
        } catch (const EComPort& e) {
            code = e.Code();
            systemCode = e.SystemCode();
        }
    });
    QCoreApplication::exec();
    EXPECT_EQ(code, CError_OpenFailed);
    EXPECT_EQ(systemCode, EBUSY);
    EXPECT_FALSE(port.Connected());
    EXPECT_FALSE(port.AwaitingRelease());
    EXPECT_EQ(sys.ClosesUnderWay(), 1);
}

} // namespace
