// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "Warten.h"

#include "serial/ComErrorHook.h"
#include "serial/ComEventSink.h"
#include "serial/EComPort.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// Helpers of the tests that hand work from a worker thread to the Qt thread of the test program.

// The name of a synchronisation method, for parameterised test names.
inline const char* MethodName(TSyncMethod method) {
    switch (method) {
    case smThreadSync:
        return "ThreadSync";
    case smWindowSync:
        return "WindowSync";
    case smNone:
        return "None";
    }
    return "?";
}

inline bool OnGuiThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app != nullptr && QThread::currentThread() == app->thread();
}

// Runs the Qt event loop of this (the user-interface) thread until `done` holds; false when it
// did not within the generous limit.
template <typename Predicate>
bool PumpUntil(Predicate done, std::chrono::seconds limit = std::chrono::seconds(20)) {
    return WartenBis(std::move(done), limit);
}

// Waits (without running the event loop) until `done` holds; false after the limit.
template <typename Predicate>
bool WaitUntil(Predicate done, std::chrono::seconds limit = std::chrono::seconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

// Runs everything queued for this thread so far: a marker queued now runs after all of it.
inline bool PumpQueued() {
    auto ran = std::make_shared<bool>(false);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [ran] { *ran = true; }, Qt::QueuedConnection);
    return PumpUntil([&ran] { return *ran; });
}

// Waits until the thread `tid` of this process sleeps (state S), i.e. it has reached a blocking
// wait. False after the limit.
inline bool WaitUntilSleeping(long tid) {
    const std::string path = "/proc/self/task/" + std::to_string(tid) + "/stat";
    return WaitUntil([&path] {
        std::ifstream stat(path);
        std::string line;
        std::getline(stat, line);
        const auto close = line.rfind(')');
        return close != std::string::npos && close + 2 < line.size() && line[close + 2] == 'S';
    });
}

// A sink that records each event, on which thread it came, and calls after it was retired.
class TRecordingSink final : public TComEventSink {
public:
    struct TRecord {
        TComEvent event;
        bool onGuiThread;
    };

    explicit TRecordingSink(TSyncMethod method)
        : method_(method) {}

    // Runs inside HandleEvent after recording; set before a thread uses the sink.
    std::function<void(TComEvent)> action;

    void HandleEvent(TComEvent event) override {
        {
            std::lock_guard lock(mutex_);
            records_.push_back({event, OnGuiThread()});
            if (retired_.load()) {
                ++lateCalls_;
            }
        }
        if (action) {
            action(event);
        }
    }
    TSyncMethod CurrentSyncMethod() const noexcept override {
        ++dispatches_;
        return method_;
    }

    // From now on every HandleEvent is a late call.
    void Retire() { retired_.store(true); }
    int LateCalls() const {
        std::lock_guard lock(mutex_);
        return lateCalls_;
    }
    int Dispatches() const { return dispatches_.load(); }
    std::vector<TRecord> Records() const {
        std::lock_guard lock(mutex_);
        return records_;
    }
    std::vector<TComEvent> Events() const {
        std::vector<TComEvent> events;
        for (const TRecord& record : Records()) {
            events.push_back(record.event);
        }
        return events;
    }
    std::size_t Count() const {
        std::lock_guard lock(mutex_);
        return records_.size();
    }

private:
    TSyncMethod method_;
    mutable std::mutex mutex_;
    std::vector<TRecord> records_;
    std::atomic<bool> retired_{false};
    int lateCalls_ = 0;
    mutable std::atomic<int> dispatches_{0};
};

// Installs an error hook that collects the reports for the lifetime of the object.
class TReportCollector {
public:
    struct TReport {
        std::exception_ptr error;
        bool onGuiThread;
    };

    TReportCollector() {
        SetComErrorHook([this](std::exception_ptr error) {
            std::lock_guard lock(mutex_);
            reports_.push_back({std::move(error), OnGuiThread()});
        });
    }
    ~TReportCollector() { SetComErrorHook({}); }
    TReportCollector(const TReportCollector&) = delete;
    TReportCollector& operator=(const TReportCollector&) = delete;

    std::vector<TReport> Reports() const {
        std::lock_guard lock(mutex_);
        return reports_;
    }
    std::size_t Count() const {
        std::lock_guard lock(mutex_);
        return reports_.size();
    }

private:
    mutable std::mutex mutex_;
    std::vector<TReport> reports_;
};

// The text of a reported exception.
inline std::string TextOf(const std::exception_ptr& error) {
    if (!error) {
        return "(none)";
    }
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "(not a std::exception)";
    }
}

// Code and system code of a reported EComPort; {0, 0} for none or any other exception.
inline std::pair<int, int> ComPortCodes(const std::exception_ptr& error) {
    if (!error) {
        return {0, 0};
    }
    try {
        std::rethrow_exception(error);
    } catch (const EComPort& e) {
        return {e.Code(), e.SystemCode()};
    } catch (...) {
        return {0, 0};
    }
}

// Ends the test program when a step that must finish hangs instead (a deadlock), so that the
// hang shows as a failure naming the step rather than as a time-out of the whole program.
class TWatchdog {
public:
    explicit TWatchdog(const char* step, std::chrono::seconds limit = std::chrono::seconds(60))
        : thread_([this, step, limit] {
            std::unique_lock lock(mutex_);
            if (!changed_.wait_for(lock, limit, [this] { return done_; })) {
                std::fprintf(stderr, "Hung: %s\n", step);
                std::abort();
            }
        }) {}
    ~TWatchdog() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
    TWatchdog(const TWatchdog&) = delete;
    TWatchdog& operator=(const TWatchdog&) = delete;

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool done_ = false;
    std::thread thread_;
};
