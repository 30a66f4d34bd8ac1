// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/ComErrorHook.h"
#include "serial/ComPort.h"
#include "serial/EComPort.h"
#include "serial/platform/FakeComDevice.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

// A port on a fake device with one link, both able to write every notification they receive
// into one log ("AfterOpen", "CTSChange(1)", "link.Receiving(0)", "RxChar(3)", ...). The log
// takes entries from any thread.
class PortRig {
    // Declared first so that the handlers the port calls while it is destroyed still log.
    mutable std::mutex mutex_;
    std::vector<std::string> log_;

public:
    PortRig()
        : PortRig(std::make_unique<TFakeComDevice>()) {}

    TFakeComDevice& fake;
    TComLink link; // outlives the port, which still notifies it while it is destroyed
    TComPort port;

    void Add(std::string entry) {
        const std::lock_guard lock(mutex_);
        log_.push_back(std::move(entry));
    }
    std::vector<std::string> Log() const {
        const std::lock_guard lock(mutex_);
        return log_;
    }
    void ClearLog() {
        const std::lock_guard lock(mutex_);
        log_.clear();
    }

    // Every handler of the port logs itself.
    void RecordHandlers() {
        port.OnAfterOpen = Notify("AfterOpen");
        port.OnAfterClose = Notify("AfterClose");
        port.OnBeforeOpen = Notify("BeforeOpen");
        port.OnBeforeClose = Notify("BeforeClose");
        port.OnRxChar = [this](TCustomComPort*, int count) {
            Add("RxChar(" + std::to_string(count) + ")");
        };
        port.OnRxBuf = [this](TCustomComPort*, const void* buffer, int count) {
            Add("RxBuf(" + std::string(static_cast<const char*>(buffer), Size(count)) + ")");
        };
        port.OnTxEmpty = Notify("TxEmpty");
        port.OnBreak = Notify("Break");
        port.OnRing = Notify("Ring");
        port.OnCTSChange = Signal("CTSChange");
        port.OnDSRChange = Signal("DSRChange");
        port.OnRLSDChange = Signal("RLSDChange");
        port.OnRxFlag = Notify("RxFlag");
        port.OnError = [this](TCustomComPort*, TComErrors errors) {
            Add("Error(" + std::to_string(errors.Bits()) + ")");
        };
        port.OnRx80Full = Notify("Rx80Full");
    }

    // Every callback of `target` logs itself with `prefix` (the rig's own link: "link.").
    void RecordLink(TComLink& target, const std::string& prefix) {
        target.OnConnection = Signal(prefix + "Connection");
        target.OnReceiveBuffer = Buffer(prefix + "ReceiveBuffer");
        target.OnTransmitBuffer = Buffer(prefix + "TransmitBuffer");
        target.OnTransmitEmpty = Notify(prefix + "TransmitEmpty");
        target.OnReceiveFlag = Notify(prefix + "ReceiveFlag");
        target.OnCTSSignal = Signal(prefix + "CTS");
        target.OnDSRSignal = Signal(prefix + "DSR");
        target.OnRLSDSignal = Signal(prefix + "RLSD");
        target.OnRingSignal = Notify(prefix + "Ring");
        target.OnTransmitting = Signal(prefix + "Transmitting");
        target.OnReceiving = Signal(prefix + "Receiving");
    }

    // The rig's link, registered, logging everything except received buffers (a link with
    // OnReceiveBuffer takes the received bytes away from OnRxChar).
    void RecordLinkWithoutBuffer() {
        RecordLink(link, "link.");
        link.OnReceiveBuffer = nullptr;
        port.AddLink(&link);
    }

    // Opens with no event thread, so that the test alone drives the events.
    void OpenQuiet() {
        port.SetEvents({});
        port.Open();
    }

private:
    explicit PortRig(std::unique_ptr<TFakeComDevice> device)
        : fake(*device)
        , port(std::move(device)) {}

    static std::size_t Size(int count) { return count > 0 ? static_cast<std::size_t>(count) : 0; }

    std::function<void(TCustomComPort*)> Notify(std::string name) {
        return [this, name](TCustomComPort*) { Add(name); };
    }
    std::function<void(TCustomComPort*, bool)> Signal(std::string name) {
        return [this, name](TCustomComPort*, bool on) { Add(name + "(" + (on ? "1" : "0") + ")"); };
    }
    TComLink::TBuffer Buffer(std::string name) {
        return [this, name](TCustomComPort*, const void* data, std::size_t count) {
            Add(name + "(" + std::string(static_cast<const char*>(data), count) + ")");
        };
    }
};

// Runs `action` and returns the EComPort it raised; fails the test when it raised none.
template <typename Action>
EComPort CatchComPort(Action&& action) {
    try {
        std::forward<Action>(action)();
    } catch (const EComPort& error) {
        return error;
    }
    ADD_FAILURE() << "no EComPort raised";
    return EComPort(0);
}

using Log = std::vector<std::string>;

// Collects the errors reported through the error hook while it lives: their EComPort codes (0
// for any other error) and messages.
class ErrorCapture {
public:
    ErrorCapture() {
        SetComErrorHook([this](std::exception_ptr error) { Add(error); });
    }
    ~ErrorCapture() { SetComErrorHook(nullptr); }
    ErrorCapture(const ErrorCapture&) = delete;
    ErrorCapture& operator=(const ErrorCapture&) = delete;

    std::vector<int> Codes() const {
        const std::lock_guard lock(mutex_);
        return codes_;
    }
    std::vector<std::string> Messages() const {
        const std::lock_guard lock(mutex_);
        return messages_;
    }

private:
    void Add(const std::exception_ptr& error) {
        const std::lock_guard lock(mutex_);
        try {
            std::rethrow_exception(error);
        } catch (const EComPort& e) {
            codes_.push_back(e.Code());
            messages_.emplace_back(e.what());
        } catch (const std::exception& e) {
            codes_.push_back(0);
            messages_.emplace_back(e.what());
        } catch (...) {
            codes_.push_back(0);
            messages_.emplace_back("?");
        }
    }

    mutable std::mutex mutex_;
    std::vector<int> codes_;
    std::vector<std::string> messages_;
};
