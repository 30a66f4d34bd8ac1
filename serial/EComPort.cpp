// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/EComPort.h"

#include <array>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 23> Messages = {
    "Unable to open com port",
    "WriteFile function failed",
    "ReadFile function failed",
    "Invalid Async parameter",
    "PurgeComm function failed",
    "Unable to get async status",
    "SetCommState function failed",
    "SetCommTimeouts failed",
    "SetupComm function failed",
    "ClearCommError function failed",
    "GetCommModemStatus function failed",
    "EscapeCommFunction function failed",
    "TransmitCommChar function failed",
    "Cannot set property while connected",
    "EnumPorts function failed",
    "Failed to store settings",
    "Failed to load settings",
    "Link (un)registration failed",
    "Cannot change led state if ComPort is selected",
    "Cannot wait for event if event thread is created",
    "WaitForEvent method failed",
    "A component is linked to OnRxBuf event",
    "Registry error",
};

} // namespace

std::string ComPortMessage(int code, int systemCode) {
    std::string message = code >= 1 && code <= static_cast<int>(Messages.size())
                              ? std::string(Messages[static_cast<std::size_t>(code - 1)])
                              : "Unknown error " + std::to_string(code);
    if (systemCode != EComPort::NoSystemCode) {
        message += " (win error code: " + std::to_string(systemCode) + ")";
    }
    return message;
}

EComPort::EComPort(int code, int systemCode)
    : std::runtime_error(ComPortMessage(code, systemCode))
    , code_(code)
    , systemCode_(systemCode) {}
