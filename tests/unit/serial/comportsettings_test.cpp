// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/ComDcb.h"
#include "serial/ComPortSettings.h"

#include "tests/unit/serial/FakeSettingsTarget.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <vector>

namespace {

using Change = std::function<void(TComPortSettings&)>;

struct LineCase {
    const char* name;
    Change same;
    Change different;
};

// The settings of a new port, field by field, so a test sees every one that strays.
void ExpectNewPortValues(const TComPortSettings& s) {
    EXPECT_EQ(s.BaudRate(), br9600);
    EXPECT_EQ(s.CustomBaudRate(), 9600);
    EXPECT_EQ(s.DataBits(), dbEight);
    EXPECT_EQ(s.StopBits(), sbOneStopBit);
    EXPECT_FALSE(s.DiscardNull());
    EXPECT_EQ(s.EventChar(), '\0');
    EXPECT_EQ(s.Events(), TComEvents::All());
    EXPECT_EQ(s.Parity().Bits(), prNone);
    EXPECT_FALSE(s.Parity().Check());
    EXPECT_EQ(s.FlowControl().FlowControl(), fcNone);
    EXPECT_EQ(s.FlowControl().ControlDTR(), dtrDisable);
    EXPECT_EQ(s.Timeouts().ReadInterval(), -1);
    EXPECT_EQ(s.Timeouts().WriteTotalConstant(), 1000);
    EXPECT_EQ(s.Buffer().InputSize(), 1024);
    EXPECT_EQ(s.Buffer().OutputSize(), 1024);
}

} // namespace

TEST(ComPortSettings, NewPortDefaults) {
    FakeSettingsTarget port;
    const TComPortSettings settings(&port);
    ExpectNewPortValues(settings);
    EXPECT_EQ(DefaultPortName, "COM1");
    EXPECT_EQ(DefaultSyncMethod, smThreadSync);
    EXPECT_EQ(port.Total(), 0);
}

TEST(ComPortSettings, OwnedObjectsBelongToThePort) {
    FakeSettingsTarget port;
    TComPortSettings settings(&port);
    EXPECT_EQ(settings.SettingsTarget(), &port);
    EXPECT_EQ(settings.Parity().ComPort(), &port);
    EXPECT_EQ(settings.FlowControl().ComPort(), &port);
    EXPECT_EQ(settings.Timeouts().ComPort(), &port);
    EXPECT_EQ(settings.Buffer().ComPort(), &port);

    settings.Parity().SetCheck(true);
    EXPECT_TRUE(OnlyOnce(port, Group::Line));
    port.Reset();
    settings.FlowControl().SetXonXoffIn(true);
    EXPECT_TRUE(OnlyOnce(port, Group::Line));
    port.Reset();
    settings.Timeouts().SetReadTotalConstant(20);
    EXPECT_TRUE(OnlyOnce(port, Group::Timeouts));
    port.Reset();
    settings.Buffer().SetOutputSize(64);
    EXPECT_TRUE(OnlyOnce(port, Group::Buffer));
}

TEST(ComPortSettings, LineSettingsReapplyOnlyOnChange) {
    const std::vector<LineCase> cases{
        {"baud rate", [](auto& s) { s.SetBaudRate(br9600); },
         [](auto& s) { s.SetBaudRate(br4800); }},
        {"custom rate", [](auto& s) { s.SetCustomBaudRate(9600); },
         [](auto& s) { s.SetCustomBaudRate(31250); }},
        {"data bits", [](auto& s) { s.SetDataBits(dbEight); },
         [](auto& s) { s.SetDataBits(dbSeven); }},
        {"stop bits", [](auto& s) { s.SetStopBits(sbOneStopBit); },
         [](auto& s) { s.SetStopBits(sbTwoStopBits); }},
        {"discard null", [](auto& s) { s.SetDiscardNull(false); },
         [](auto& s) { s.SetDiscardNull(true); }},
        {"event char", [](auto& s) { s.SetEventChar('\0'); },
         [](auto& s) { s.SetEventChar('\r'); }},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSettingsTarget port;
        TComPortSettings settings(&port);
        c.same(settings);
        EXPECT_EQ(port.Total(), 0);
        ExpectNewPortValues(settings);
        c.different(settings);
        EXPECT_TRUE(OnlyOnce(port, Group::Line));
        c.different(settings);
        EXPECT_TRUE(OnlyOnce(port, Group::Line));

        TComPortSettings unbound;
        c.different(unbound);
        EXPECT_EQ(BuildDCB(unbound), BuildDCB(settings));
    }
}

TEST(ComPortSettings, EventsAreOnlyStored) {
    FakeSettingsTarget port;
    TComPortSettings settings(&port);
    settings.SetEvents(TComEvents{evRxChar});
    EXPECT_EQ(settings.Events(), TComEvents{evRxChar});
    settings.SetEvents(TComEvents{});
    EXPECT_TRUE(settings.Events().Empty());
    EXPECT_EQ(port.Total(), 0);
}

TEST(ComPortSettings, WholeObjectAssignmentCopiesAndReapplies) {
    FakeSettingsTarget port;
    TComPortSettings settings(&port);

    TComParity parity;
    parity.SetBits(prEven);
    settings.SetParity(parity);
    EXPECT_EQ(settings.Parity().Bits(), prEven);
    EXPECT_TRUE(OnlyOnce(port, Group::Line));

    port.Reset();
    TComFlowControl flow;
    flow.SetFlowControl(fcHardware);
    settings.SetFlowControl(flow);
    EXPECT_EQ(settings.FlowControl().FlowControl(), fcHardware);
    EXPECT_TRUE(OnlyOnce(port, Group::Line));

    port.Reset();
    TComTimeouts timeouts;
    timeouts.SetReadInterval(7);
    settings.SetTimeouts(timeouts);
    EXPECT_EQ(settings.Timeouts().ReadInterval(), 7);
    EXPECT_TRUE(OnlyOnce(port, Group::Timeouts));

    port.Reset();
    TComBuffer buffer;
    buffer.SetInputSize(2048);
    settings.SetBuffer(buffer);
    EXPECT_EQ(settings.Buffer().InputSize(), 2048);
    EXPECT_TRUE(OnlyOnce(port, Group::Buffer));

    // The port keeps its own objects, still bound to it, not the ones passed in.
    EXPECT_EQ(settings.Buffer().ComPort(), &port);
    EXPECT_NE(&settings.Buffer(), &buffer);
}

TEST(ComPortSettings, WholeObjectAssignmentReappliesAlsoWithoutChange) {
    FakeSettingsTarget port;
    TComPortSettings settings(&port);
    settings.SetParity(TComParity{});
    settings.SetFlowControl(TComFlowControl{});
    EXPECT_EQ(port.lineSettings, 2);
    settings.SetTimeouts(TComTimeouts{});
    EXPECT_EQ(port.timeouts, 1);
    settings.SetBuffer(TComBuffer{});
    EXPECT_EQ(port.bufferSizes, 1);
    // Assigning the port's own object to itself counts as well.
    settings.SetBuffer(settings.Buffer());
    EXPECT_EQ(port.bufferSizes, 2);
    ExpectNewPortValues(settings);
}

TEST(ComPortSettings, WithoutAPortNothingIsReapplied) {
    TComPortSettings settings;
    settings.SetBaudRate(brCustom);
    settings.SetParity(TComParity{});
    settings.SetTimeouts(TComTimeouts{});
    settings.SetBuffer(TComBuffer{});
    settings.FlowControl().SetFlowControl(fcSoftware);
    EXPECT_EQ(settings.SettingsTarget(), nullptr);
    EXPECT_EQ(settings.BaudRate(), brCustom);
    EXPECT_EQ(settings.FlowControl().FlowControl(), fcSoftware);
}

TEST(ComPortSettings, RefusedReapplyKeepsTheNewValue) {
    FakeSettingsTarget port;
    port.refuse = true;
    TComPortSettings settings(&port);
    EXPECT_THROW(settings.SetBaudRate(br115200), std::runtime_error);
    EXPECT_EQ(settings.BaudRate(), br115200);
    TComTimeouts timeouts;
    timeouts.SetReadInterval(3);
    EXPECT_THROW(settings.SetTimeouts(timeouts), std::runtime_error);
    EXPECT_EQ(settings.Timeouts().ReadInterval(), 3);
}
