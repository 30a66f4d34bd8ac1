// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "publish/MessgeraetName.h"

#include <gtest/gtest.h>

namespace {

TEST(MessgeraetName, AdapterOderPort) {
    TPortIdentity adapter;
    EXPECT_EQ(MessgeraetName(adapter, "/dev/ttyS0"), "/dev/ttyS0");
    adapter.Maker = "FTDI";
    adapter.Product = "FT232R USB UART";
    EXPECT_EQ(MessgeraetName(adapter, "/dev/ttyUSB0"), "/dev/ttyUSB0")
        << "without a serial number or USB port two such adapters would share one name";
    adapter.UsbPort = "1-1.2";
    EXPECT_EQ(MessgeraetName(adapter, "/dev/ttyUSB0"), "FTDI FT232R USB UART 1-1.2");
    adapter.Serial = "A50285BI";
    adapter.PortNumber = "1";
    EXPECT_EQ(MessgeraetName(adapter, "/dev/ttyUSB1"), "FTDI FT232R USB UART A50285BI 1");
}

} // namespace
