// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <cstddef>
#include <functional>

class TCustomComPort;

// What a control registers with a port to follow it (the status lamps do). Every callback is
// optional; the port calls the assigned ones, in the order the links were registered. `Sender`
// is the port (TCustomComPort). A link is owned by its control, never by the port.
class TComLink {
public:
    using TSignal = std::function<void(TCustomComPort* sender, bool onOff)>;
    using TNotify = std::function<void(TCustomComPort* sender)>;
    using TBuffer =
        std::function<void(TCustomComPort* sender, const void* buffer, std::size_t count)>;

    TSignal OnConnection;     // the port has opened (true) or closed (false)
    TBuffer OnReceiveBuffer;  // received bytes that the port read on the link's behalf
    TBuffer OnTransmitBuffer; // a write completed; the port's copy of the written bytes
    TNotify OnTransmitEmpty;  // the output queue became empty
    TNotify OnReceiveFlag;    // the event character was received
    TSignal OnCTSSignal;      // CTS reported on or off
    TSignal OnDSRSignal;      // DSR reported on or off
    TSignal OnRLSDSignal;     // RLSD (carrier) reported on or off
    TNotify OnRingSignal;     // a ring was detected
    TSignal OnTransmitting;   // a write started (true); the output queue became empty or the
                              // port closed with a write under way (false)
    TSignal OnReceiving;      // received bytes wait (true) or a read emptied the queue (false)
};
