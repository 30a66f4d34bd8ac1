// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The port's handling of each device event, called directly as the event thread calls it.
#include "ComPortRig.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <string>

namespace {

struct EventCase {
    const char* name;
    TComEvent event;
    std::function<void(TFakeComDevice&)> prepare;
    Log expected;
};

void Nothing(TFakeComDevice&) {}

const EventCase EventCases[] = {
    {"ErrorWithErrors",
     evError,
     [](TFakeComDevice& fake) { fake.InjectLineErrors(WinComm::CeFrame | WinComm::CeOverrun); },
     {"Error(5)"}},
    {"ErrorWithoutErrors", evError, Nothing, {}},
    {"RxChar",
     evRxChar,
     [](TFakeComDevice& fake) { fake.InjectReceived("abc"); },
     {"link.Receiving(1)", "RxChar(3)"}},
    {"RxCharWithEmptyQueue", evRxChar, Nothing, {}},
    {"TxEmpty", evTxEmpty, Nothing, {"link.Transmitting(0)", "link.TransmitEmpty", "TxEmpty"}},
    {"Break", evBreak, Nothing, {"Break"}},
    {"Ring", evRing, Nothing, {"link.Ring", "Ring"}},
    {"CTSOn",
     evCTS,
     [](TFakeComDevice& fake) { fake.SetModemStatus(WinComm::MsCtsOn); },
     {"link.CTS(1)", "CTSChange(1)"}},
    {"DSROff",
     evDSR,
     [](TFakeComDevice& fake) { fake.SetModemStatus(WinComm::MsCtsOn); },
     {"link.DSR(0)", "DSRChange(0)"}},
    {"DSROn",
     evDSR,
     [](TFakeComDevice& fake) { fake.SetModemStatus(WinComm::MsDsrOn); },
     {"link.DSR(1)", "DSRChange(1)"}},
    {"RxFlag", evRxFlag, Nothing, {"link.ReceiveFlag", "RxFlag"}},
    {"RLSDOn",
     evRLSD,
     [](TFakeComDevice& fake) { fake.SetModemStatus(WinComm::MsRlsdOn); },
     {"link.RLSD(1)", "RLSDChange(1)"}},
    {"Rx80Full", evRx80Full, Nothing, {"Rx80Full"}},
};

class ComPortEvent : public ::testing::TestWithParam<EventCase> {
protected:
    void SetUp() override {
        rig.RecordHandlers();
        rig.RecordLinkWithoutBuffer();
        rig.OpenQuiet();
    }

    PortRig rig;
};

TEST_P(ComPortEvent, IsHandledByTheLinksThenTheHandler) {
    const EventCase& c = GetParam();
    c.prepare(rig.fake);
    rig.ClearLog();
    rig.port.HandleEvent(c.event);
    EXPECT_EQ(rig.Log(), c.expected);
}

TEST_P(ComPortEvent, IsIgnoredOnAClosedPort) {
    const EventCase& c = GetParam();
    rig.port.Close();
    c.prepare(rig.fake);
    rig.ClearLog();
    rig.port.HandleEvent(c.event);
    EXPECT_TRUE(rig.Log().empty());
}

INSTANTIATE_TEST_SUITE_P(Table, ComPortEvent, ::testing::ValuesIn(EventCases),
                         [](const auto& row) { return std::string(row.param.name); });

class ComPortRxChar : public ::testing::Test {
protected:
    void SetUp() override {
        rig.RecordHandlers();
        rig.OpenQuiet();
    }

    PortRig rig;
};

TEST_F(ComPortRxChar, ALinkThatWantsTheBytesTakesThemInsteadOfOnRxChar) {
    TComLink observer;
    rig.RecordLink(rig.link, "link.");
    rig.RecordLink(observer, "observer.");
    observer.OnReceiveBuffer = nullptr;
    rig.port.AddLink(&observer);
    rig.port.AddLink(&rig.link);
    rig.fake.InjectReceived("abc");
    rig.ClearLog();

    rig.port.HandleEvent(evRxChar);
    const Log expected = {"observer.Receiving(1)", "link.Receiving(1)", "observer.Receiving(0)",
                          "link.Receiving(0)",     "RxBuf(abc)",        "link.ReceiveBuffer(abc)"};
    EXPECT_EQ(rig.Log(), expected);
    EXPECT_EQ(rig.fake.QueuedCount(), 0u);
    rig.port.RemoveLink(&observer); // it goes before the port does
}

TEST_F(ComPortRxChar, OnRxCharReturnsOnceNoLinkWantsTheBytesAnyMore) {
    rig.RecordLink(rig.link, "link.");
    rig.port.AddLink(&rig.link);
    rig.port.RemoveLink(&rig.link);
    rig.fake.InjectReceived("ab");
    rig.ClearLog();
    rig.port.HandleEvent(evRxChar);
    EXPECT_EQ(rig.Log(), Log{"RxChar(2)"});
}

TEST_F(ComPortRxChar, BytesAHandlerLeavesAreCountedAgainAtTheNextEvent) {
    rig.port.OnRxChar = [this](TCustomComPort* sender, int count) {
        rig.Add("RxChar(" + std::to_string(count) + ")");
        std::string text;
        sender->ReadText(text, 1);
    };
    rig.fake.InjectReceived("abc");
    rig.ClearLog();
    rig.port.HandleEvent(evRxChar);
    rig.fake.InjectReceived("d");
    rig.port.HandleEvent(evRxChar);
    EXPECT_EQ(rig.Log(), (Log{"RxChar(3)", "RxChar(3)"}));
}

TEST_F(ComPortRxChar, AFailedQueueQueryRaisesCode10) {
    rig.fake.InjectReceived("abc");
    rig.fake.FailWith(TFakeOp::ClearCommError, ENXIO);
    rig.ClearLog();
    const EComPort error = CatchComPort([&] { rig.port.HandleEvent(evRxChar); });
    EXPECT_EQ(error.Code(), CError_ClearComFailed);
    EXPECT_EQ(error.SystemCode(), ENXIO);
    EXPECT_TRUE(rig.Log().empty());
}

} // namespace
