// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/ComErrorHook.h"

#include "serial/TsanHandover.h"

#include <QCoreApplication>

#include <cstdio>
#include <deque>
#include <mutex>
#include <utility>

namespace {

struct TReports {
    std::mutex mutex;
    TComErrorHook hook;
    std::deque<std::exception_ptr> pending;
};

TReports& Reports() {
    static TReports reports;
    return reports;
}

// Both belong to the user-interface thread: the depth of blocking deliveries running there, and
// whether a report is being shown there (a modal box runs its own event loop, in which a second
// report must wait instead of opening a second box).
thread_local int holdDepth = 0;
thread_local bool showing = false;

void WriteToStderr(const std::exception_ptr& error) noexcept {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Quorlits: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "Quorlits: unknown error\n");
    }
}

void Show(const std::exception_ptr& error) noexcept {
    TComErrorHook hook;
    {
        std::lock_guard lock(Reports().mutex);
        hook = Reports().hook;
    }
    if (!hook) {
        WriteToStderr(error);
        return;
    }
    try {
        hook(error);
    } catch (...) {
        // Nothing may cross Qt's event loop; the report itself must not get lost.
        WriteToStderr(error);
    }
}

bool TakeNext(std::exception_ptr& error) {
    std::lock_guard lock(Reports().mutex);
    if (Reports().pending.empty()) {
        return false;
    }
    error = std::move(Reports().pending.front());
    Reports().pending.pop_front();
    return true;
}

bool AnyPending() {
    std::lock_guard lock(Reports().mutex);
    return !Reports().pending.empty();
}

// Shows the pending reports one after another; on the user-interface thread.
void ShowPending() noexcept {
    if (showing || holdDepth > 0) {
        return; // the running loop, or the end of the last hold, takes them on
    }
    showing = true;
    std::exception_ptr error;
    while (TakeNext(error)) {
        Show(error);
    }
    showing = false;
}

// False when there is no user-interface thread to queue on.
bool QueueShowPending() noexcept {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr) {
        return false;
    }
    try {
        PostHandedOver(app, &ShowPending);
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace

void SetComErrorHook(TComErrorHook hook) {
    std::lock_guard lock(Reports().mutex);
    Reports().hook = std::move(hook);
}

void ReportComError(std::exception_ptr error) noexcept {
    if (!error) {
        return;
    }
    try {
        std::lock_guard lock(Reports().mutex);
        Reports().pending.push_back(error);
    } catch (...) {
        WriteToStderr(error);
        return;
    }
    if (!QueueShowPending()) {
        std::exception_ptr next;
        while (TakeNext(next)) {
            Show(next);
        }
    }
}

TComErrorHold::TComErrorHold() noexcept {
    ++holdDepth;
}

TComErrorHold::~TComErrorHold() {
    if (--holdDepth == 0 && AnyPending()) {
        QueueShowPending();
    }
}
