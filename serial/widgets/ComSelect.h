// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/ComTypes.h"

#include <string>
#include <vector>

class TCustomComPort;

// Which setting of a port a setting list stands for.
enum TComProperty : std::uint8_t {
    cpNone,
    cpPort,
    cpBaudRate,
    cpDataBits,
    cpStopBits,
    cpParity,
    cpFlowControl
};

// The value a setting list holds for one setting of one port: taken from the text of a list
// item, written into the port on request. Every held value starts at zero (empty name, first
// enumerator).
class TComSelect {
public:
    TComProperty ComProperty() const noexcept { return property_; }
    void SetComProperty(TComProperty value) noexcept { property_ = value; }
    TCustomComPort* ComPort() const noexcept { return port_; }
    void SetComPort(TCustomComPort* value) noexcept { port_ = value; }
    bool AutoApply() const noexcept { return autoApply_; }
    void SetAutoApply(bool value) noexcept { autoApply_ = value; }

    // The choices of the setting, in list order (the port list from the system's devices).
    std::vector<std::string> Items() const;
    // The bound port's current value as list text; empty without a port or for cpNone.
    std::string PortValueText() const;
    // Converts `text` by the setting's kind and holds it.
    void TakeText(const std::string& text);
    // A choice of the user: held, and written at once when AutoApply is set.
    void Choose(const std::string& text);
    // Writes the held value through the bound port's setter; nothing without a port.
    void ApplyToPort() const;

    const std::string& PortName() const noexcept { return portName_; }
    TBaudRate BaudRate() const noexcept { return baudRate_; }
    TDataBits DataBits() const noexcept { return dataBits_; }
    TStopBits StopBits() const noexcept { return stopBits_; }
    TParityBits Parity() const noexcept { return parity_; }
    TFlowControl FlowControl() const noexcept { return flowControl_; }

private:
    TComProperty property_ = cpNone;
    TCustomComPort* port_ = nullptr;
    bool autoApply_ = false;
    std::string portName_;
    TBaudRate baudRate_{};
    TDataBits dataBits_{};
    TStopBits stopBits_{};
    TParityBits parity_{};
    TFlowControl flowControl_{};
};
