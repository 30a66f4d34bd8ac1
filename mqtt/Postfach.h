// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <deque>
#include <functional>
#include <mutex>

class QObject;
class QSocketNotifier;

// Work handed from any thread to the event loop of one thread: a queue behind a mutex of ours,
// and an eventfd that wakes the receiving loop. Qt's own queue would do the same, but its locks
// lie in a QtCore that ThreadSanitizer does not see; this one orders the hand-over where the
// tool sees it.
class TPostfach {
public:
    // Raises std::system_error when the system gives no eventfd.
    TPostfach();
    ~TPostfach();
    TPostfach(const TPostfach&) = delete;
    TPostfach& operator=(const TPostfach&) = delete;

    // Any thread: `arbeit` runs in the receiving thread, after everything handed in before it.
    void Einwerfen(std::function<void()> arbeit);
    // In the receiving thread: its event loop runs the work from now on, through the notifier
    // returned (a child of `kontext`; it must go before the Postfach does).
    QSocketNotifier* Empfangen(QObject* kontext);

private:
    void Abarbeiten();

    std::mutex mutex_;
    std::deque<std::function<void()>> arbeiten_;
    int fd_ = -1;
};
