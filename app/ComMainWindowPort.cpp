// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "app/ComMainWindowPort.h"

void ApplyMainWindowPortDefaults(TComPortSettings& settings) {
    settings.SetBaudRate(br1200);
    settings.Parity().SetBits(prNone);
    settings.SetStopBits(sbOneStopBit);
    settings.SetDataBits(dbEight);
    settings.SetDiscardNull(true);
    settings.SetEvents(TComEvents::All());
    // The device's own input queue holds this many bytes, and one delivery to the window takes
    // what the queue holds. With the 1 KiB of a new port a fast line costs two thread switches
    // per KiB; a queue of 16 KiB lets deliveries grow when bytes come faster than the window
    // takes them. Hardware flow control still stops the sender once queue and kernel are full.
    settings.Buffer().SetInputSize(MainWindowInputSize);

    TComFlowControl& flow = settings.FlowControl();
    flow.SetOutCTSFlow(false);
    flow.SetOutDSRFlow(false);
    flow.SetControlDTR(dtrEnable);
    flow.SetControlRTS(rtsDisable);
    flow.SetXonXoffOut(false);
    flow.SetXonXoffIn(false);
}
