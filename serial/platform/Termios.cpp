// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/platform/Termios.h"

#include "serial/platform/ComPlatformTypes.h"

#include <array>
#include <cerrno>
#include <sys/ioctl.h>
#include <utility>

namespace {

constexpr std::array<std::pair<std::uint32_t, speed_t>, 30> speedConstants{{
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
}};

bool ValidFraming(const TDCB& dcb) {
    return dcb.BaudRate != 0 && dcb.ByteSize >= 5 && dcb.ByteSize <= 8 &&
           dcb.Parity <= WinComm::SpaceParity && dcb.StopBits <= WinComm::TwoStopBits;
}

tcflag_t SizeFlag(std::uint8_t byteSize) {
    constexpr std::array<tcflag_t, 4> sizes{CS5, CS6, CS7, CS8};
    return sizes[static_cast<std::size_t>(byteSize - 5)];
}

tcflag_t ParityFlags(std::uint8_t parity) {
    switch (parity) {
    case WinComm::OddParity:
        return PARENB | PARODD;
    case WinComm::EvenParity:
        return PARENB;
    case WinComm::MarkParity:
        return PARENB | CMSPAR | PARODD;
    case WinComm::SpaceParity:
        return PARENB | CMSPAR;
    default:
        return 0;
    }
}

void SetFraming(const TDCB& dcb, termios& settings) {
    settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB);
    settings.c_cflag |= SizeFlag(dcb.ByteSize) | ParityFlags(dcb.Parity);
    if (dcb.StopBits != WinComm::OneStopBit) {
        settings.c_cflag |= CSTOPB;
    }
    if (dcb.fParity) {
        settings.c_iflag |= INPCK;
    }
}

void SetFlowControl(const TDCB& dcb, termios& settings) {
    settings.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
    if (dcb.fOutxCtsFlow || dcb.fRtsControl == WinComm::RtsControlHandshake) {
        settings.c_cflag |= CRTSCTS;
    }
    if (dcb.fOutX) {
        settings.c_iflag |= IXON;
    }
    if (dcb.fInX) {
        settings.c_iflag |= IXOFF;
    }
    settings.c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
    settings.c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);
}

void SetModemLines(const TDCB& dcb, TLineSetup& setup) {
    // DTR handshake has no Linux counterpart; DTR stays raised as with "enable".
    if (dcb.fDtrControl == WinComm::DtrControlDisable) {
        setup.DropLines |= TIOCM_DTR;
    } else {
        setup.RaiseLines |= TIOCM_DTR;
    }
    // With hardware handshake the kernel drives RTS itself once CRTSCTS is set; raising it first
    // tells the other end that we can receive.
    if (dcb.fRtsControl == WinComm::RtsControlEnable ||
        dcb.fRtsControl == WinComm::RtsControlHandshake) {
        setup.RaiseLines |= TIOCM_RTS;
    } else {
        setup.DropLines |= TIOCM_RTS;
    }
}

} // namespace

void MakeRaw(termios& settings) {
    settings.c_iflag &=
        ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON |
                               IXOFF | IXANY | INPCK | IGNPAR | IUCLC | IMAXBEL);
    settings.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    settings.c_lflag &=
        ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL | ICANON | ISIG | IEXTEN | NOFLSH |
                               TOSTOP | ECHOCTL | ECHOPRT | ECHOKE);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
}

void DropFlowControl(termios& settings) {
    settings.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
    settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
}

speed_t SpeedConstantOf(std::uint32_t baudRate) {
    for (const auto& [rate, constant] : speedConstants) {
        if (rate == baudRate) {
            return constant;
        }
    }
    return B0;
}

TLineSetup TranslateDcb(const TDCB& dcb, const termios& current) {
    TLineSetup setup;
    if (!ValidFraming(dcb)) {
        setup.Error = EINVAL;
        return setup;
    }
    setup.Settings = current;
    MakeRaw(setup.Settings);
    SetFraming(dcb, setup.Settings);
    SetFlowControl(dcb, setup.Settings);
    SetModemLines(dcb, setup);
    setup.BaudRate = dcb.BaudRate;
    const speed_t speed = SpeedConstantOf(dcb.BaudRate);
    setup.CustomRate = speed == B0;
    if (!setup.CustomRate) {
        cfsetispeed(&setup.Settings, speed);
        cfsetospeed(&setup.Settings, speed);
    }
    return setup;
}
