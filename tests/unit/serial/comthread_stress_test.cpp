// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/ComEventMask.h"
#include "serial/ComThread.h"
#include "serial/platform/FakeComDevice.h"

#include "ThreadTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

namespace {

// Starts and stops the event thread many times while batches keep arriving, the way a port is
// opened and closed while the meter sends: no hang, no crash, and no handler of a thread after
// that thread was destroyed.
class ComThreadStress : public ::testing::TestWithParam<TSyncMethod> {};

TEST_P(ComThreadStress, ThousandStartsAndStopsWhileEventsArrive) {
    constexpr int cycles = 1000;
    const std::array<std::uint32_t, 3> batches{
        EventsToMask({evRxChar}), EventsToMask({evRxChar, evCTS}), EventsToMask(TComEvents::All())};
    TWatchdog watchdog("start/stop cycles", std::chrono::seconds(300));
    TFakeComDevice device;
    ASSERT_EQ(device.Open("COM1"), 0);
    TReportCollector reports;
    std::atomic<bool> feeding{true};
    std::thread feeder([&] {
        for (std::size_t n = 0; feeding.load();) {
            if (device.QueuedBatches() < 4) {
                device.QueueBatch(batches[n++ % batches.size()]);
            } else {
                std::this_thread::sleep_for(std::chrono::microseconds(50));
            }
        }
    });

    std::vector<std::unique_ptr<TRecordingSink>> sinks; // kept, so that a late call is seen
    int cyclesWithDelivery = 0;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        TRecordingSink& sink = *sinks.emplace_back(std::make_unique<TRecordingSink>(GetParam()));
        std::unique_ptr<TComThread> thread;
        if (cycle % 5 == 0) { // every fifth time a handler closes
            sink.action = [&thread](TComEvent) { thread.reset(); };
        }
        thread = std::make_unique<TComThread>(device, sink, TComEvents::All());
        if (cycle % 2 == 0) {
            ASSERT_TRUE(PumpUntil([&] { return sink.Count() > 0; }));
        } else {
            for (int i = 0; i < cycle % 4; ++i) {
                QCoreApplication::processEvents();
            }
        }
        thread.reset();
        sink.Retire();
        cyclesWithDelivery += sink.Count() > 0 ? 1 : 0;
    }
    feeding.store(false);
    feeder.join();
    PumpQueued();

    int lateCalls = 0;
    for (const auto& sink : sinks) {
        lateCalls += sink->LateCalls();
    }
    EXPECT_EQ(lateCalls, 0);
    EXPECT_GE(cyclesWithDelivery, cycles / 2);
    EXPECT_EQ(reports.Count(), 0u);
}

INSTANTIATE_TEST_SUITE_P(BothQueuedWays, ComThreadStress,
                         ::testing::Values(smThreadSync, smWindowSync), [](const auto& i) {
                             return std::string(i.param == smThreadSync ? "ThreadSync"
                                                                        : "WindowSync");
                         });

} // namespace
