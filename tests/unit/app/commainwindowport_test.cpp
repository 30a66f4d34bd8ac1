// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "app/ComMainWindowPort.h"

#include "serial/ComDcb.h"
#include "serial/ComPortSettings.h"
#include "tests/unit/serial/FakeSettingsTarget.h"

#include <gtest/gtest.h>

TEST(MainWindowPort, Configuration) {
    FakeSettingsTarget port;
    TComPortSettings settings(&port);
    ApplyMainWindowPortDefaults(settings);
    EXPECT_EQ(settings.BaudRate(), br1200);
    EXPECT_EQ(settings.Parity().Bits(), prNone);
    EXPECT_EQ(settings.StopBits(), sbOneStopBit);
    EXPECT_EQ(settings.DataBits(), dbEight);
    EXPECT_TRUE(settings.DiscardNull());
    EXPECT_EQ(settings.Events(), TComEvents::All());
    const TComFlowControl& flow = settings.FlowControl();
    EXPECT_FALSE(flow.OutCTSFlow());
    EXPECT_FALSE(flow.OutDSRFlow());
    EXPECT_EQ(flow.ControlDTR(), dtrEnable);
    EXPECT_EQ(flow.ControlRTS(), rtsDisable);
    EXPECT_FALSE(flow.XonXoffOut());
    EXPECT_FALSE(flow.XonXoffIn());
    EXPECT_EQ(flow.FlowControl(), fcNone);
    EXPECT_EQ(settings.Buffer().InputSize(), MainWindowInputSize);
    EXPECT_EQ(settings.Buffer().OutputSize(), TComBuffer{}.OutputSize());
    // The line settings and the queue sizes were touched, the timeouts not.
    EXPECT_EQ(port.timeouts, 0);
    EXPECT_GT(port.bufferSizes, 0);
    EXPECT_GT(port.lineSettings, 0);
}

TEST(MainWindowPort, EverythingElseStaysAtTheNewPortValues) {
    TComPortSettings settings;
    ApplyMainWindowPortDefaults(settings);

    TComPortSettings expected;
    expected.SetBaudRate(br1200);
    expected.SetDiscardNull(true);
    expected.FlowControl().SetControlDTR(dtrEnable);
    expected.Buffer().SetInputSize(MainWindowInputSize);
    // The whole block and every other object match a new port changed in just these four.
    EXPECT_EQ(BuildDCB(settings), BuildDCB(expected));
    EXPECT_EQ(BuildCommTimeouts(settings.Timeouts()), BuildCommTimeouts(TComTimeouts{}));
    EXPECT_EQ(BuildQueueSizes(settings.Buffer()), BuildQueueSizes(expected.Buffer()));
    EXPECT_EQ(settings.CustomBaudRate(), 9600);
    EXPECT_EQ(settings.EventChar(), '\0');
}

TEST(MainWindowPort, StartUpSettingsKeepTheFrameBytesFlowing) {
    // Start-up switches the main window's port to 4800 baud with hardware flow control.
    TComPortSettings settings;
    ApplyMainWindowPortDefaults(settings);
    settings.SetBaudRate(br4800);
    settings.FlowControl().SetFlowControl(fcHardware);
    const TDCB dcb = BuildDCB(settings);
    EXPECT_EQ(dcb.BaudRate, 4800u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, WinComm::NoParity);
    EXPECT_EQ(dcb.StopBits, WinComm::OneStopBit);
    EXPECT_TRUE(dcb.fOutxCtsFlow);
    EXPECT_EQ(dcb.fRtsControl, WinComm::RtsControlHandshake);
    EXPECT_EQ(dcb.fDtrControl, WinComm::DtrControlEnable);
    EXPECT_TRUE(dcb.fNull);
    // DC1 and DC3 frame the meter's printouts: software flow control must stay off.
    EXPECT_FALSE(dcb.fOutX);
    EXPECT_FALSE(dcb.fInX);
}
