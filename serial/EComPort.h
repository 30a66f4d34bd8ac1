// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <stdexcept>
#include <string>

// The error of the serial port component: a code of its message table and, where the system
// reported one, the system's error number (an errno value here).
class EComPort : public std::runtime_error {
public:
    static constexpr int NoSystemCode = -1;

    explicit EComPort(int code, int systemCode = NoSystemCode);

    int Code() const noexcept { return code_; }
    int SystemCode() const noexcept { return systemCode_; }

private:
    int code_;
    int systemCode_;
};

// The message of `code` (1 to 23), followed by " (win error code: N)" when a system code is given.
std::string ComPortMessage(int code, int systemCode = EComPort::NoSystemCode);

// The codes of the message table, by what failed.
enum TComPortErrorCode : int {
    CError_OpenFailed = 1,
    CError_WriteFailed = 2,
    CError_ReadFailed = 3,
    CError_InvalidAsync = 4,
    CError_PurgeFailed = 5,
    CError_AsyncCheck = 6,
    CError_SetStateFailed = 7,
    CError_TimeoutsFailed = 8,
    CError_SetupComFailed = 9,
    CError_ClearComFailed = 10,
    CError_ModemStatFailed = 11,
    CError_EscapeComFailed = 12,
    CError_TransmitFailed = 13,
    CError_ConnChangeProp = 14,
    CError_EnumPortsFailed = 15,
    CError_StoreFailed = 16,
    CError_LoadFailed = 17,
    CError_RegFailed = 18,
    CError_LedStateFailed = 19,
    CError_ThreadCreated = 20,
    CError_WaitFailed = 21,
    CError_HasLink = 22,
    CError_RegError = 23,
};
