// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/widgets/ComSelect.h"

#include "serial/ComTexts.h"
#include "serial/CustomComPort.h"
#include "serial/widgets/ComPortList.h"

#include <span>
#include <string_view>

namespace {

std::vector<std::string> Texts(std::span<const std::string_view> texts) {
    return {texts.begin(), texts.end()};
}

} // namespace

std::vector<std::string> TComSelect::Items() const {
    switch (property_) {
    case cpPort: {
        std::vector<std::string> ports;
        EnumerateComPorts(ports);
        return ports;
    }
    case cpBaudRate:
        return Texts(BaudRateTexts());
    case cpDataBits:
        return Texts(DataBitsTexts());
    case cpStopBits:
        return Texts(StopBitsTexts());
    case cpParity:
        return Texts(ParityTexts());
    case cpFlowControl:
        return Texts(FlowControlTexts());
    case cpNone:
        break;
    }
    return {};
}

std::string TComSelect::PortValueText() const {
    if (port_ == nullptr) {
        return {};
    }
    switch (property_) {
    case cpPort:
        return port_->Port();
    case cpBaudRate:
        return BaudRateToText(port_->BaudRate());
    case cpDataBits:
        return DataBitsToText(port_->DataBits());
    case cpStopBits:
        return StopBitsToText(port_->StopBits());
    case cpParity:
        return ParityToText(port_->Parity().Bits());
    case cpFlowControl:
        return FlowControlToText(port_->FlowControl().FlowControl());
    case cpNone:
        break;
    }
    return {};
}

void TComSelect::TakeText(const std::string& text) {
    switch (property_) {
    case cpPort:
        portName_ = text;
        break;
    case cpBaudRate:
        baudRate_ = TextToBaudRate(text);
        break;
    case cpDataBits:
        dataBits_ = TextToDataBits(text);
        break;
    case cpStopBits:
        stopBits_ = TextToStopBits(text);
        break;
    case cpParity:
        parity_ = TextToParity(text);
        break;
    case cpFlowControl:
        flowControl_ = TextToFlowControl(text);
        break;
    case cpNone:
        break;
    }
}

void TComSelect::Choose(const std::string& text) {
    TakeText(text);
    if (autoApply_) {
        ApplyToPort();
    }
}

void TComSelect::ApplyToPort() const {
    if (port_ == nullptr) {
        return;
    }
    switch (property_) {
    case cpPort:
        port_->SetPort(portName_);
        break;
    case cpBaudRate:
        port_->SetBaudRate(baudRate_);
        break;
    case cpDataBits:
        port_->SetDataBits(dataBits_);
        break;
    case cpStopBits:
        port_->SetStopBits(stopBits_);
        break;
    case cpParity:
        port_->Parity().SetBits(parity_);
        break;
    case cpFlowControl:
        port_->FlowControl().SetFlowControl(flowControl_);
        break;
    case cpNone:
        break;
    }
}
