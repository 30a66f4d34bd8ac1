// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/ComDcb.h"

#include "serial/ComTexts.h"

#include <array>
#include <cstddef>

namespace {

constexpr std::array<std::uint8_t, 4> byteSizes{5, 6, 7, 8};
constexpr std::array<std::uint8_t, 5> parityCodes{WinComm::NoParity, WinComm::OddParity,
                                                  WinComm::EvenParity, WinComm::MarkParity,
                                                  WinComm::SpaceParity};
constexpr std::array<std::uint8_t, 3> stopBitCodes{WinComm::OneStopBit, WinComm::One5StopBits,
                                                   WinComm::TwoStopBits};
constexpr std::array<std::uint8_t, 3> dtrCodes{
    WinComm::DtrControlDisable, WinComm::DtrControlEnable, WinComm::DtrControlHandshake};
constexpr std::array<std::uint8_t, 4> rtsCodes{
    WinComm::RtsControlDisable, WinComm::RtsControlEnable, WinComm::RtsControlHandshake,
    WinComm::RtsControlToggle};

// The platform code of an enumerator; a value outside the enumeration gives the first code.
template <std::size_t N, typename E>
std::uint8_t CodeOf(const std::array<std::uint8_t, N>& codes, E value) {
    const auto index = static_cast<std::size_t>(value);
    return index < N ? codes[index] : codes[0];
}

std::uint32_t RateOf(const TComPortSettings& settings) {
    if (settings.BaudRate() == brCustom) {
        return static_cast<std::uint32_t>(settings.CustomBaudRate());
    }
    return BaudRateToNumber(settings.BaudRate());
}

void SetFlowFields(TDCB& dcb, const TComFlowControl& flow) {
    dcb.fOutxCtsFlow = flow.OutCTSFlow();
    dcb.fOutxDsrFlow = flow.OutDSRFlow();
    dcb.fDtrControl = CodeOf(dtrCodes, flow.ControlDTR());
    dcb.fRtsControl = CodeOf(rtsCodes, flow.ControlRTS());
    dcb.fOutX = flow.XonXoffOut();
    dcb.fInX = flow.XonXoffIn();
    dcb.fDsrSensitivity = flow.DSRSensitivity();
    dcb.fTXContinueOnXoff = flow.TxContinueOnXoff();
    dcb.XonChar = flow.XonChar();
    dcb.XoffChar = flow.XoffChar();
}

void SetParityFields(TDCB& dcb, const TComParity& parity) {
    const bool replace = parity.Check() && parity.Replace();
    dcb.fParity = parity.Check();
    dcb.fErrorChar = replace;
    dcb.ErrorChar = replace ? parity.ReplaceChar() : '\0';
    dcb.Parity = CodeOf(parityCodes, parity.Bits());
}

} // namespace

TDCB BuildDCB(const TComPortSettings& settings) {
    TDCB dcb;
    dcb.DCBlength = WinComm::DcbSize;
    dcb.BaudRate = RateOf(settings);
    dcb.fBinary = true;
    dcb.fNull = settings.DiscardNull();
    SetFlowFields(dcb, settings.FlowControl());
    SetParityFields(dcb, settings.Parity());
    // The block's limits are 16-bit words; the quarter of the input size is taken modulo 2^16.
    const auto limit = static_cast<std::uint16_t>(settings.Buffer().InputSize() / 4);
    dcb.XonLim = limit;
    dcb.XoffLim = limit;
    dcb.ByteSize = CodeOf(byteSizes, settings.DataBits());
    dcb.StopBits = CodeOf(stopBitCodes, settings.StopBits());
    dcb.EvtChar = settings.EventChar();
    dcb.EofChar = 0;
    return dcb;
}

TCommTimeouts BuildCommTimeouts(const TComTimeouts& timeouts) {
    TCommTimeouts block;
    block.ReadIntervalTimeout = static_cast<std::uint32_t>(timeouts.ReadInterval());
    block.ReadTotalTimeoutMultiplier = static_cast<std::uint32_t>(timeouts.ReadTotalMultiplier());
    block.ReadTotalTimeoutConstant = static_cast<std::uint32_t>(timeouts.ReadTotalConstant());
    block.WriteTotalTimeoutMultiplier = static_cast<std::uint32_t>(timeouts.WriteTotalMultiplier());
    block.WriteTotalTimeoutConstant = static_cast<std::uint32_t>(timeouts.WriteTotalConstant());
    return block;
}

TQueueSizes BuildQueueSizes(const TComBuffer& buffer) {
    return {static_cast<std::uint32_t>(buffer.InputSize()),
            static_cast<std::uint32_t>(buffer.OutputSize())};
}
