// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "app/ComMainWindowPort.h"
#include "serial/ComDcb.h"
#include "serial/platform/Termios.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <sys/ioctl.h>

namespace {

// A block as the port builds it by default: 9600 8N1, no flow control.
TDCB PlainDcb() {
    TDCB dcb;
    dcb.DCBlength = 28;
    dcb.BaudRate = 9600;
    dcb.fBinary = true;
    dcb.ByteSize = 8;
    dcb.XonChar = 17;
    dcb.XoffChar = 19;
    return dcb;
}

// The settings of a terminal in cooked mode, which raw mode must undo.
termios CookedTerminal() {
    termios t{};
    t.c_iflag = ICRNL | IXON | IXANY | IMAXBEL | BRKINT | ISTRIP | INLCR | IGNCR | PARMRK;
    t.c_oflag = OPOST | ONLCR;
    t.c_lflag = ECHO | ECHOE | ECHOK | ICANON | ISIG | IEXTEN | ECHOCTL | ECHOKE;
    t.c_cflag = CS7 | PARENB | CSTOPB | CRTSCTS | HUPCL;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 5;
    cfsetispeed(&t, B38400);
    cfsetospeed(&t, B38400);
    return t;
}

struct TTranslationCase {
    std::string Name;
    void (*Change)(TDCB&);
    tcflag_t CflagSet;   // these c_cflag bits must be set
    tcflag_t CflagClear; // and these clear
    tcflag_t IflagSet;
    tcflag_t IflagClear;
};

const tcflag_t parityBits = PARENB | PARODD | CMSPAR;

class TranslateDcbTest : public testing::TestWithParam<TTranslationCase> {};

TEST_P(TranslateDcbTest, SetsExactlyTheFlagsOfTheBlock) {
    const TTranslationCase& c = GetParam();
    TDCB dcb = PlainDcb();
    c.Change(dcb);
    const TLineSetup setup = TranslateDcb(dcb, CookedTerminal());
    ASSERT_EQ(setup.Error, 0);
    EXPECT_EQ(setup.Settings.c_cflag & c.CflagSet, c.CflagSet);
    EXPECT_EQ(setup.Settings.c_cflag & c.CflagClear, 0U);
    EXPECT_EQ(setup.Settings.c_iflag & c.IflagSet, c.IflagSet);
    EXPECT_EQ(setup.Settings.c_iflag & c.IflagClear, 0U);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TranslateDcbTest,
    testing::Values(
        TTranslationCase{"Plain8N1", [](TDCB&) {}, CS8 | CLOCAL | CREAD,
                         parityBits | CSTOPB | CRTSCTS, 0, IXON | IXOFF | INPCK},
        TTranslationCase{"FiveBits", [](TDCB& d) { d.ByteSize = 5; }, CS5, CSIZE & ~CS5, 0, 0},
        TTranslationCase{"SixBits", [](TDCB& d) { d.ByteSize = 6; }, CS6, CSIZE & ~CS6, 0, 0},
        TTranslationCase{"SevenBits", [](TDCB& d) { d.ByteSize = 7; }, CS7, CSIZE & ~CS7, 0, 0},
        TTranslationCase{"OddParity", [](TDCB& d) { d.Parity = 1; }, PARENB | PARODD, CMSPAR, 0,
                         INPCK},
        TTranslationCase{"EvenParity", [](TDCB& d) { d.Parity = 2; }, PARENB, PARODD | CMSPAR, 0,
                         0},
        TTranslationCase{"MarkParity", [](TDCB& d) { d.Parity = 3; }, PARENB | CMSPAR | PARODD, 0,
                         0, 0},
        TTranslationCase{"SpaceParity", [](TDCB& d) { d.Parity = 4; }, PARENB | CMSPAR, PARODD, 0,
                         0},
        TTranslationCase{"ParityCheck",
                         [](TDCB& d) {
                             d.Parity = 2;
                             d.fParity = true;
                         },
                         PARENB, 0, INPCK, 0},
        TTranslationCase{"TwoStopBits", [](TDCB& d) { d.StopBits = 2; }, CSTOPB, 0, 0, 0},
        TTranslationCase{"OneAndAHalfStopBitsAreTwo", [](TDCB& d) { d.StopBits = 1; }, CSTOPB, 0, 0,
                         0},
        TTranslationCase{"CtsFlow", [](TDCB& d) { d.fOutxCtsFlow = true; }, CRTSCTS, 0, 0, 0},
        TTranslationCase{"RtsHandshake", [](TDCB& d) { d.fRtsControl = 2; }, CRTSCTS, 0, 0, 0},
        TTranslationCase{"RtsEnableIsNoFlowControl", [](TDCB& d) { d.fRtsControl = 1; }, 0, CRTSCTS,
                         0, 0},
        TTranslationCase{"XonXoffOut", [](TDCB& d) { d.fOutX = true; }, 0, 0, IXON, IXOFF},
        TTranslationCase{"XonXoffIn", [](TDCB& d) { d.fInX = true; }, 0, 0, IXOFF, IXON}),
    [](const testing::TestParamInfo<TTranslationCase>& row) { return row.param.Name; });

TEST(TranslateDcb, RawModeUndoesCookedProcessing) {
    const termios t = TranslateDcb(PlainDcb(), CookedTerminal()).Settings;
    EXPECT_EQ(t.c_iflag & (ICRNL | IXANY | IMAXBEL | BRKINT | ISTRIP | INLCR | IGNCR | PARMRK), 0U);
    EXPECT_EQ(t.c_oflag & OPOST, 0U);
    EXPECT_EQ(t.c_lflag & (ECHO | ICANON | ISIG | IEXTEN), 0U);
    EXPECT_EQ(t.c_cc[VMIN], 1);
    EXPECT_EQ(t.c_cc[VTIME], 0);
    // Unrelated flags survive.
    EXPECT_NE(t.c_cflag & HUPCL, 0U);
}

TEST(TranslateDcb, XonAndXoffCharactersComeFromTheBlock) {
    TDCB dcb = PlainDcb();
    dcb.fOutX = dcb.fInX = true;
    dcb.XonChar = 'Q';
    dcb.XoffChar = 'S';
    const termios t = TranslateDcb(dcb, CookedTerminal()).Settings;
    EXPECT_EQ(t.c_cc[VSTART], 'Q');
    EXPECT_EQ(t.c_cc[VSTOP], 'S');
}

TEST(TranslateDcb, MainWindowSettingsLetDc1AndDc3Through) {
    // 4800 baud, 8N1, hardware flow control, DTR on: the meter's frames use DC1 and DC3.
    TComPortSettings settings;
    ApplyMainWindowPortDefaults(settings);
    settings.SetBaudRate(br4800);
    settings.FlowControl().SetFlowControl(fcHardware);
    const TLineSetup setup = TranslateDcb(BuildDCB(settings), CookedTerminal());
    ASSERT_EQ(setup.Error, 0);
    EXPECT_EQ(setup.Settings.c_iflag & (IXON | IXOFF | IXANY), 0U);
    EXPECT_NE(setup.Settings.c_cflag & CRTSCTS, 0U);
    EXPECT_EQ(setup.Settings.c_cflag & (CSIZE | parityBits | CSTOPB), static_cast<tcflag_t>(CS8));
    EXPECT_EQ(cfgetospeed(&setup.Settings), static_cast<speed_t>(B4800));
    EXPECT_EQ(cfgetispeed(&setup.Settings), static_cast<speed_t>(B4800));
    EXPECT_FALSE(setup.CustomRate);
    EXPECT_EQ(setup.RaiseLines, TIOCM_DTR | TIOCM_RTS);
    EXPECT_EQ(setup.DropLines, 0);
}

struct TRateCase {
    std::uint32_t Rate;
    speed_t Constant; // B0: a custom rate
};

class RateTest : public testing::TestWithParam<TRateCase> {};

TEST_P(RateTest, StandardRatesUseTheirConstantOthersAreCustom) {
    TDCB dcb = PlainDcb();
    dcb.BaudRate = GetParam().Rate;
    const TLineSetup setup = TranslateDcb(dcb, CookedTerminal());
    ASSERT_EQ(setup.Error, 0);
    EXPECT_EQ(setup.BaudRate, GetParam().Rate);
    EXPECT_EQ(setup.CustomRate, GetParam().Constant == B0);
    // A custom rate leaves the speed as it was; it is set afterwards.
    const speed_t expected = GetParam().Constant == B0 ? B38400 : GetParam().Constant;
    EXPECT_EQ(cfgetospeed(&setup.Settings), expected);
}

INSTANTIATE_TEST_SUITE_P(Rates, RateTest,
                         testing::Values(TRateCase{110, B110}, TRateCase{1200, B1200},
                                         TRateCase{4800, B4800}, TRateCase{9600, B9600},
                                         TRateCase{57600, B57600}, TRateCase{115200, B115200},
                                         TRateCase{14400, B0}, TRateCase{56000, B0},
                                         TRateCase{128000, B0}, TRateCase{256000, B0},
                                         TRateCase{31250, B0}));

struct TLinesCase {
    std::uint8_t Dtr;
    std::uint8_t Rts;
    int Raise;
    int Drop;
};

class ModemLinesTest : public testing::TestWithParam<TLinesCase> {};

TEST_P(ModemLinesTest, DtrAndRtsFollowTheirControl) {
    TDCB dcb = PlainDcb();
    dcb.fDtrControl = GetParam().Dtr;
    dcb.fRtsControl = GetParam().Rts;
    const TLineSetup setup = TranslateDcb(dcb, CookedTerminal());
    EXPECT_EQ(setup.RaiseLines, GetParam().Raise);
    EXPECT_EQ(setup.DropLines, GetParam().Drop);
}

INSTANTIATE_TEST_SUITE_P(Lines, ModemLinesTest,
                         testing::Values(TLinesCase{0, 0, 0, TIOCM_DTR | TIOCM_RTS},
                                         TLinesCase{1, 0, TIOCM_DTR, TIOCM_RTS},
                                         // No DTR handshake on Linux: DTR is simply raised.
                                         TLinesCase{2, 0, TIOCM_DTR, TIOCM_RTS},
                                         TLinesCase{0, 1, TIOCM_RTS, TIOCM_DTR},
                                         TLinesCase{0, 2, TIOCM_RTS, TIOCM_DTR},
                                         // Toggle: RTS stays in its idle state, off.
                                         TLinesCase{1, 3, TIOCM_DTR, TIOCM_RTS}));

TEST(TranslateDcb, RefusesCodesThatDoNotExist) {
    const std::pair<const char*, void (*)(TDCB&)> cases[] = {
        {"byte size 4", [](TDCB& d) { d.ByteSize = 4; }},
        {"byte size 9", [](TDCB& d) { d.ByteSize = 9; }},
        {"parity 5", [](TDCB& d) { d.Parity = 5; }},
        {"stop bits 3", [](TDCB& d) { d.StopBits = 3; }},
        {"rate 0", [](TDCB& d) { d.BaudRate = 0; }},
    };
    for (const auto& [name, change] : cases) {
        TDCB dcb = PlainDcb();
        change(dcb);
        EXPECT_EQ(TranslateDcb(dcb, CookedTerminal()).Error, EINVAL) << name;
    }
}

TEST(MakeRaw, KeepsFramingAndSpeed) {
    termios t = CookedTerminal();
    MakeRaw(t);
    EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS),
              static_cast<tcflag_t>(CS7 | PARENB | CSTOPB | CRTSCTS));
    EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(t.c_iflag & IXON, 0U);
    EXPECT_EQ(t.c_lflag & ICANON, 0U);
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B38400));
}

} // namespace
