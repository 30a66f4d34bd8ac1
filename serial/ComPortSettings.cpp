// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/ComPortSettings.h"

#include "serial/ComTexts.h"

TComPortSettings::TComPortSettings(TComSettingsTarget* port) noexcept
    : port_(port)
    , parity_(port)
    , flowControl_(port)
    , timeouts_(port)
    , buffer_(port) {}

template <typename T>
void TComPortSettings::ChangeLine(T& field, const T& value) {
    if (field == value) {
        return;
    }
    field = value;
    ReapplyLineSettings();
}

void TComPortSettings::ReapplyLineSettings() const {
    if (port_ != nullptr) {
        port_->ApplyLineSettings();
    }
}

void TComPortSettings::SetBaudRate(TBaudRate value) {
    ChangeLine(baudRate_, value);
}
void TComPortSettings::SetCustomBaudRate(std::int32_t value) {
    ChangeLine(customBaudRate_, value);
}
void TComPortSettings::SetDataBits(TDataBits value) {
    ChangeLine(dataBits_, value);
}
void TComPortSettings::SetStopBits(TStopBits value) {
    ChangeLine(stopBits_, value);
}
void TComPortSettings::SetDiscardNull(bool value) {
    ChangeLine(discardNull_, value);
}
void TComPortSettings::SetEventChar(char value) {
    ChangeLine(eventChar_, value);
}

void TComPortSettings::SetParity(const TComParity& source) {
    parity_.Assign(source);
    ReapplyLineSettings();
}

void TComPortSettings::SetFlowControl(const TComFlowControl& source) {
    flowControl_.Assign(source);
    ReapplyLineSettings();
}

void TComPortSettings::SetTimeouts(const TComTimeouts& source) {
    timeouts_.Assign(source);
    if (port_ != nullptr) {
        port_->ApplyTimeouts();
    }
}

void TComPortSettings::SetBuffer(const TComBuffer& source) {
    buffer_.Assign(source);
    if (port_ != nullptr) {
        port_->ApplyBufferSizes();
    }
}

std::vector<std::pair<std::string, std::string>>
LineSettingsTexts(const TComPortSettings& settings) {
    const std::uint32_t baud = settings.BaudRate() == brCustom
                                   ? static_cast<std::uint32_t>(settings.CustomBaudRate())
                                   : BaudRateToNumber(settings.BaudRate());
    return {
        {"Baud", std::to_string(baud)},
        {"Datenbits", DataBitsToText(settings.DataBits())},
        {"Paritaet", ParityToText(settings.Parity().Bits())},
        {"Stoppbits", StopBitsToText(settings.StopBits())},
        {"Fluss", FlowControlToText(settings.FlowControl().FlowControl())},
        {"NulVerwerfen", settings.DiscardNull() ? "1" : "0"},
    };
}
