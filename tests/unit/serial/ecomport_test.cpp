// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/EComPort.h"

#include <gtest/gtest.h>

namespace {

TEST(EComPort, MessageWithSystemCodeCarriesTheSuffix) {
    const EComPort fehler(CError_OpenFailed, 2);
    EXPECT_STREQ(fehler.what(), "Unable to open com port (win error code: 2)");
    EXPECT_EQ(fehler.Code(), 1);
    EXPECT_EQ(fehler.SystemCode(), 2);
}

TEST(EComPort, MessageWithoutSystemCodeHasNoSuffix) {
    const EComPort fehler(CError_ConnChangeProp);
    EXPECT_STREQ(fehler.what(), "Cannot set property while connected");
    EXPECT_EQ(fehler.SystemCode(), EComPort::NoSystemCode);
}

TEST(EComPort, EveryCodeHasItsOwnTableText) {
    const std::pair<int, const char*> faelle[] = {
        {2, "WriteFile function failed"},
        {3, "ReadFile function failed"},
        {4, "Invalid Async parameter"},
        {10, "ClearCommError function failed"},
        {18, "Link (un)registration failed"},
        {19, "Cannot change led state if ComPort is selected"},
        {22, "A component is linked to OnRxBuf event"},
        {23, "Registry error"},
    };
    for (const auto& [code, text] : faelle) {
        EXPECT_EQ(ComPortMessage(code), text) << code;
    }
    for (int code = 1; code <= 23; ++code) {
        EXPECT_EQ(ComPortMessage(code).find("Unknown"), std::string::npos) << code;
    }
    EXPECT_EQ(ComPortMessage(24), "Unknown error 24");
}

} // namespace
