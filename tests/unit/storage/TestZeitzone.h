// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

// Runs the test in a fixed time zone and restores the previous one afterwards.
class ZeitzonenTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* tz = std::getenv("TZ")) {
            vorher_ = tz;
            hatteTz_ = true;
        }
    }
    void TearDown() override {
        if (hatteTz_) {
            ::setenv("TZ", vorher_.c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }
    static void Zeitzone(const char* tz) {
        ::setenv("TZ", tz, 1);
        ::tzset();
    }

private:
    std::string vorher_;
    bool hatteTz_ = false;
};
