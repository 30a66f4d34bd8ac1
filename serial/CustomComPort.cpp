// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/CustomComPort.h"

#include "serial/ComDcb.h"
#include "serial/ComErrorHook.h"
#include "serial/ComEventMask.h"
#include "serial/ComThread.h"
#include "serial/DeviceRelease.h"
#include "serial/EComPort.h"
#include "serial/platform/ComPlatformTypes.h"
#include "serial/platform/PosixComDevice.h"

#include <algorithm>
#include <cerrno>
#include <exception>
#include <utility>

namespace {

std::function<void(TCustomComPort&)>& SettingsDialog() {
    static std::function<void(TCustomComPort&)> dialog;
    return dialog;
}

} // namespace

void SetComSettingsDialog(std::function<void(TCustomComPort&)> dialog) {
    SettingsDialog() = std::move(dialog);
}

TCustomComPort::TCustomComPort()
    : TCustomComPort(std::make_unique<TPosixComDevice>()) {}

TCustomComPort::TCustomComPort(std::unique_ptr<TComDevice> device)
    : TComPortSettings(this)
    , device_(std::move(device))
    , port_(DefaultPortName) {}

TCustomComPort::~TCustomComPort() {
    CloseQuietly();
    // A control may remove its own or another registration while being told.
    while (!freeNotifications_.empty()) {
        const auto notify = std::move(freeNotifications_.front().second);
        freeNotifications_.erase(freeNotifications_.begin());
        try {
            notify(*this);
        } catch (...) {
            ReportComError(std::current_exception());
        }
    }
}

int TCustomComPort::AddFreeNotification(std::function<void(TCustomComPort&)> notify) {
    freeNotifications_.emplace_back(nextFreeNotification_, std::move(notify));
    return nextFreeNotification_++;
}

void TCustomComPort::RemoveFreeNotification(int id) noexcept {
    std::erase_if(freeNotifications_, [id](const auto& entry) { return entry.first == id; });
}

void TCustomComPort::Check(int result, int code) {
    if (result != 0) {
        throw EComPort(code, result);
    }
}

// Open and close

void TCustomComPort::Open() {
    if (connected_ || awaitingRelease_) {
        return;
    }
    AwaitRelease();
    DoBeforeOpen();
    if (connected_) {
        return; // the handler opened the port itself
    }
    OpenDevice();
    connected_ = true;
    try {
        ApplySettings();
        StartThread();
    } catch (...) {
        CloseDevice();
        connected_ = false;
        throw;
    }
    NotifyAfterOpen();
}

void TCustomComPort::AwaitRelease() {
    awaitingRelease_ = true;
    bool released = false;
    try {
        released = AwaitDeviceRelease(*device_);
    } catch (...) {
        awaitingRelease_ = false;
        throw;
    }
    awaitingRelease_ = false;
    if (!released) {
        throw EComPort(CError_OpenFailed, EBUSY);
    }
}

void TCustomComPort::StartThread() {
    if (!Events().Empty()) {
        thread_ = std::make_unique<TComThread>(*device_, *this, Events());
    }
}

void TCustomComPort::NotifyAfterOpen() {
    NotifyLinks(&TComLink::OnConnection, true);
    DoAfterOpen();
    ReportSignal(sigCTS);
    ReportSignal(sigDSR);
    ReportSignal(sigRLSD);
}

void TCustomComPort::Close() {
    if (!connected_) {
        return;
    }
    NotifyBeforeClose();
    if (!connected_) {
        return; // a handler closed the port itself
    }
    AbortPendingIO();
    // Stops the event thread and waits for it; no delivery of it runs afterwards.
    thread_.reset();
    CloseDevice();
    connected_ = false;
    if (transmitting_.exchange(false)) {
        // Closing discarded what was still queued; no transmit-empty event follows.
        NotifyLinks(&TComLink::OnTransmitting, false);
    }
    NotifyLinks(&TComLink::OnConnection, false);
    DoAfterClose();
}

void TCustomComPort::NotifyBeforeClose() {
    for (TLineSignal signal : {sigCTS, sigDSR, sigRLSD}) {
        SignalToLinks(signal, false);
    }
    for (TLineSignal signal : {sigCTS, sigDSR, sigRLSD}) {
        SignalToHandler(signal, false);
    }
    DoBeforeClose();
}

void TCustomComPort::CloseQuietly() noexcept {
    try {
        Close();
    } catch (...) {
        ReportComError(std::current_exception());
    }
    // A failed Close leaves the port open; the thread and the device go nevertheless.
    thread_.reset();
    CloseDevice();
    connected_ = false;
}

void TCustomComPort::SetConnected(bool value) {
    if (value == connected_) {
        return;
    }
    if (value) {
        Open();
    } else {
        Close();
    }
}

void TCustomComPort::Loaded() {
    if (!connectOnLoad_) {
        return;
    }
    connectOnLoad_ = false;
    try {
        Open();
    } catch (...) {
        ReportComError(std::current_exception());
    }
}

void TCustomComPort::OpenDevice() {
    Check(device_->Open(port_), CError_OpenFailed);
}

void TCustomComPort::CloseDevice() noexcept {
    device_->Close();
}

// Properties that act on the open port

void TCustomComPort::SetPort(const std::string& value) {
    if (value == port_) {
        return;
    }
    port_ = value;
    if (connected_) {
        Close();
        Open();
    }
}

void TCustomComPort::SetSyncMethod(TSyncMethod value) {
    if (value == syncMethod_) {
        return;
    }
    if (connected_) {
        throw EComPort(CError_ConnChangeProp);
    }
    syncMethod_ = value;
}

// Applying the settings

void TCustomComPort::EndUpdate() {
    if (updateCount_ == 0) {
        return;
    }
    if (--updateCount_ == 0) {
        ApplySettings();
    }
}

void TCustomComPort::ApplySettings() {
    ApplyBufferSizes();
    ApplyLineSettings();
    ApplyTimeouts();
}

void TCustomComPort::ApplyBufferSizes() {
    if (CanApply()) {
        const TQueueSizes sizes = BuildQueueSizes(Buffer());
        Check(device_->SetupComm(sizes.InputSize, sizes.OutputSize), CError_SetupComFailed);
    }
}

void TCustomComPort::ApplyLineSettings() {
    if (CanApply()) {
        Check(device_->SetCommState(BuildDCB(*this)), CError_SetStateFailed);
    }
}

void TCustomComPort::ApplyTimeouts() {
    if (CanApply()) {
        Check(device_->SetCommTimeouts(BuildCommTimeouts(Timeouts())), CError_TimeoutsFailed);
    }
}

// Device status

TLineSignals TCustomComPort::ReadSignals() {
    std::uint32_t status = 0;
    Check(device_->GetCommModemStatus(status), CError_ModemStatFailed);
    return ModemStatusToSignals(status);
}

void TCustomComPort::AbortPendingIO() {
    Check(device_->PurgeComm(WinComm::PurgeTxAbort | WinComm::PurgeRxAbort), CError_PurgeFailed);
}

void TCustomComPort::ShowSettingsDialog() {
    // A copy: the dialog may replace the hook while it runs.
    const std::function<void(TCustomComPort&)> dialog = SettingsDialog();
    if (dialog) {
        dialog(*this);
    }
}

// Links

bool TCustomComPort::HasLink(const TComLink* link) const noexcept {
    return std::find(links_.begin(), links_.end(), link) != links_.end();
}

void TCustomComPort::AddLink(TComLink* link) {
    if (link == nullptr || HasLink(link)) {
        throw EComPort(CError_RegFailed);
    }
    links_.push_back(link);
    UpdateReceiveDataFlag();
}

void TCustomComPort::RemoveLink(TComLink* link) {
    const auto found = std::find(links_.begin(), links_.end(), link);
    if (link == nullptr || found == links_.end()) {
        throw EComPort(CError_RegFailed);
    }
    links_.erase(found);
    UpdateReceiveDataFlag();
}

void TCustomComPort::UpdateReceiveDataFlag() noexcept {
    receiveData_ = std::any_of(links_.begin(), links_.end(), [](const TComLink* link) {
        return static_cast<bool>(link->OnReceiveBuffer);
    });
}
