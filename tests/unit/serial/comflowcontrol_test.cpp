// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/ComFlowControl.h"

#include "tests/unit/serial/FakeSettingsTarget.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace {

// The four fields that make up the shorthand, plus the ones it must leave alone.
struct FlowState {
    TRTSFlowControl rts;
    bool cts;
    bool xonIn;
    bool xonOut;
};

void Load(TComFlowControl& flow, const FlowState& state) {
    flow.SetControlRTS(state.rts);
    flow.SetOutCTSFlow(state.cts);
    flow.SetXonXoffIn(state.xonIn);
    flow.SetXonXoffOut(state.xonOut);
}

FlowState Read(const TComFlowControl& flow) {
    return {flow.ControlRTS(), flow.OutCTSFlow(), flow.XonXoffIn(), flow.XonXoffOut()};
}

bool operator==(const FlowState& a, const FlowState& b) {
    return a.rts == b.rts && a.cts == b.cts && a.xonIn == b.xonIn && a.xonOut == b.xonOut;
}

// Every combination of the four shorthand fields.
std::vector<FlowState> AllStates() {
    std::vector<FlowState> states;
    for (int rts = 0; rts < 4; ++rts) {
        for (int bits = 0; bits < 8; ++bits) {
            states.push_back({static_cast<TRTSFlowControl>(rts), (bits & 1) != 0, (bits & 2) != 0,
                              (bits & 4) != 0});
        }
    }
    return states;
}

// Sets the fields that play no part in the shorthand to non-default values.
void LoadBystanders(TComFlowControl& flow) {
    flow.SetOutDSRFlow(true);
    flow.SetControlDTR(dtrHandshake);
    flow.SetDSRSensitivity(true);
    flow.SetTxContinueOnXoff(true);
    flow.SetXonChar('A');
    flow.SetXoffChar('B');
}

void ExpectBystandersKept(const TComFlowControl& flow) {
    EXPECT_TRUE(flow.OutDSRFlow());
    EXPECT_EQ(flow.ControlDTR(), dtrHandshake);
    EXPECT_TRUE(flow.DSRSensitivity());
    EXPECT_TRUE(flow.TxContinueOnXoff());
    EXPECT_EQ(flow.XonChar(), 'A');
    EXPECT_EQ(flow.XoffChar(), 'B');
}

auto AllFields(const TComFlowControl& f) {
    return std::tuple(f.OutCTSFlow(), f.OutDSRFlow(), f.ControlDTR(), f.ControlRTS(),
                      f.XonXoffOut(), f.XonXoffIn(), f.DSRSensitivity(), f.TxContinueOnXoff(),
                      f.XonChar(), f.XoffChar());
}

struct ReadCase {
    std::string name;
    FlowState state;
    TFlowControl expected;
};

} // namespace

TEST(ComFlowControl, Defaults) {
    const TComFlowControl flow;
    EXPECT_FALSE(flow.OutCTSFlow());
    EXPECT_FALSE(flow.OutDSRFlow());
    EXPECT_EQ(flow.ControlDTR(), dtrDisable);
    EXPECT_EQ(flow.ControlRTS(), rtsDisable);
    EXPECT_FALSE(flow.XonXoffOut());
    EXPECT_FALSE(flow.XonXoffIn());
    EXPECT_FALSE(flow.DSRSensitivity());
    EXPECT_FALSE(flow.TxContinueOnXoff());
    EXPECT_EQ(flow.XonChar(), '\x11');
    EXPECT_EQ(flow.XoffChar(), '\x13');
    EXPECT_EQ(flow.FlowControl(), fcNone);
    EXPECT_EQ(flow.ComPort(), nullptr);
}

TEST(ComFlowControl, ShorthandRead) {
    const std::vector<ReadCase> cases{
        {"hardware", {rtsHandshake, true, false, false}, fcHardware},
        {"software", {rtsDisable, false, true, true}, fcSoftware},
        {"none", {rtsDisable, false, false, false}, fcNone},
        {"rts enable alone", {rtsEnable, false, false, false}, fcCustom},
        {"rts toggle alone", {rtsToggle, false, false, false}, fcCustom},
        {"handshake without cts", {rtsHandshake, false, false, false}, fcCustom},
        {"cts without handshake", {rtsDisable, true, false, false}, fcCustom},
        {"hardware plus xon in", {rtsHandshake, true, true, false}, fcCustom},
        {"hardware plus xon both", {rtsHandshake, true, true, true}, fcCustom},
        {"xon in only", {rtsDisable, false, true, false}, fcCustom},
        {"xon out only", {rtsDisable, false, false, true}, fcCustom},
        {"software with cts", {rtsDisable, true, true, true}, fcCustom},
        {"software with rts enable", {rtsEnable, false, true, true}, fcCustom},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        TComFlowControl flow;
        Load(flow, c.state);
        EXPECT_EQ(flow.FlowControl(), c.expected);
        // DSR flow, DTR, DSR sensitivity and continuing on Xoff play no part.
        LoadBystanders(flow);
        EXPECT_EQ(flow.FlowControl(), c.expected);
    }
}

TEST(ComFlowControl, HardwareFromToggleAndXonIn) {
    FakeSettingsTarget port;
    TComFlowControl flow(&port);
    flow.SetControlRTS(rtsToggle);
    flow.SetXonXoffIn(true);
    port.Reset();
    flow.SetFlowControl(fcHardware);
    EXPECT_EQ(flow.ControlRTS(), rtsHandshake);
    EXPECT_TRUE(flow.OutCTSFlow());
    EXPECT_FALSE(flow.XonXoffIn());
    EXPECT_FALSE(flow.XonXoffOut());
    EXPECT_EQ(flow.FlowControl(), fcHardware);
    EXPECT_TRUE(OnlyOnce(port, Group::Line));
}

TEST(ComFlowControl, WritingAShorthandFromEveryStateReadsItBack) {
    for (TFlowControl value : {fcHardware, fcSoftware, fcNone}) {
        for (const FlowState& start : AllStates()) {
            SCOPED_TRACE(std::to_string(value) + " from rts " + std::to_string(start.rts));
            FakeSettingsTarget port;
            TComFlowControl flow(&port);
            Load(flow, start);
            LoadBystanders(flow);
            port.Reset();
            flow.SetFlowControl(value);
            EXPECT_EQ(flow.FlowControl(), value);
            ExpectBystandersKept(flow);
            // Always exactly one re-apply, also when the object already had this shorthand.
            EXPECT_TRUE(OnlyOnce(port, Group::Line));
        }
    }
}

TEST(ComFlowControl, WritingCustomChangesNothingButReapplies) {
    for (const FlowState& start : AllStates()) {
        FakeSettingsTarget port;
        TComFlowControl flow(&port);
        Load(flow, start);
        LoadBystanders(flow);
        port.Reset();
        flow.SetFlowControl(fcCustom);
        EXPECT_TRUE(Read(flow) == start);
        ExpectBystandersKept(flow);
        EXPECT_TRUE(OnlyOnce(port, Group::Line));
    }
}

TEST(ComFlowControl, ValueOutsideTheEnumerationActsAsCustom) {
    FakeSettingsTarget port;
    TComFlowControl flow(&port);
    flow.SetControlRTS(rtsToggle);
    port.Reset();
    flow.SetFlowControl(static_cast<TFlowControl>(9));
    EXPECT_EQ(flow.ControlRTS(), rtsToggle);
    EXPECT_TRUE(OnlyOnce(port, Group::Line));
}

TEST(ComFlowControl, EverySetterReappliesTheLineSettingsOnlyOnChange) {
    using Setter = std::function<void(TComFlowControl&)>;
    const std::vector<std::pair<Setter, Setter>> setters{
        // {same as the default, different from it}
        {[](auto& f) { f.SetOutCTSFlow(false); }, [](auto& f) { f.SetOutCTSFlow(true); }},
        {[](auto& f) { f.SetOutDSRFlow(false); }, [](auto& f) { f.SetOutDSRFlow(true); }},
        {[](auto& f) { f.SetControlDTR(dtrDisable); }, [](auto& f) { f.SetControlDTR(dtrEnable); }},
        {[](auto& f) { f.SetControlRTS(rtsDisable); }, [](auto& f) { f.SetControlRTS(rtsToggle); }},
        {[](auto& f) { f.SetXonXoffOut(false); }, [](auto& f) { f.SetXonXoffOut(true); }},
        {[](auto& f) { f.SetXonXoffIn(false); }, [](auto& f) { f.SetXonXoffIn(true); }},
        {[](auto& f) { f.SetDSRSensitivity(false); }, [](auto& f) { f.SetDSRSensitivity(true); }},
        {[](auto& f) { f.SetTxContinueOnXoff(false); },
         [](auto& f) { f.SetTxContinueOnXoff(true); }},
        {[](auto& f) { f.SetXonChar('\x11'); }, [](auto& f) { f.SetXonChar('\x01'); }},
        {[](auto& f) { f.SetXoffChar('\x13'); }, [](auto& f) { f.SetXoffChar('\x03'); }},
    };
    for (std::size_t i = 0; i < setters.size(); ++i) {
        SCOPED_TRACE(i);
        const auto& [same, different] = setters[i];
        FakeSettingsTarget port;
        TComFlowControl flow(&port);
        same(flow);
        EXPECT_EQ(port.Total(), 0);
        different(flow);
        EXPECT_TRUE(OnlyOnce(port, Group::Line));
        different(flow);
        EXPECT_TRUE(OnlyOnce(port, Group::Line));

        // Without a port the value is stored all the same.
        TComFlowControl unbound;
        different(unbound);
        EXPECT_EQ(AllFields(unbound), AllFields(flow));
        EXPECT_NE(AllFields(unbound), AllFields(TComFlowControl{}));
    }
}

TEST(ComFlowControl, AssignCopiesEveryFieldWithoutReapplying) {
    TComFlowControl source;
    Load(source, {rtsToggle, true, true, false});
    LoadBystanders(source);
    FakeSettingsTarget port;
    TComFlowControl target(&port);
    target.Assign(source);
    EXPECT_EQ(port.Total(), 0);
    EXPECT_EQ(AllFields(target), AllFields(source));
    EXPECT_EQ(target.ComPort(), &port);
}

TEST(ComFlowControl, CopyKeepsTheFieldsButBelongsToNoPort) {
    FakeSettingsTarget port;
    TComFlowControl original(&port);
    original.SetFlowControl(fcSoftware);
    port.Reset();
    TComFlowControl copy(original);
    EXPECT_EQ(copy.ComPort(), nullptr);
    EXPECT_EQ(copy.FlowControl(), fcSoftware);
    copy.SetFlowControl(fcNone);
    copy.SetControlDTR(dtrEnable);
    EXPECT_EQ(port.Total(), 0);
    EXPECT_EQ(original.FlowControl(), fcSoftware);
}

TEST(ComFlowControl, RefusedReapplyKeepsTheNewValue) {
    FakeSettingsTarget port;
    port.refuse = true;
    TComFlowControl flow(&port);
    EXPECT_THROW(flow.SetControlDTR(dtrEnable), std::runtime_error);
    EXPECT_EQ(flow.ControlDTR(), dtrEnable);
    EXPECT_THROW(flow.SetFlowControl(fcHardware), std::runtime_error);
    EXPECT_EQ(flow.FlowControl(), fcHardware);
}
