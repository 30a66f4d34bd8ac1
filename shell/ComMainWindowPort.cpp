// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "shell/ComMainWindowPort.h"

void ApplyMainWindowPortDefaults(TComPortSettings& settings) {
    settings.SetBaudRate(br1200);
    settings.Parity().SetBits(prNone);
    settings.SetStopBits(sbOneStopBit);
    settings.SetDataBits(dbEight);
    settings.SetDiscardNull(true);
    settings.SetEvents(TComEvents::All());

    TComFlowControl& flow = settings.FlowControl();
    flow.SetOutCTSFlow(false);
    flow.SetOutDSRFlow(false);
    flow.SetControlDTR(dtrEnable);
    flow.SetControlRTS(rtsDisable);
    flow.SetXonXoffOut(false);
    flow.SetXonXoffIn(false);
}
