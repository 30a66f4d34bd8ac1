// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/ComFlowControl.h"

TComFlowControl::TComFlowControl(TComSettingsTarget* port) noexcept
    : TComSettingsObject(port, &TComSettingsTarget::ApplyLineSettings) {}

TFlowControl TComFlowControl::FlowControl() const noexcept {
    const Fields& f = fields_;
    const bool noXonXoff = !f.xonXoffIn && !f.xonXoffOut;
    const bool bothXonXoff = f.xonXoffIn && f.xonXoffOut;
    if (f.controlRTS == rtsHandshake && f.outCTSFlow && noXonXoff) {
        return fcHardware;
    }
    if (f.controlRTS == rtsDisable && !f.outCTSFlow) {
        if (bothXonXoff) {
            return fcSoftware;
        }
        if (noXonXoff) {
            return fcNone;
        }
    }
    return fcCustom;
}

void TComFlowControl::SetFlowControl(TFlowControl value) {
    if (value == fcHardware || value == fcSoftware || value == fcNone) {
        fields_.controlRTS = value == fcHardware ? rtsHandshake : rtsDisable;
        fields_.outCTSFlow = value == fcHardware;
        fields_.xonXoffIn = value == fcSoftware;
        fields_.xonXoffOut = value == fcSoftware;
    }
    Reapply();
}

void TComFlowControl::SetOutCTSFlow(bool value) {
    Change(fields_.outCTSFlow, value);
}
void TComFlowControl::SetOutDSRFlow(bool value) {
    Change(fields_.outDSRFlow, value);
}
void TComFlowControl::SetControlDTR(TDTRFlowControl value) {
    Change(fields_.controlDTR, value);
}
void TComFlowControl::SetControlRTS(TRTSFlowControl value) {
    Change(fields_.controlRTS, value);
}
void TComFlowControl::SetXonXoffOut(bool value) {
    Change(fields_.xonXoffOut, value);
}
void TComFlowControl::SetXonXoffIn(bool value) {
    Change(fields_.xonXoffIn, value);
}
void TComFlowControl::SetDSRSensitivity(bool value) {
    Change(fields_.dsrSensitivity, value);
}
void TComFlowControl::SetTxContinueOnXoff(bool value) {
    Change(fields_.txContinueOnXoff, value);
}
void TComFlowControl::SetXonChar(char value) {
    Change(fields_.xonChar, value);
}
void TComFlowControl::SetXoffChar(char value) {
    Change(fields_.xoffChar, value);
}
