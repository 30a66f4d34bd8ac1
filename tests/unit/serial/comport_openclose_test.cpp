// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// Opening and closing a port, its settings on the open device, links, restoring and destroying.
#include "ComPortRig.h"

#include "serial/ComDcb.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <stdexcept>

namespace {

// A device that passes every call to a fake the test keeps, so the fake outlives the port.
class ForwardingDevice final : public TComDevice {
public:
    explicit ForwardingDevice(TFakeComDevice& target)
        : target_(target) {}
    int Open(const std::string& name) override { return target_.Open(name); }
    void Close() noexcept override { target_.Close(); }
    bool IsOpen() const noexcept override { return target_.IsOpen(); }
    int SetupComm(std::uint32_t in, std::uint32_t out) override {
        return target_.SetupComm(in, out);
    }
    int SetCommState(const TDCB& dcb) override { return target_.SetCommState(dcb); }
    int SetCommTimeouts(const TCommTimeouts& t) override { return target_.SetCommTimeouts(t); }
    int SetCommMask(std::uint32_t mask) override { return target_.SetCommMask(mask); }
    int WaitCommEvent(std::uint32_t& events, const TStopSignal& stop) override {
        return target_.WaitCommEvent(events, stop);
    }
    int Write(const void* data, std::size_t count, std::size_t& written) override {
        return target_.Write(data, count, written);
    }
    int Read(void* data, std::size_t count, std::size_t& read) override {
        return target_.Read(data, count, read);
    }
    int ClearCommError(std::uint32_t& errors, std::uint32_t& queued) override {
        return target_.ClearCommError(errors, queued);
    }
    int OutputQueueCount(std::uint32_t& count) override { return target_.OutputQueueCount(count); }
    int GetCommModemStatus(std::uint32_t& status) override {
        return target_.GetCommModemStatus(status);
    }
    int PurgeComm(std::uint32_t flags) override { return target_.PurgeComm(flags); }

private:
    TFakeComDevice& target_;
};

const Log OpenNotifications = {
    "BeforeOpen",    "link.Connection(1)", "second.Connection(1)", "AfterOpen",     "link.CTS(1)",
    "second.CTS(1)", "CTSChange(1)",       "link.DSR(0)",          "second.DSR(0)", "DSRChange(0)",
    "link.RLSD(1)",  "second.RLSD(1)",     "RLSDChange(1)"};

const Log CloseNotifications = {
    "link.CTS(0)",        "second.CTS(0)",        "link.DSR(0)",  "second.DSR(0)", "link.RLSD(0)",
    "second.RLSD(0)",     "CTSChange(0)",         "DSRChange(0)", "RLSDChange(0)", "BeforeClose",
    "link.Connection(0)", "second.Connection(0)", "AfterClose"};

TEST(ComPortOpenClose, OpenAndCloseNotifyLinksAndHandlersInOrder) {
    PortRig rig;
    TComLink second;
    rig.RecordHandlers();
    rig.RecordLink(rig.link, "link.");
    rig.RecordLink(second, "second.");
    rig.port.AddLink(&rig.link);
    rig.port.AddLink(&second);
    rig.fake.SetModemStatus(WinComm::MsCtsOn | WinComm::MsRlsdOn);

    rig.OpenQuiet();
    EXPECT_TRUE(rig.port.Connected());
    EXPECT_EQ(rig.Log(), OpenNotifications);

    rig.ClearLog();
    rig.port.Close();
    EXPECT_FALSE(rig.port.Connected());
    EXPECT_FALSE(rig.fake.IsOpen());
    EXPECT_EQ(rig.Log(), CloseNotifications);
}

TEST(ComPortOpenClose, OpenAppliesSettingsAndClosePurgesBeforeReleasingTheDevice) {
    PortRig rig;
    rig.port.SetPort("ttyUSB0");
    rig.port.Buffer().SetInputSize(2048);
    rig.OpenQuiet();
    rig.port.Close();

    const Log expected = {"Open",      "SetupComm", "SetCommState", "SetCommTimeouts",
                          "PurgeComm", "Close"};
    EXPECT_EQ(rig.fake.ConfigLog(), expected);
    EXPECT_EQ(rig.fake.OpenedName(), "ttyUSB0");
    EXPECT_EQ(rig.fake.Purges(), std::vector<std::uint32_t>{0x0003u}); // abort both ways
    EXPECT_EQ(rig.fake.LastDCB(), BuildDCB(rig.port));
    EXPECT_EQ(rig.fake.LastTimeouts(), BuildCommTimeouts(rig.port.Timeouts()));
    EXPECT_EQ(rig.fake.LastQueueSizes(), (TQueueSizes{2048, 1024}));
}

TEST(ComPortOpenClose, OpenOnAnOpenPortAndCloseOnAClosedPortDoNothing) {
    PortRig rig;
    rig.RecordHandlers();
    rig.port.Close();
    EXPECT_TRUE(rig.Log().empty());
    EXPECT_TRUE(rig.fake.ConfigLog().empty());

    rig.OpenQuiet();
    rig.ClearLog();
    rig.port.Open();
    rig.port.SetConnected(true);
    EXPECT_TRUE(rig.Log().empty());
    EXPECT_EQ(rig.fake.OpenCount(), 1);

    rig.port.SetConnected(false);
    EXPECT_FALSE(rig.port.Connected());
    rig.ClearLog();
    rig.port.Close();
    EXPECT_TRUE(rig.Log().empty());
    EXPECT_EQ(rig.fake.CloseCount(), 1);
}

TEST(ComPortOpenClose, TheEventThreadExistsOnlyForANonEmptyEventSet) {
    struct Case {
        TComEvents events;
        int maskCalls;
    };
    for (const Case& c : {Case{{}, 0}, Case{{evRxChar}, 1}, Case{TComEvents::All(), 1}}) {
        PortRig rig;
        rig.RecordHandlers();
        rig.port.SetEvents(c.events);
        rig.port.Open();
        EXPECT_EQ(rig.fake.CallCount(TFakeOp::SetCommMask), c.maskCalls);
        // The signal reports run either way.
        EXPECT_EQ(rig.Log().back(), "RLSDChange(0)");
        rig.port.Close();
        EXPECT_FALSE(rig.port.Connected());
    }
}

TEST(ComPortOpenClose, ANonexistentDeviceRaisesCode1WithTheSystemCode) {
    PortRig rig;
    rig.RecordHandlers();
    rig.fake.FailWith(TFakeOp::Open, ENOENT);

    const EComPort error = CatchComPort([&] { rig.port.Open(); });
    EXPECT_EQ(error.Code(), CError_OpenFailed);
    EXPECT_EQ(error.SystemCode(), ENOENT);
    EXPECT_STREQ(error.what(), "Unable to open com port (win error code: 2)");
    EXPECT_FALSE(rig.port.Connected());
    EXPECT_EQ(rig.Log(), Log{"BeforeOpen"});
    EXPECT_EQ(rig.fake.CallCount(TFakeOp::SetupComm), 0);
}

TEST(ComPortOpenClose, AFailedApplyDuringOpenClosesTheDeviceAgain) {
    struct Case {
        TFakeOp operation;
        int code;
    };
    for (const Case& c : {Case{TFakeOp::SetupComm, CError_SetupComFailed},
                          Case{TFakeOp::SetCommState, CError_SetStateFailed},
                          Case{TFakeOp::SetCommTimeouts, CError_TimeoutsFailed}}) {
        PortRig rig;
        rig.RecordHandlers();
        rig.fake.FailWith(c.operation, EINVAL);

        const EComPort error = CatchComPort([&] { rig.OpenQuiet(); });
        EXPECT_EQ(error.Code(), c.code);
        EXPECT_EQ(error.SystemCode(), EINVAL);
        EXPECT_FALSE(rig.port.Connected());
        EXPECT_FALSE(rig.fake.IsOpen());
        EXPECT_EQ(rig.Log(), Log{"BeforeOpen"});

        rig.fake.FailWith(c.operation, 0);
        rig.port.Open();
        EXPECT_TRUE(rig.port.Connected());
    }
}

TEST(ComPortOpenClose, AFailedPurgeKeepsThePortOpen) {
    PortRig rig;
    rig.RecordHandlers();
    rig.port.Open(); // with the event thread
    rig.fake.FailWith(TFakeOp::PurgeComm, EIO);
    rig.ClearLog();

    const EComPort error = CatchComPort([&] { rig.port.Close(); });
    EXPECT_EQ(error.Code(), CError_PurgeFailed);
    EXPECT_EQ(error.SystemCode(), EIO);
    EXPECT_TRUE(rig.port.Connected());
    EXPECT_TRUE(rig.fake.IsOpen());
    EXPECT_EQ(rig.Log().back(), "BeforeClose");

    rig.fake.FailWith(TFakeOp::PurgeComm, 0);
    rig.port.Close();
    EXPECT_FALSE(rig.port.Connected());
    EXPECT_EQ(rig.Log().back(), "AfterClose");
}

TEST(ComPortOpenClose, ABatchOnAnOpenPortAppliesEachGroupOnceAtItsEnd) {
    PortRig rig;
    rig.OpenQuiet();
    const auto before = rig.fake.ConfigLog().size();

    rig.port.BeginUpdate();
    rig.port.BeginUpdate();
    rig.port.SetBaudRate(br4800);
    rig.port.FlowControl().SetFlowControl(fcHardware);
    rig.port.Timeouts().SetReadInterval(5);
    rig.port.EndUpdate();
    EXPECT_EQ(rig.fake.ConfigLog().size(), before); // still inside the outer batch
    rig.port.EndUpdate();

    const Log log = rig.fake.ConfigLog();
    EXPECT_EQ(Log(log.begin() + static_cast<long>(before), log.end()),
              (Log{"SetupComm", "SetCommState", "SetCommTimeouts"}));
    EXPECT_EQ(rig.fake.LastDCB().BaudRate, 4800u);
    EXPECT_TRUE(rig.fake.LastDCB().fOutxCtsFlow);
    EXPECT_EQ(rig.fake.LastDCB().fRtsControl, WinComm::RtsControlHandshake);
    EXPECT_EQ(rig.fake.LastTimeouts().ReadIntervalTimeout, 5u);
}

TEST(ComPortOpenClose, EndUpdateWithoutBeginUpdateDoesNothing) {
    PortRig rig;
    rig.OpenQuiet();
    const auto before = rig.fake.ConfigLog().size();

    rig.port.EndUpdate();
    EXPECT_EQ(rig.port.UpdateCount(), 0);
    EXPECT_EQ(rig.fake.ConfigLog().size(), before);

    // The count did not go below zero: one batch still ends with the apply.
    rig.port.BeginUpdate();
    rig.port.EndUpdate();
    EXPECT_EQ(rig.fake.ConfigLog().size(), before + 3);
}

TEST(ComPortOpenClose, SettersApplyAtOnceOnlyOnAnOpenPortOutsideABatch) {
    PortRig rig;
    rig.port.SetBaudRate(br19200); // closed: stored only
    EXPECT_EQ(rig.fake.CallCount(TFakeOp::SetCommState), 0);

    rig.OpenQuiet();
    EXPECT_EQ(rig.fake.LastDCB().BaudRate, 19200u);
    rig.port.SetBaudRate(br4800);
    rig.port.Buffer().SetOutputSize(512);
    EXPECT_EQ(rig.fake.CallCount(TFakeOp::SetCommState), 2);
    EXPECT_EQ(rig.fake.CallCount(TFakeOp::SetupComm), 2);
    EXPECT_EQ(rig.fake.LastQueueSizes().OutputSize, 512u);
}

TEST(ComPortOpenClose, OpenInsideABatchAppliesTheSettingsAtItsEnd) {
    PortRig rig;
    rig.port.SetEvents({});
    rig.port.BeginUpdate();
    rig.port.Open();
    EXPECT_TRUE(rig.port.Connected());
    EXPECT_EQ(rig.fake.CallCount(TFakeOp::SetCommState), 0);
    rig.port.EndUpdate();
    EXPECT_EQ(rig.fake.CallCount(TFakeOp::SetCommState), 1);
}

TEST(ComPortOpenClose, AFailedApplyOnAnOpenPortKeepsTheNewValue) {
    PortRig rig;
    rig.OpenQuiet();
    rig.fake.FailWith(TFakeOp::SetCommState, EINVAL);

    const EComPort error = CatchComPort([&] { rig.port.SetBaudRate(br4800); });
    EXPECT_EQ(error.Code(), CError_SetStateFailed);
    EXPECT_EQ(error.SystemCode(), EINVAL);
    EXPECT_EQ(rig.port.BaudRate(), br4800);
    EXPECT_TRUE(rig.port.Connected());
}

TEST(ComPortOpenClose, ADifferentPortNameReopensAnOpenPort) {
    struct Case {
        const char* name;
        int opens;
    };
    for (const Case& c : {Case{"COM1", 1}, Case{"com1", 2}, Case{"COM2", 2}}) {
        PortRig rig;
        rig.RecordHandlers();
        rig.OpenQuiet();
        rig.ClearLog();

        rig.port.SetPort(c.name);
        EXPECT_EQ(rig.port.Port(), c.name);
        EXPECT_EQ(rig.fake.OpenCount(), c.opens) << c.name;
        EXPECT_EQ(rig.fake.OpenedName(), c.name);
        EXPECT_TRUE(rig.port.Connected());
        if (c.opens == 2) {
            const Log log = rig.Log();
            EXPECT_EQ(log.at(3), "BeforeClose");
            EXPECT_EQ(log.at(4), "AfterClose");
            EXPECT_EQ(log.at(5), "BeforeOpen");
            EXPECT_EQ(log.at(6), "AfterOpen");
        } else {
            EXPECT_TRUE(rig.Log().empty());
        }
    }
}

TEST(ComPortOpenClose, ANewPortNameOnAClosedPortIsOnlyStored) {
    PortRig rig;
    EXPECT_EQ(rig.port.Port(), "COM1");
    rig.port.SetPort("/dev/pts/7");
    EXPECT_EQ(rig.port.Port(), "/dev/pts/7");
    EXPECT_EQ(rig.fake.OpenCount(), 0);
}

TEST(ComPortOpenClose, SyncMethodCannotChangeWhileOpen) {
    PortRig rig;
    EXPECT_EQ(rig.port.SyncMethod(), smThreadSync);
    rig.OpenQuiet();
    rig.port.SetSyncMethod(smThreadSync); // the same value is no change

    const EComPort error = CatchComPort([&] { rig.port.SetSyncMethod(smNone); });
    EXPECT_EQ(error.Code(), CError_ConnChangeProp);
    EXPECT_EQ(error.SystemCode(), EComPort::NoSystemCode);
    EXPECT_STREQ(error.what(), "Cannot set property while connected");
    EXPECT_EQ(rig.port.SyncMethod(), smThreadSync);
    EXPECT_EQ(rig.port.CurrentSyncMethod(), smThreadSync);

    rig.port.Close();
    rig.port.SetSyncMethod(smWindowSync);
    EXPECT_EQ(rig.port.CurrentSyncMethod(), smWindowSync);
}

TEST(ComPortOpenClose, RegisteringALinkTwiceOrRemovingAStrangerFails) {
    PortRig rig;
    rig.port.AddLink(&rig.link);
    const EComPort twice = CatchComPort([&] { rig.port.AddLink(&rig.link); });
    EXPECT_EQ(twice.Code(), CError_RegFailed);
    EXPECT_STREQ(twice.what(), "Link (un)registration failed");

    TComLink stranger;
    EXPECT_EQ(CatchComPort([&] { rig.port.RemoveLink(&stranger); }).Code(), CError_RegFailed);
    EXPECT_EQ(CatchComPort([&] { rig.port.AddLink(nullptr); }).Code(), CError_RegFailed);

    rig.port.RemoveLink(&rig.link);
    EXPECT_FALSE(rig.port.HasLink(&rig.link));
    EXPECT_EQ(CatchComPort([&] { rig.port.RemoveLink(&rig.link); }).Code(), CError_RegFailed);
}

TEST(ComPortOpenClose, ARemovedLinkHearsNothingMore) {
    PortRig rig;
    rig.RecordLink(rig.link, "link.");
    rig.port.AddLink(&rig.link);
    rig.port.RemoveLink(&rig.link);
    rig.OpenQuiet();
    EXPECT_TRUE(rig.Log().empty());
}

TEST(ComPortOpenClose, APortStoredAsConnectedOpensWhenLoaded) {
    PortRig rig;
    rig.port.SetEvents({});
    rig.port.SetConnectedOnLoad(true);
    EXPECT_FALSE(rig.port.Connected());
    rig.port.Loaded();
    EXPECT_TRUE(rig.port.Connected());
}

TEST(ComPortOpenClose, AFailedOpenAfterLoadingIsReportedAndThePortStaysClosed) {
    const ErrorCapture reports;
    PortRig rig;
    rig.fake.FailWith(TFakeOp::Open, ENOENT);
    rig.port.SetConnectedOnLoad(true);
    rig.port.Loaded(); // raises nothing
    EXPECT_FALSE(rig.port.Connected());
    EXPECT_EQ(reports.Codes(), (std::vector<int>{CError_OpenFailed}));

    // Loaded acts once: the stored flag was reset.
    rig.fake.FailWith(TFakeOp::Open, 0);
    rig.port.Loaded();
    EXPECT_FALSE(rig.port.Connected());
}

TEST(ComPortOpenClose, DestroyingAnOpenPortClosesIt) {
    TFakeComDevice fake;
    bool afterClose = false;
    {
        TComPort port(std::make_unique<ForwardingDevice>(fake));
        port.OnAfterClose = [&](TCustomComPort*) { afterClose = true; };
        port.Open();
    }
    EXPECT_TRUE(afterClose);
    EXPECT_FALSE(fake.IsOpen());
    EXPECT_FALSE(fake.IsWaiting());
}

// A bound control is told when the port goes away, after the close and while its link can
// still be unregistered; a control that went first is not told.
TEST(ComPortOpenClose, BoundControlsHearThatThePortGoesAwayAndCanUnregister) {
    TFakeComDevice fake;
    TComLink link;
    std::vector<std::string> log;
    link.OnConnection = [&](TCustomComPort*, bool on) {
        log.push_back(on ? "link.Connection(1)" : "link.Connection(0)");
    };
    {
        TComPort port(std::make_unique<ForwardingDevice>(fake));
        port.AddLink(&link);
        port.AddFreeNotification([&](TCustomComPort& sender) {
            log.push_back("gone");
            sender.RemoveLink(&link);
            EXPECT_FALSE(sender.HasLink(&link));
        });
        const int gone = port.AddFreeNotification([&](TCustomComPort&) { log.push_back("x"); });
        port.RemoveFreeNotification(gone);
        port.Open();
    }
    EXPECT_EQ(log, (std::vector<std::string>{"link.Connection(1)", "link.Connection(0)", "gone"}));
}

TEST(ComPortOpenClose, AnErrorWhileDestroyingIsReportedAndTheDeviceReleasedAnyway) {
    const ErrorCapture reports;
    TFakeComDevice fake;
    {
        TComPort port(std::make_unique<ForwardingDevice>(fake));
        port.Open();
        fake.FailWith(TFakeOp::PurgeComm, EIO);
    }
    EXPECT_EQ(reports.Codes(), (std::vector<int>{CError_PurgeFailed}));
    EXPECT_FALSE(fake.IsOpen());
    EXPECT_FALSE(fake.IsWaiting());
}

TEST(ComPortOpenClose, ShowSettingsDialogRunsTheDialogThatIsSet) {
    PortRig rig;
    rig.port.ShowSettingsDialog(); // none set: nothing happens

    TCustomComPort* shown = nullptr;
    SetComSettingsDialog([&](TCustomComPort& port) { shown = &port; });
    rig.port.ShowSettingsDialog();
    SetComSettingsDialog(nullptr);
    EXPECT_EQ(shown, &rig.port);
}

} // namespace

namespace {

TEST(ComPortOpenClose, ThePosixDeviceRefusesAMissingDeviceWithENOENT) {
    TComPort port;
    port.SetPort("/dev/quorlits-no-such-device");
    const EComPort error = CatchComPort([&] { port.Open(); });
    EXPECT_EQ(error.Code(), CError_OpenFailed);
    EXPECT_EQ(error.SystemCode(), ENOENT);
    EXPECT_FALSE(port.Connected());
}

} // namespace
