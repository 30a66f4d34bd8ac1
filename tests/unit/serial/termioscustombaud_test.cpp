// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// Uses the kernel's termios structure, so <termios.h> stays out of this file.
#include "serial/platform/CustomBaud.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <gtest/gtest.h>

#include <cerrno>

namespace {

// A driver that keeps the settings and rounds the rate to what its divisor can do.
struct TFakeDriver {
    termios2 Settings{};
    std::uint32_t (*Round)(std::uint32_t) = [](std::uint32_t rate) { return rate; };
    int FailRequest = 0;
    int FailErrno = 0;

    TIoctlCall Call() {
        return [this](int, unsigned long request, void* argument) {
            if (static_cast<int>(request) == FailRequest) {
                errno = FailErrno;
                return -1;
            }
            auto* settings = static_cast<termios2*>(argument);
            if (request == TCSETS2) {
                Settings = *settings;
                Settings.c_ospeed = Round(settings->c_ospeed);
            } else if (request == TCGETS2) {
                *settings = Settings;
            } else {
                errno = ENOTTY;
                return -1;
            }
            return 0;
        };
    }
};

TEST(CustomBaud, SetsBothSpeedsWithBother) {
    TFakeDriver driver;
    driver.Settings.c_cflag = B9600 | CS8 | CRTSCTS;
    ASSERT_EQ(ApplyCustomBaudRate(3, 31250, driver.Call()), 0);
    EXPECT_EQ(driver.Settings.c_cflag & CBAUD, static_cast<tcflag_t>(BOTHER));
    EXPECT_EQ((driver.Settings.c_cflag >> IBSHIFT) & CBAUD, static_cast<tcflag_t>(BOTHER));
    EXPECT_EQ(driver.Settings.c_ispeed, 31250U);
    EXPECT_EQ(driver.Settings.c_ospeed, 31250U);
    // The rest of the line settings are kept.
    EXPECT_EQ(driver.Settings.c_cflag & (CSIZE | CRTSCTS), static_cast<tcflag_t>(CS8 | CRTSCTS));
    std::uint32_t rate = 0;
    EXPECT_EQ(ReadBaudRate(3, rate, driver.Call()), 0);
    EXPECT_EQ(rate, 31250U);
}

TEST(CustomBaud, AcceptsASmallRoundingAndRefusesAGrossOne) {
    TFakeDriver close;
    close.Round = [](std::uint32_t rate) { return rate + rate / 50; }; // 2 % off
    EXPECT_EQ(ApplyCustomBaudRate(3, 250000, close.Call()), 0);
    TFakeDriver gross;
    gross.Round = [](std::uint32_t) { return 38400U; };
    EXPECT_EQ(ApplyCustomBaudRate(3, 250000, gross.Call()), EINVAL);
}

TEST(CustomBaud, ReportsTheErrnoOfAFailedRequest) {
    for (const unsigned long request : {TCGETS2, TCSETS2}) {
        TFakeDriver driver;
        driver.FailRequest = static_cast<int>(request);
        driver.FailErrno = EIO;
        EXPECT_EQ(ApplyCustomBaudRate(3, 250000, driver.Call()), EIO) << request;
    }
}

} // namespace
