// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// A port opened and closed a thousand times on a pseudo-terminal while bytes keep arriving.
#include "PtyPortSupport.h"
#include "ThreadTestSupport.h"
#include "TtyWorkerWait.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <fcntl.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace {

using posixtest::TPty;

// Writes bytes into the master without ever blocking, until stopped.
class TFeeder {
public:
    explicit TFeeder(int master)
        : thread_([this, master] {
            const std::string chunk = "0123456789abcdef";
            while (running_.load()) {
                if (::write(master, chunk.data(), chunk.size()) < 0) {
                    std::this_thread::sleep_for(std::chrono::microseconds(200));
                }
            }
        }) {}
    ~TFeeder() {
        running_.store(false);
        thread_.join();
    }
    TFeeder(const TFeeder&) = delete;
    TFeeder& operator=(const TFeeder&) = delete;

private:
    std::atomic<bool> running_{true};
    std::thread thread_;
};

class ComPortStress : public ::testing::TestWithParam<TSyncMethod> {};

// No hang, no crash (the sanitizers watch), no handler call once Close has returned.
TEST_P(ComPortStress, ThousandOpensAndClosesWhileBytesArrive) {
    constexpr int cycles = 1000;
    TWatchdog watchdog("open/close cycles", std::chrono::seconds(300));
    TPty pty;
    ASSERT_EQ(::fcntl(pty.Master(), F_SETFL, O_NONBLOCK), 0);
    TReportCollector reports;
    TLineWatch line;
    TComPort port(std::make_unique<TPosixComDevice>(line));
    ApplyMainWindowPortDefaults(port);
    port.SetPort(pty.Path());
    port.SetSyncMethod(GetParam());

    std::atomic<bool> closed{true};
    std::atomic<int> lateCalls{0};
    std::atomic<int> calls{0};
    std::atomic<bool> closeInHandler{false};
    port.OnRxChar = [&](TCustomComPort* sender, int count) {
        if (closed.load()) {
            ++lateCalls;
        }
        ++calls;
        std::string text;
        sender->ReadText(text, count);
        if (closeInHandler.load()) {
            sender->Close();
        }
    };

    const TFeeder feeder(pty.Master());
    int cyclesWithDelivery = 0;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        // Closing from the handler needs the handler on the Qt thread.
        closeInHandler.store(GetParam() != smNone && cycle % 5 == 0);
        const int before = calls.load();
        closed.store(false);
        ASSERT_NO_THROW(port.Open()) << cycle;
        if (cycle % 2 == 0) {
            ASSERT_TRUE(PumpUntilThroughTty(line, [&] { return calls.load() > before; })) << cycle;
        } else {
            for (int i = 0; i < cycle % 4; ++i) {
                QCoreApplication::processEvents();
            }
        }
        ASSERT_NO_THROW(port.Close()) << cycle;
        closed.store(true);
        // Whatever the thread queued before it was stopped runs now: it must do nothing.
        ASSERT_TRUE(PumpQueued());
        cyclesWithDelivery += calls.load() > before ? 1 : 0;
    }
    EXPECT_EQ(lateCalls.load(), 0);
    EXPECT_GE(cyclesWithDelivery, cycles / 2);
    EXPECT_EQ(reports.Count(), 0u) << TextOf(reports.Reports().front().error);
}

// An open port destroyed while its event thread delivers on that very thread: the thread ends
// before any part of the port is torn down, and no handler runs afterwards.
TEST(ComPortStressDestroy, OpenPortsDestroyedWhileBytesArrive) {
    constexpr int cycles = 200;
    TWatchdog watchdog("destroying open ports", std::chrono::seconds(300));
    TPty pty;
    ASSERT_EQ(::fcntl(pty.Master(), F_SETFL, O_NONBLOCK), 0);
    TReportCollector reports;
    TLineWatch line;
    std::atomic<bool> destroyed{false};
    std::atomic<int> lateCalls{0};
    std::atomic<int> calls{0};
    const TFeeder feeder(pty.Master());
    for (int cycle = 0; cycle < cycles; ++cycle) {
        auto port = std::make_unique<TComPort>(std::make_unique<TPosixComDevice>(line));
        ApplyMainWindowPortDefaults(*port);
        port->SetPort(pty.Path());
        port->SetSyncMethod(smNone);
        port->OnRxChar = [&](TCustomComPort* sender, int count) {
            lateCalls += destroyed.load() ? 1 : 0;
            ++calls;
            std::string text;
            sender->ReadText(text, count);
        };
        const int before = calls.load();
        destroyed.store(false);
        ASSERT_NO_THROW(port->Open()) << cycle;
        ASSERT_TRUE(WaitUntilThroughTty(line, [&] { return calls.load() > before; })) << cycle;
        port.reset();
        destroyed.store(true);
    }
    EXPECT_EQ(lateCalls.load(), 0);
    EXPECT_EQ(reports.Count(), 0u);
}

INSTANTIATE_TEST_SUITE_P(EveryWay, ComPortStress,
                         ::testing::Values(smThreadSync, smWindowSync, smNone), [](const auto& i) {
                             switch (i.param) {
                             case smThreadSync:
                                 return std::string("ThreadSync");
                             case smWindowSync:
                                 return std::string("WindowSync");
                             case smNone:
                                 break;
                             }
                             return std::string("None");
                         });

} // namespace
