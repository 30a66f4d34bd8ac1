// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/ComDcb.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace {

// The block of a new port, written out field by field.
TDCB NewPortBlock() {
    TDCB dcb;
    dcb.DCBlength = 28;
    dcb.BaudRate = 9600;
    dcb.fBinary = true;
    dcb.XonLim = 256;
    dcb.XoffLim = 256;
    dcb.ByteSize = 8;
    dcb.XonChar = '\x11';
    dcb.XoffChar = '\x13';
    return dcb;
}

struct BlockCase {
    const char* name;
    std::function<void(TComPortSettings&)> change;
    std::function<void(TDCB&)> expect; // applied to NewPortBlock()
};

// Compares the fields one by one, so a failure names the field.
void ExpectSameBlock(const TDCB& actual, const TDCB& expected) {
    EXPECT_EQ(actual.DCBlength, expected.DCBlength);
    EXPECT_EQ(actual.BaudRate, expected.BaudRate);
    EXPECT_EQ(actual.fBinary, expected.fBinary);
    EXPECT_EQ(actual.fParity, expected.fParity);
    EXPECT_EQ(actual.fOutxCtsFlow, expected.fOutxCtsFlow);
    EXPECT_EQ(actual.fOutxDsrFlow, expected.fOutxDsrFlow);
    EXPECT_EQ(actual.fDtrControl, expected.fDtrControl);
    EXPECT_EQ(actual.fDsrSensitivity, expected.fDsrSensitivity);
    EXPECT_EQ(actual.fTXContinueOnXoff, expected.fTXContinueOnXoff);
    EXPECT_EQ(actual.fOutX, expected.fOutX);
    EXPECT_EQ(actual.fInX, expected.fInX);
    EXPECT_EQ(actual.fErrorChar, expected.fErrorChar);
    EXPECT_EQ(actual.fNull, expected.fNull);
    EXPECT_EQ(actual.fRtsControl, expected.fRtsControl);
    EXPECT_EQ(actual.XonLim, expected.XonLim);
    EXPECT_EQ(actual.XoffLim, expected.XoffLim);
    EXPECT_EQ(actual.ByteSize, expected.ByteSize);
    EXPECT_EQ(actual.Parity, expected.Parity);
    EXPECT_EQ(actual.StopBits, expected.StopBits);
    EXPECT_EQ(actual.XonChar, expected.XonChar);
    EXPECT_EQ(actual.XoffChar, expected.XoffChar);
    EXPECT_EQ(actual.ErrorChar, expected.ErrorChar);
    EXPECT_EQ(actual.EvtChar, expected.EvtChar);
    // Everything, including the fields that always stay zero.
    EXPECT_TRUE(actual == expected);
}

const std::vector<BlockCase>& BlockCases() {
    static const std::vector<BlockCase> cases{
        {"new port", [](auto&) {}, [](auto&) {}},
        {"custom rate",
         [](auto& s) {
             s.SetBaudRate(brCustom);
             s.SetCustomBaudRate(31250);
         },
         [](auto& d) { d.BaudRate = 31250; }},
        {"custom rate unused", [](auto& s) { s.SetCustomBaudRate(31250); }, [](auto&) {}},
        {"custom rate default", [](auto& s) { s.SetBaudRate(brCustom); },
         [](auto& d) { d.BaudRate = 9600; }},
        {"negative custom rate",
         [](auto& s) {
             s.SetBaudRate(brCustom);
             s.SetCustomBaudRate(-1);
         },
         [](auto& d) { d.BaudRate = 0xFFFFFFFFu; }},
        {"110", [](auto& s) { s.SetBaudRate(br110); }, [](auto& d) { d.BaudRate = 110; }},
        {"256000", [](auto& s) { s.SetBaudRate(br256000); }, [](auto& d) { d.BaudRate = 256000; }},
        {"five bits", [](auto& s) { s.SetDataBits(dbFive); }, [](auto& d) { d.ByteSize = 5; }},
        {"six bits", [](auto& s) { s.SetDataBits(dbSix); }, [](auto& d) { d.ByteSize = 6; }},
        {"seven bits", [](auto& s) { s.SetDataBits(dbSeven); }, [](auto& d) { d.ByteSize = 7; }},
        {"odd", [](auto& s) { s.Parity().SetBits(prOdd); }, [](auto& d) { d.Parity = 1; }},
        {"even", [](auto& s) { s.Parity().SetBits(prEven); }, [](auto& d) { d.Parity = 2; }},
        {"mark", [](auto& s) { s.Parity().SetBits(prMark); }, [](auto& d) { d.Parity = 3; }},
        {"space", [](auto& s) { s.Parity().SetBits(prSpace); }, [](auto& d) { d.Parity = 4; }},
        {"one and a half stop bits", [](auto& s) { s.SetStopBits(sbOne5StopBits); },
         [](auto& d) { d.StopBits = 1; }},
        {"two stop bits", [](auto& s) { s.SetStopBits(sbTwoStopBits); },
         [](auto& d) { d.StopBits = 2; }},
        {"discard null", [](auto& s) { s.SetDiscardNull(true); }, [](auto& d) { d.fNull = true; }},
        {"event char", [](auto& s) { s.SetEventChar('\n'); }, [](auto& d) { d.EvtChar = '\n'; }},
        {"parity check", [](auto& s) { s.Parity().SetCheck(true); },
         [](auto& d) { d.fParity = true; }},
        {"replace without check",
         [](auto& s) {
             s.Parity().SetReplace(true);
             s.Parity().SetReplaceChar('?');
         },
         [](auto&) {}},
        {"check and replace",
         [](auto& s) {
             s.Parity().SetCheck(true);
             s.Parity().SetReplace(true);
             s.Parity().SetReplaceChar('?');
         },
         [](auto& d) {
             d.fParity = true;
             d.fErrorChar = true;
             d.ErrorChar = '?';
         }},
        {"check with replace char only",
         [](auto& s) {
             s.Parity().SetCheck(true);
             s.Parity().SetReplaceChar('?');
         },
         [](auto& d) { d.fParity = true; }},
        {"cts flow", [](auto& s) { s.FlowControl().SetOutCTSFlow(true); },
         [](auto& d) { d.fOutxCtsFlow = true; }},
        {"dsr flow", [](auto& s) { s.FlowControl().SetOutDSRFlow(true); },
         [](auto& d) { d.fOutxDsrFlow = true; }},
        {"dtr enable", [](auto& s) { s.FlowControl().SetControlDTR(dtrEnable); },
         [](auto& d) { d.fDtrControl = 1; }},
        {"dtr handshake", [](auto& s) { s.FlowControl().SetControlDTR(dtrHandshake); },
         [](auto& d) { d.fDtrControl = 2; }},
        {"rts enable", [](auto& s) { s.FlowControl().SetControlRTS(rtsEnable); },
         [](auto& d) { d.fRtsControl = 1; }},
        {"rts handshake", [](auto& s) { s.FlowControl().SetControlRTS(rtsHandshake); },
         [](auto& d) { d.fRtsControl = 2; }},
        {"rts toggle", [](auto& s) { s.FlowControl().SetControlRTS(rtsToggle); },
         [](auto& d) { d.fRtsControl = 3; }},
        {"xon out", [](auto& s) { s.FlowControl().SetXonXoffOut(true); },
         [](auto& d) { d.fOutX = true; }},
        {"xon in", [](auto& s) { s.FlowControl().SetXonXoffIn(true); },
         [](auto& d) { d.fInX = true; }},
        {"dsr sensitivity", [](auto& s) { s.FlowControl().SetDSRSensitivity(true); },
         [](auto& d) { d.fDsrSensitivity = true; }},
        {"continue on xoff", [](auto& s) { s.FlowControl().SetTxContinueOnXoff(true); },
         [](auto& d) { d.fTXContinueOnXoff = true; }},
        {"xon xoff chars",
         [](auto& s) {
             s.FlowControl().SetXonChar('Q');
             s.FlowControl().SetXoffChar('S');
         },
         [](auto& d) {
             d.XonChar = 'Q';
             d.XoffChar = 'S';
         }},
        {"hardware shorthand", [](auto& s) { s.FlowControl().SetFlowControl(fcHardware); },
         [](auto& d) {
             d.fOutxCtsFlow = true;
             d.fRtsControl = 2;
         }},
        {"software shorthand", [](auto& s) { s.FlowControl().SetFlowControl(fcSoftware); },
         [](auto& d) {
             d.fOutX = true;
             d.fInX = true;
         }},
        {"input size 1025", [](auto& s) { s.Buffer().SetInputSize(1025); }, [](auto&) {}},
        {"input size 6", [](auto& s) { s.Buffer().SetInputSize(6); },
         [](auto& d) {
             d.XonLim = 1;
             d.XoffLim = 1;
         }},
        {"input size 2", [](auto& s) { s.Buffer().SetInputSize(2); },
         [](auto& d) {
             d.XonLim = 0;
             d.XoffLim = 0;
         }},
        {"input size 4096", [](auto& s) { s.Buffer().SetInputSize(4096); },
         [](auto& d) {
             d.XonLim = 1024;
             d.XoffLim = 1024;
         }},
        {"output size has no part", [](auto& s) { s.Buffer().SetOutputSize(10); }, [](auto&) {}},
        {"timeouts have no part", [](auto& s) { s.Timeouts().SetReadInterval(0); }, [](auto&) {}},
        {"events have no part", [](auto& s) { s.SetEvents(TComEvents{}); }, [](auto&) {}},
    };
    return cases;
}

void PrintTo(const BlockCase& testCase, std::ostream* os) {
    *os << testCase.name;
}

class ComDcbBlock : public ::testing::TestWithParam<BlockCase> {};

} // namespace

TEST_P(ComDcbBlock, BuildsExactlyTheChangedFields) {
    TComPortSettings settings;
    GetParam().change(settings);
    TDCB expected = NewPortBlock();
    GetParam().expect(expected);
    ExpectSameBlock(BuildDCB(settings), expected);
}

INSTANTIATE_TEST_SUITE_P(Settings, ComDcbBlock, ::testing::ValuesIn(BlockCases()),
                         [](const auto& testCase) {
                             std::string name;
                             for (const char* p = testCase.param.name; *p != '\0'; ++p) {
                                 name += (*p == ' ') ? '_' : *p;
                             }
                             return name;
                         });

TEST(ComDcb, EveryNamedRateReachesTheBlock) {
    const std::vector<std::uint32_t> rates{110,   300,   600,   1200,  2400,   4800,   9600,  14400,
                                           19200, 38400, 56000, 57600, 115200, 128000, 256000};
    for (std::size_t i = 0; i < rates.size(); ++i) {
        TComPortSettings settings;
        settings.SetBaudRate(static_cast<TBaudRate>(i + 1));
        EXPECT_EQ(BuildDCB(settings).BaudRate, rates[i]) << i;
    }
}

TEST(ComDcb, LimitsAreAQuarterOfTheInputSizeRoundedTowardZero) {
    for (std::int32_t size : {0, 4, 8, 10, 14, 1022, 1024, 1026, 65534, 262142}) {
        TComPortSettings settings;
        settings.Buffer().SetInputSize(size);
        const TDCB dcb = BuildDCB(settings);
        EXPECT_EQ(dcb.XonLim, static_cast<std::uint16_t>(size / 4)) << size;
        EXPECT_EQ(dcb.XoffLim, dcb.XonLim) << size;
    }
}

TEST(ComDcb, TimeoutBlockOfANewPort) {
    const TCommTimeouts block = BuildCommTimeouts(TComTimeouts{});
    EXPECT_EQ(block.ReadIntervalTimeout, 0xFFFFFFFFu);
    EXPECT_EQ(block.ReadTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(block.ReadTotalTimeoutConstant, 0u);
    EXPECT_EQ(block.WriteTotalTimeoutMultiplier, 100u);
    EXPECT_EQ(block.WriteTotalTimeoutConstant, 1000u);
}

TEST(ComDcb, TimeoutsAreTakenAsUnsigned) {
    TComTimeouts timeouts;
    timeouts.SetReadInterval(0);
    timeouts.SetReadTotalMultiplier(-2);
    timeouts.SetReadTotalConstant(INT_MAX);
    timeouts.SetWriteTotalMultiplier(INT_MIN);
    timeouts.SetWriteTotalConstant(5);
    const TCommTimeouts block = BuildCommTimeouts(timeouts);
    EXPECT_EQ(block.ReadIntervalTimeout, 0u);
    EXPECT_EQ(block.ReadTotalTimeoutMultiplier, 0xFFFFFFFEu);
    EXPECT_EQ(block.ReadTotalTimeoutConstant, 0x7FFFFFFFu);
    EXPECT_EQ(block.WriteTotalTimeoutMultiplier, 0x80000000u);
    EXPECT_EQ(block.WriteTotalTimeoutConstant, 5u);
}

TEST(ComDcb, QueueSizes) {
    EXPECT_EQ(BuildQueueSizes(TComBuffer{}), (TQueueSizes{1024, 1024}));
    TComBuffer buffer;
    buffer.SetInputSize(1025);
    buffer.SetOutputSize(4097);
    EXPECT_EQ(BuildQueueSizes(buffer), (TQueueSizes{1024, 4096}));
}
