// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "Zeitzone.h"

#include <gtest/gtest.h>

#include <optional>

// Runs the test in a fixed time zone and restores the previous one afterwards.
class ZeitzonenTest : public ::testing::Test {
protected:
    void SetUp() override { bewahrt_.emplace(); }
    void TearDown() override { bewahrt_.reset(); }
    static void Zeitzone(const char* tz) { ZeitzoneSetzen(tz); }

private:
    std::optional<TZeitzoneBewahren> bewahrt_;
};
