// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// Reads, writes, operation records and the queries of the input side.
#include "ComPortRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <iterator>
#include <string>

namespace {

// An open port without event thread whose link logs everything but received buffers.
class ComPortIO : public ::testing::Test {
protected:
    void SetUp() override {
        rig.RecordLinkWithoutBuffer();
        rig.OpenQuiet();
        rig.ClearLog();
    }

    PortRig rig;
};

TEST_F(ComPortIO, WritingAnEmptyTextStartsNothingAndNotifiesNobody) {
    EXPECT_EQ(rig.port.WriteText(""), 0);
    EXPECT_EQ(rig.fake.CallCount(TFakeOp::Write), 0);
    EXPECT_TRUE(rig.Log().empty());

    rig.port.Close();
    rig.ClearLog();
    EXPECT_EQ(rig.port.WriteText(""), 0); // also on a closed port
    EXPECT_TRUE(rig.Log().empty());
}

TEST_F(ComPortIO, AWriteTellsTheLinksItStartedAndThenWhatWasWritten) {
    EXPECT_EQ(rig.port.WriteText(std::string("a\0c", 3)), 3);
    EXPECT_EQ(rig.fake.Written(), std::string("a\0c", 3));
    EXPECT_EQ(rig.Log(),
              (Log{"link.Transmitting(1)", "link.TransmitBuffer(" + std::string("a\0c", 3) + ")"}));
}

TEST_F(ComPortIO, AnAsyncWriteNotifiesTheBufferOnlyAtCompletion) {
    PAsyncOperation operation = TCustomComPort::NewAsyncOperation();
    EXPECT_EQ(rig.port.WriteTextAsync("xyz", operation.get()), 3);
    EXPECT_EQ(rig.Log(), Log{"link.Transmitting(1)"});

    EXPECT_EQ(rig.port.WaitForCompletion(operation.get()), 3);
    EXPECT_EQ(rig.Log(), (Log{"link.Transmitting(1)", "link.TransmitBuffer(xyz)"}));

    // A record used again carries the new bytes only.
    rig.ClearLog();
    EXPECT_EQ(rig.port.WriteAsync("12", 2, operation.get()), 2);
    EXPECT_EQ(rig.port.WaitForCompletion(operation.get()), 2);
    EXPECT_EQ(rig.Log(), (Log{"link.Transmitting(1)", "link.TransmitBuffer(12)"}));

    TCustomComPort::FreeAsyncOperation(operation);
    EXPECT_EQ(operation, nullptr);
}

// The transmit-empty event of a write that is still under way at the close never comes: the
// close itself ends the transmission, once.
TEST_F(ComPortIO, ClosingEndsATransmissionThatNoEventEnded) {
    const auto transmitting = [this] {
        const Log log = rig.Log();
        Log found;
        std::copy_if(log.begin(), log.end(), std::back_inserter(found), [](const std::string& e) {
            return e.rfind("link.Transmitting", 0) == 0 || e.rfind("link.Connection", 0) == 0;
        });
        return found;
    };
    rig.port.WriteText("GLP");
    rig.port.Close();
    EXPECT_EQ(transmitting(),
              (Log{"link.Transmitting(1)", "link.Transmitting(0)", "link.Connection(0)"}));

    rig.port.Open();
    rig.port.WriteText("GLP");
    rig.port.HandleEvent(evTxEmpty);
    rig.ClearLog();
    rig.port.Close();
    rig.port.Open();
    rig.port.Close();
    EXPECT_EQ(transmitting(),
              (Log{"link.Connection(0)", "link.Connection(1)", "link.Connection(0)"}));
}

TEST_F(ComPortIO, ARecordNeverStartedCompletesWithNothing) {
    const PAsyncOperation operation = TCustomComPort::NewAsyncOperation();
    EXPECT_EQ(rig.port.WriteTextAsync("", operation.get()), 0);
    EXPECT_EQ(rig.port.WaitForCompletion(operation.get()), 0);
    EXPECT_TRUE(rig.Log().empty());
}

TEST_F(ComPortIO, ReadTextReturnsWhatIsQueuedAndTellsWhenTheQueueIsEmpty) {
    struct Case {
        std::string queued;
        int asked;
        std::string text;
        bool emptied;
    };
    for (const Case& c :
         {Case{"wxyz", 10, "wxyz", true}, Case{"abcdef", 4, "abcd", false}, Case{"", 5, "", true},
          Case{std::string("\0\0", 2), 2, std::string("\0\0", 2), true}}) {
        rig.fake.InjectReceived(c.queued);
        rig.ClearLog();
        std::string text = "old";
        EXPECT_EQ(rig.port.ReadText(text, c.asked), static_cast<int>(c.text.size()));
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(rig.Log(), c.emptied ? Log{"link.Receiving(0)"} : Log{}) << c.queued;
        rig.fake.PurgeComm(0x0008);
    }
}

TEST_F(ComPortIO, ReadTextOfNoBytesReadsNothing) {
    rig.fake.InjectReceived("abc");
    for (const int count : {0, -3}) {
        std::string text = "old";
        EXPECT_EQ(rig.port.ReadText(text, count), 0);
        EXPECT_EQ(text, "");
    }
    EXPECT_EQ(rig.fake.CallCount(TFakeOp::Read), 0);
    EXPECT_EQ(rig.port.InputQueueCount(), 3);
    EXPECT_TRUE(rig.Log().empty());
}

TEST_F(ComPortIO, ReadIntoABufferTakesAtMostItsCount) {
    rig.fake.InjectReceived("hello");
    char buffer[3] = {};
    EXPECT_EQ(rig.port.Read(buffer, 3), 3);
    EXPECT_EQ(std::string(buffer, 3), "hel");
    EXPECT_EQ(rig.port.InputQueueCount(), 2);
    EXPECT_TRUE(rig.Log().empty());
}

TEST_F(ComPortIO, OperationsWithoutARecordRaiseCode4) {
    char buffer[4] = {};
    std::string text;
    const std::function<void()> calls[] = {
        [&] { rig.port.WriteAsync("a", 1, nullptr); },
        [&] { rig.port.WriteTextAsync("a", nullptr); },
        [&] { rig.port.ReadAsync(buffer, 4, nullptr); },
        [&] { rig.port.ReadTextAsync(text, 4, nullptr); },
        [&] { rig.port.WaitForCompletion(nullptr); },
    };
    for (const auto& call : calls) {
        const EComPort error = CatchComPort(call);
        EXPECT_EQ(error.Code(), CError_InvalidAsync);
        EXPECT_STREQ(error.what(), "Invalid Async parameter");
    }
    EXPECT_EQ(rig.fake.CallCount(TFakeOp::Write), 0);
    EXPECT_EQ(rig.fake.CallCount(TFakeOp::Read), 0);
}

TEST_F(ComPortIO, OnAClosedPortTheDeviceOperationsFailWithAnInvalidHandle) {
    rig.port.Close();
    rig.ClearLog();
    std::string text;
    struct Case {
        std::function<void()> call;
        int code;
    };
    const Case cases[] = {
        {[&] { rig.port.WriteText("a"); }, CError_WriteFailed},
        {[&] { rig.port.ReadText(text, 4); }, CError_ReadFailed},
        {[&] { rig.port.InputQueueCount(); }, CError_ClearComFailed},
        {[&] { rig.port.ReadLineErrors(); }, CError_ClearComFailed},
        {[&] { rig.port.ReadSignals(); }, CError_ModemStatFailed},
    };
    for (const Case& c : cases) {
        const EComPort error = CatchComPort(c.call);
        EXPECT_EQ(error.Code(), c.code);
        EXPECT_EQ(error.SystemCode(), EBADF);
    }
    EXPECT_TRUE(rig.Log().empty());
}

TEST_F(ComPortIO, DeviceFailuresRaiseTheirCodeWithTheSystemCode) {
    struct Case {
        TFakeOp operation;
        int code;
        std::function<void()> call;
    };
    std::string text;
    const Case cases[] = {
        {TFakeOp::Write, CError_WriteFailed, [&] { rig.port.WriteText("abc"); }},
        {TFakeOp::Read, CError_ReadFailed, [&] { rig.port.ReadText(text, 3); }},
        {TFakeOp::ClearCommError, CError_ClearComFailed, [&] { rig.port.InputQueueCount(); }},
        {TFakeOp::GetCommModemStatus, CError_ModemStatFailed, [&] { rig.port.ReadSignals(); }},
        {TFakeOp::PurgeComm, CError_PurgeFailed, [&] { rig.port.AbortPendingIO(); }},
    };
    for (const Case& c : cases) {
        rig.fake.FailWith(c.operation, EIO);
        const EComPort error = CatchComPort(c.call);
        EXPECT_EQ(error.Code(), c.code);
        EXPECT_EQ(error.SystemCode(), EIO);
        rig.fake.FailWith(c.operation, 0);
    }
    // A write that could not start told the links nothing.
    EXPECT_TRUE(rig.Log().empty());
}

TEST_F(ComPortIO, ACompletedReadThatCannotQueryTheQueueRaisesCode10) {
    rig.fake.InjectReceived("ab");
    rig.fake.FailWith(TFakeOp::ClearCommError, EIO);
    std::string text;
    EXPECT_EQ(CatchComPort([&] { rig.port.ReadText(text, 2); }).Code(), CError_ClearComFailed);
}

TEST_F(ComPortIO, ReadLineErrorsCountsParityOnlyWhileCheckingIt) {
    rig.fake.InjectLineErrors(WinComm::CeRxParity | WinComm::CeFrame | WinComm::CeBreak);
    EXPECT_EQ(rig.port.ReadLineErrors(), (TComErrors{ceFraming, ceBreak}));
    EXPECT_TRUE(rig.port.ReadLineErrors().Empty()); // the query cleared them

    rig.port.Parity().SetCheck(true);
    rig.fake.InjectLineErrors(WinComm::CeRxParity | WinComm::CeOverrun);
    EXPECT_EQ(rig.port.ReadLineErrors(), (TComErrors{ceParity, ceOverrun}));
}

TEST_F(ComPortIO, ReadSignalsConvertsTheModemStatus) {
    rig.fake.SetModemStatus(WinComm::MsDsrOn | WinComm::MsRingOn);
    EXPECT_EQ(rig.port.ReadSignals(), (TLineSignals{sigDSR, sigRing}));
}

TEST_F(ComPortIO, AWriteCutShortByTheTimeoutReturnsTheBytesWritten) {
    rig.fake.LimitWrite(2);
    EXPECT_EQ(rig.port.WriteText("abcd"), 2);
    EXPECT_EQ(rig.fake.Written(), "ab");
}

} // namespace
