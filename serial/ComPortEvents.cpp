// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The port's handling of device events and its notification operations.
#include "serial/CustomComPort.h"

#include "serial/ComErrorHook.h"

#include <QCoreApplication>

#include <cstddef>
#include <memory>
#include <vector>

namespace {

// Calls `handler` with the arguments when one is assigned.
template <typename Handler, typename... Args>
void Call(const Handler& handler, TCustomComPort* sender, const Args&... args) {
    if (handler) {
        handler(sender, args...);
    }
}

} // namespace

void TCustomComPort::HandleEvent(TComEvent event) {
    // A delivery that reaches a port that has closed in the meantime has nothing to act on.
    if (!connected_) {
        return;
    }
    switch (event) {
    case evError: {
        const TComErrors errors = ReadLineErrors();
        if (!errors.Empty()) {
            DoError(errors);
        }
        break;
    }
    case evRxChar:
        HandleRxChar();
        break;
    case evTxEmpty:
        transmitting_ = false;
        NotifyLinks(&TComLink::OnTransmitting, false);
        NotifyLinks(&TComLink::OnTransmitEmpty);
        DoTxEmpty();
        break;
    case evBreak:
        DoBreak();
        break;
    case evRing:
        NotifyLinks(&TComLink::OnRingSignal);
        DoRing();
        break;
    case evCTS:
        ReportSignal(sigCTS);
        break;
    case evDSR:
        ReportSignal(sigDSR);
        break;
    case evRxFlag:
        NotifyLinks(&TComLink::OnReceiveFlag);
        DoRxFlag();
        break;
    case evRLSD:
        ReportSignal(sigRLSD);
        break;
    case evRx80Full:
        DoRx80Full();
        break;
    }
}

void TCustomComPort::HandleRxChar() {
    const int count = InputQueueCount();
    if (count <= 0) {
        return;
    }
    NotifyLinks(&TComLink::OnReceiving, true);
    if (receiveData_) {
        DeliverReceivedBuffer(count);
    } else {
        DoRxChar(count);
    }
}

// Reads the waiting bytes once for the OnRxBuf handler and every link that wants them; the
// OnRxChar handler then has nothing left to be told about.
void TCustomComPort::DeliverReceivedBuffer(int count) {
    std::vector<std::byte> buffer(static_cast<std::size_t>(count));
    const int read = Read(buffer.data(), count);
    if (read <= 0) {
        return;
    }
    DoRxBuf(buffer.data(), read);
    NotifyLinks(&TComLink::OnReceiveBuffer, static_cast<const void*>(buffer.data()),
                static_cast<std::size_t>(read));
}

void TCustomComPort::ReportSignal(TLineSignal signal) {
    const bool on = ReadSignals().Contains(signal);
    SignalToLinks(signal, on);
    SignalToHandler(signal, on);
}

void TCustomComPort::SignalToLinks(TLineSignal signal, bool on) {
    switch (signal) {
    case sigCTS:
        NotifyLinks(&TComLink::OnCTSSignal, on);
        break;
    case sigDSR:
        NotifyLinks(&TComLink::OnDSRSignal, on);
        break;
    case sigRLSD:
        NotifyLinks(&TComLink::OnRLSDSignal, on);
        break;
    case sigRing:
        break; // a ring is an event of its own, not a state
    }
}

void TCustomComPort::SignalToHandler(TLineSignal signal, bool on) {
    switch (signal) {
    case sigCTS:
        DoCTSChange(on);
        break;
    case sigDSR:
        DoDSRChange(on);
        break;
    case sigRLSD:
        DoRLSDChange(on);
        break;
    case sigRing:
        break;
    }
}

void TCustomComPort::DoAfterClose() {
    Call(OnAfterClose, this);
}
void TCustomComPort::DoAfterOpen() {
    Call(OnAfterOpen, this);
}
void TCustomComPort::DoBeforeClose() {
    Call(OnBeforeClose, this);
}
void TCustomComPort::DoBeforeOpen() {
    Call(OnBeforeOpen, this);
}
void TCustomComPort::DoRxChar(int Count) {
    Call(OnRxChar, this, Count);
}
void TCustomComPort::DoRxBuf(const void* Buffer, int Count) {
    Call(OnRxBuf, this, Buffer, Count);
}
void TCustomComPort::DoTxEmpty() {
    Call(OnTxEmpty, this);
}
void TCustomComPort::DoBreak() {
    Call(OnBreak, this);
}
void TCustomComPort::DoRing() {
    Call(OnRing, this);
}
void TCustomComPort::DoRxFlag() {
    Call(OnRxFlag, this);
}
void TCustomComPort::DoCTSChange(bool OnOff) {
    Call(OnCTSChange, this, OnOff);
}
void TCustomComPort::DoDSRChange(bool OnOff) {
    Call(OnDSRChange, this, OnOff);
}
void TCustomComPort::DoError(TComErrors Errors) {
    Call(OnError, this, Errors);
}
void TCustomComPort::DoRLSDChange(bool OnOff) {
    Call(OnRLSDChange, this, OnOff);
}
void TCustomComPort::DoRx80Full() {
    Call(OnRx80Full, this);
}

void TCustomComPort::LineLost(int error) noexcept {
    QCoreApplication* app = QCoreApplication::instance();
    if (!OnLineLost || app == nullptr) {
        TComEventSink::LineLost(error);
        return;
    }
    const auto arrived = [alive = std::weak_ptr<TCustomComPort*>(alive_), error] {
        const auto port = alive.lock();
        if (!port) {
            return; // closed and gone: nobody waits for the line any more
        }
        TCustomComPort& self = **port;
        try {
            if (self.OnLineLost) {
                self.OnLineLost(&self, error);
            } else {
                self.TComEventSink::LineLost(error);
            }
        } catch (...) {
            ReportComError(std::current_exception());
        }
    };
    try {
        QMetaObject::invokeMethod(app, arrived, Qt::QueuedConnection);
    } catch (...) {
        TComEventSink::LineLost(error);
    }
}
