// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <exception>
#include <functional>

// The one way in which the serial component reports an error that no caller can catch (a
// handler's exception on the event thread, a device that went away): the application sets a
// hook that shows it, normally its standard error box.
//
// Reports reach the hook on the user-interface thread (the thread of QCoreApplication), always
// queued, one at a time and in the order they were made — never inside a blocking delivery of
// the event thread, so a modal box never runs while that thread waits. Without a hook the text
// goes to stderr as "Quorlits: <text>". Without a QCoreApplication there is no user-interface
// thread; the report is then handled at once on the calling thread.

using TComErrorHook = std::function<void(std::exception_ptr)>;

// Replaces the hook; an empty function restores the report on stderr. Any thread.
void SetComErrorHook(TComErrorHook hook);

// Queues `error` for the hook. Any thread; never throws.
void ReportComError(std::exception_ptr error) noexcept;

// Held on the user-interface thread while a blocking delivery runs there: reports wait until
// the last hold has ended. Holds nest.
class TComErrorHold {
public:
    TComErrorHold() noexcept;
    ~TComErrorHold();
    TComErrorHold(const TComErrorHold&) = delete;
    TComErrorHold& operator=(const TComErrorHold&) = delete;
};
