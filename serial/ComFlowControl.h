// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/ComSettingsObject.h"
#include "serial/ComTypes.h"

// The flow control of a port: CTS/DSR output flow, the DTR and RTS lines, Xon/Xoff in both
// directions with their characters. A change of any field re-applies the line settings on the
// bound port.
class TComFlowControl : public TComSettingsObject {
public:
    explicit TComFlowControl(TComSettingsTarget* port = nullptr) noexcept;
    TComFlowControl(const TComFlowControl& other) noexcept = default; // same fields, no port
    TComFlowControl& operator=(const TComFlowControl&) = delete;

    // Copies every field of `source`; re-applies nothing.
    void Assign(const TComFlowControl& source) noexcept { fields_ = source.fields_; }

    // The shorthand, derived from ControlRTS, OutCTSFlow and the two Xon/Xoff flags: fcHardware
    // for RTS handshake with CTS flow and no Xon/Xoff, fcSoftware for RTS off without CTS flow
    // and Xon/Xoff both ways, fcNone for RTS off and no flow control at all, else fcCustom.
    TFlowControl FlowControl() const noexcept;

    // Sets those four fields to the shorthand's pattern (fcCustom leaves them alone) and then
    // always re-applies the line settings, also when nothing changed.
    void SetFlowControl(TFlowControl value);

    bool OutCTSFlow() const noexcept { return fields_.outCTSFlow; }
    bool OutDSRFlow() const noexcept { return fields_.outDSRFlow; }
    TDTRFlowControl ControlDTR() const noexcept { return fields_.controlDTR; }
    TRTSFlowControl ControlRTS() const noexcept { return fields_.controlRTS; }
    bool XonXoffOut() const noexcept { return fields_.xonXoffOut; }
    bool XonXoffIn() const noexcept { return fields_.xonXoffIn; }
    bool DSRSensitivity() const noexcept { return fields_.dsrSensitivity; }
    bool TxContinueOnXoff() const noexcept { return fields_.txContinueOnXoff; }
    char XonChar() const noexcept { return fields_.xonChar; }
    char XoffChar() const noexcept { return fields_.xoffChar; }

    void SetOutCTSFlow(bool value);
    void SetOutDSRFlow(bool value);
    void SetControlDTR(TDTRFlowControl value);
    void SetControlRTS(TRTSFlowControl value);
    void SetXonXoffOut(bool value);
    void SetXonXoffIn(bool value);
    void SetDSRSensitivity(bool value);
    void SetTxContinueOnXoff(bool value);
    void SetXonChar(char value);
    void SetXoffChar(char value);

private:
    struct Fields {
        bool outCTSFlow = false;
        bool outDSRFlow = false;
        TDTRFlowControl controlDTR = dtrDisable;
        TRTSFlowControl controlRTS = rtsDisable;
        bool xonXoffOut = false;
        bool xonXoffIn = false;
        bool dsrSensitivity = false;
        bool txContinueOnXoff = false;
        char xonChar = 0x11;  // DC1
        char xoffChar = 0x13; // DC3
    };
    Fields fields_;
};
