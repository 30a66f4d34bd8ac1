// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/AsyncOperation.h"
#include "serial/ComEventSink.h"
#include "serial/ComLink.h"
#include "serial/ComPortSettings.h"
#include "serial/ComSettingsTarget.h"
#include "serial/ComTypes.h"
#include "serial/platform/ComDevice.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class TComThread;
class TCustomComPort;

// The handler types of a port; `Sender` is the port that calls them.
using TNotifyEvent = std::function<void(TCustomComPort* Sender)>;
using TRxCharEvent = std::function<void(TCustomComPort* Sender, int Count)>;
using TLineLostEvent = std::function<void(TCustomComPort* Sender, int Error)>;
using TRxBufEvent = std::function<void(TCustomComPort* Sender, const void* Buffer, int Count)>;
using TComSignalEvent = std::function<void(TCustomComPort* Sender, bool OnOff)>;
using TComErrorEvent = std::function<void(TCustomComPort* Sender, TComErrors Errors)>;

// A serial port: owns its device and its settings, applies the settings to the open device,
// reads and writes, runs an event thread while open (unless `Events` is empty) and turns the
// device's events into link notifications and handler calls. Every failure is raised as
// EComPort. Everything is called on the user-interface thread, except HandleEvent and the reads
// and queries it makes, which run where the event thread delivers (smNone: on that thread).
class TCustomComPort : public TComSettingsTarget, public TComEventSink, public TComPortSettings {
public:
    // A port on the POSIX serial device layer.
    TCustomComPort();
    // A port on the given device layer (tests pass a fake device).
    explicit TCustomComPort(std::unique_ptr<TComDevice> device);
    // Closes the port; an error on the way is reported through the error hook, never thrown.
    virtual ~TCustomComPort();
    TCustomComPort(const TCustomComPort&) = delete;
    TCustomComPort& operator=(const TCustomComPort&) = delete;

    // Opening and closing, with every notification of the two transitions. Open on an open
    // port and Close on a closed one do nothing.
    //
    // The device may still be releasing the descriptor of the last Close (see
    // TComDevice::Close); Open waits for that first, on the user-interface thread with the
    // events handled (AwaitDeviceRelease), and raises EComPort code 1 with EBUSY when that wait
    // ends early. An Open that comes from inside this wait does nothing: the waiting one opens.
    void Open();
    void Close();
    bool Connected() const noexcept { return connected_; }
    // True while Open waits for the device's release; handlers that would open or write the
    // port do nothing meanwhile.
    bool AwaitingRelease() const noexcept { return awaitingRelease_; }
    void SetConnected(bool value);

    // Restoring a stored port: the stored `Connected` is only remembered; Loaded then tries to
    // open the port, reporting a failure through the error hook and leaving the port closed.
    void SetConnectedOnLoad(bool value) noexcept { connectOnLoad_ = value; }
    void Loaded();

    // The device's name ("COM1", "ttyUSB0", "/dev/pts/3"). A different name (exact compare)
    // reopens an open port at once.
    const std::string& Port() const noexcept { return port_; }
    void SetPort(const std::string& value);

    // How events reach the handlers; takes effect at the next Open; refused while open.
    TSyncMethod SyncMethod() const noexcept { return syncMethod_; }
    void SetSyncMethod(TSyncMethod value);

    // Nestable batch of setting changes: the end of the outermost batch applies queue sizes,
    // line settings and timeouts once each.
    void BeginUpdate() noexcept { ++updateCount_; }
    void EndUpdate();
    int UpdateCount() const noexcept { return updateCount_; }

    TLineSignals ReadSignals();
    void AbortPendingIO();
    void ShowSettingsDialog();

    void AddLink(TComLink* link);
    void RemoveLink(TComLink* link);
    bool HasLink(const TComLink* link) const noexcept;

    // Controls bound to the port (lamps, setting lists) ask to be told when it goes away, so
    // they can unregister their links and forget it. The port calls every registered function
    // once from its destructor, after it has closed and before its list of links is released.
    // The returned number removes the registration again (a control that goes first).
    int AddFreeNotification(std::function<void(TCustomComPort&)> notify);
    void RemoveFreeNotification(int id) noexcept;

    // Reads and writes. Each waits for its transfer; the result is the number of bytes moved.
    int Write(const void* Buffer, int Count);
    int WriteText(const std::string& Text);
    int Read(void* Buffer, int Count);
    int ReadText(std::string& Text, int Count);
    // The same, started on a record of NewAsyncOperation; the result is the count known at
    // once. WaitForCompletion collects the count and raises the link notifications.
    int WriteAsync(const void* Buffer, int Count, TAsyncOperation* Operation);
    int WriteTextAsync(const std::string& Text, TAsyncOperation* Operation);
    int ReadAsync(void* Buffer, int Count, TAsyncOperation* Operation);
    int ReadTextAsync(std::string& Text, int Count, TAsyncOperation* Operation);
    int WaitForCompletion(TAsyncOperation* Operation);
    static PAsyncOperation NewAsyncOperation();
    static void FreeAsyncOperation(PAsyncOperation& Operation) noexcept;

    // The bytes waiting in the input queue, and the pending line errors; both clear the
    // device's pending error flags.
    int InputQueueCount();
    TComErrors ReadLineErrors();

    // The bytes written but not yet sent.
    int OutputQueueCount();
    // Sleeps in short steps until the output queue is empty (true) or `timeoutMs` has passed
    // (false); never longer. A port that is closed right after a write would discard what is
    // still queued; WriteDrainLimitMs gives a fitting bound.
    bool WaitForOutputEmpty(int timeoutMs);

    // The handling of one device event (links, then handlers), and the way batches travel.
    void HandleEvent(TComEvent event) override;
    TSyncMethod CurrentSyncMethod() const noexcept override { return syncMethod_; }

    // The settings groups on the open device; each does nothing while closed or in a batch.
    virtual void ApplySettings();
    void ApplyLineSettings() override;
    void ApplyTimeouts() override;
    void ApplyBufferSizes() override;

    TComDevice& Device() noexcept { return *device_; }

    TNotifyEvent OnAfterOpen;
    TNotifyEvent OnAfterClose;
    TNotifyEvent OnBeforeOpen;
    TNotifyEvent OnBeforeClose;
    TRxCharEvent OnRxChar;
    TRxBufEvent OnRxBuf;
    TNotifyEvent OnTxEmpty;
    TNotifyEvent OnBreak;
    TNotifyEvent OnRing;
    TComSignalEvent OnCTSChange;
    TComSignalEvent OnDSRChange;
    TComSignalEvent OnRLSDChange;
    TNotifyEvent OnRxFlag;
    TComErrorEvent OnError;
    TNotifyEvent OnRx80Full;
    // The device went away under an open port (unplugged, hung up): called on the user-interface
    // thread with the errno once the event thread has ended; the port stays open until closed.
    // Without a handler the loss is reported through the error hook as EComPort code 3.
    TLineLostEvent OnLineLost;
    void LineLost(int error) noexcept override;

protected:
    // Close for a destructor: errors go to the error hook, and the thread and the device are
    // gone afterwards. The destructor of the most derived class calls it, so that the event
    // thread has ended before any part of the object is torn down (it calls virtual members).
    void CloseQuietly() noexcept;

    virtual void OpenDevice();
    virtual void CloseDevice() noexcept;

    // Each calls its handler when one is assigned.
    virtual void DoAfterClose();
    virtual void DoAfterOpen();
    virtual void DoBeforeClose();
    virtual void DoBeforeOpen();
    virtual void DoRxChar(int Count);
    virtual void DoRxBuf(const void* Buffer, int Count);
    virtual void DoTxEmpty();
    virtual void DoBreak();
    virtual void DoRing();
    virtual void DoRxFlag();
    virtual void DoCTSChange(bool OnOff);
    virtual void DoDSRChange(bool OnOff);
    virtual void DoError(TComErrors Errors);
    virtual void DoRLSDChange(bool OnOff);
    virtual void DoRx80Full();

private:
    // Calls `callback` of every link that has it assigned, in registration order.
    template <typename Callback, typename... Args>
    void NotifyLinks(Callback TComLink::*callback, const Args&... args);

    bool CanApply() const noexcept { return connected_ && updateCount_ == 0; }
    void AwaitRelease();
    void StartThread();
    void NotifyAfterOpen();
    void NotifyBeforeClose();
    void UpdateReceiveDataFlag() noexcept;

    // A modem signal's state to the links, to the handler, or (read from the device) to both.
    void SignalToLinks(TLineSignal signal, bool on);
    void SignalToHandler(TLineSignal signal, bool on);
    void ReportSignal(TLineSignal signal);

    void HandleRxChar();
    void DeliverReceivedBuffer(int count);

    // Raises EComPort with `code` and the system's error number when `result` is a failure.
    static void Check(int result, int code);

    // Links are released last of all.
    std::vector<TComLink*> links_;
    std::vector<std::pair<int, std::function<void(TCustomComPort&)>>> freeNotifications_;
    int nextFreeNotification_ = 1;
    bool receiveData_ = false;
    std::unique_ptr<TComDevice> device_;
    std::unique_ptr<TComThread> thread_;
    std::string port_;
    TSyncMethod syncMethod_ = DefaultSyncMethod;
    bool connected_ = false;
    bool connectOnLoad_ = false;
    bool awaitingRelease_ = false;
    // A write was started and its transmit-empty event has not been handled yet. Set by
    // writes, cleared by the event (on the event thread with smNone).
    std::atomic<bool> transmitting_{false};
    int updateCount_ = 0;
    // Lets a loss reported from the event thread find out on the user-interface thread
    // whether the port still exists.
    std::shared_ptr<TCustomComPort*> alive_ = std::make_shared<TCustomComPort*>(this);
};

// The setup dialog that ShowSettingsDialog runs on a port; none by default, and an empty
// function removes it.
void SetComSettingsDialog(std::function<void(TCustomComPort&)> dialog);

template <typename Callback, typename... Args>
void TCustomComPort::NotifyLinks(Callback TComLink::*callback, const Args&... args) {
    // A callback may register or unregister links; the ones registered at the start are told.
    const std::vector<TComLink*> links = links_;
    for (TComLink* link : links) {
        if (link->*callback) {
            (link->*callback)(this, args...);
        }
    }
}
