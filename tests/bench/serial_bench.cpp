// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The receive path of the serial port on a pseudo-terminal: sustained throughput without loss,
// latency from a write into the line to the OnRxChar handler, and the CPU time an open port
// costs while nothing arrives. Prints figures for each way of delivering events; asserts
// nothing. Usage: serial_bench [seconds per phase, default 10]
#include "app/ComMainWindowPort.h"
#include "serial/ComPort.h"
#include "tests/unit/common/TestPty.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <fcntl.h>
#include <functional>
#include <mutex>
#include <poll.h>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int inputQueueSize = 65536;
constexpr std::size_t writeChunk = 4096;
constexpr int latencyMessages = 2000;
constexpr std::size_t messageSize = 8;
// A pause between two latency messages, so that each one meets a port that has gone to sleep.
constexpr auto messageGap = 500us;

double Micros(TClock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

double Seconds(TClock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// The byte at `position` of the throughput stream: never 0 (the port discards null bytes) and
// with a prime period, so that a lost or doubled byte shifts every later one out of place.
char PatternByte(std::uint64_t position) {
    return static_cast<char>(1 + position % 251);
}

// A port as the main window configures its own after start-up (4800 baud, hardware flow
// control), with an input queue large enough for a fast sender, opened on `path`.
void OpenPort(TComPort& port, const std::string& path, TSyncMethod method) {
    ApplyMainWindowPortDefaults(port);
    port.SetBaudRate(br4800);
    port.FlowControl().SetFlowControl(fcHardware);
    port.Buffer().SetInputSize(inputQueueSize);
    port.SetSyncMethod(method);
    port.SetPort(path);
    port.Open();
}

// Runs the main thread's event loop until `done()` holds or `limit` has passed.
void RunUntil(const std::function<bool()>& done, TClock::duration limit) {
    QEventLoop loop;
    const auto giveUp = TClock::now() + limit;
    QTimer timer;
    timer.setInterval(5ms);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (done() || TClock::now() >= giveUp) {
            loop.quit();
        }
    });
    timer.start();
    loop.exec();
}

// Runs the main thread's event loop for `duration`, with no other wake-up than its end.
void RunFor(TClock::duration duration) {
    QEventLoop loop;
    QTimer::singleShot(std::chrono::duration_cast<std::chrono::milliseconds>(duration), &loop,
                       &QEventLoop::quit);
    loop.exec();
}

// Sustained throughput

// What the handler has seen of the throughput stream. Only the handler writes; the counters
// that the main thread watches are atomic (with smNone the handler runs on the event thread).
struct TStreamCheck {
    std::atomic<std::uint64_t> received{0};
    std::uint64_t mismatches = 0;
    std::int64_t firstMismatch = -1;
    TClock::time_point lastArrival;

    void Take(const std::string& text) {
        std::uint64_t position = received.load();
        for (const char c : text) {
            if (c != PatternByte(position)) {
                ++mismatches;
                if (firstMismatch < 0) {
                    firstMismatch = static_cast<std::int64_t>(position);
                }
            }
            ++position;
        }
        lastArrival = TClock::now();
        received.store(position);
    }
};

struct TThroughput {
    std::uint64_t sent = 0;
    std::uint64_t received = 0;
    std::uint64_t mismatches = 0;
    std::int64_t firstMismatch = -1;
    double seconds = 0;
};

// Writes the pattern into the line for `duration`, as fast as the port takes it.
std::uint64_t PushPattern(const TPty& pty, TClock::duration duration) {
    const auto end = TClock::now() + duration;
    std::vector<char> chunk(writeChunk);
    std::uint64_t position = 0;
    while (TClock::now() < end) {
        for (std::size_t i = 0; i < chunk.size(); ++i) {
            chunk[i] = PatternByte(position + i);
        }
        const std::size_t n = pty.Write(chunk.data(), chunk.size(), end);
        position += n;
        if (n < chunk.size()) {
            break;
        }
    }
    return position;
}

TThroughput MeasureThroughput(TSyncMethod method, TClock::duration duration) {
    TPty pty;
    TComPort port;
    TStreamCheck check;
    port.OnRxChar = [&check](TCustomComPort* sender, int count) {
        std::string text;
        sender->ReadText(text, count);
        check.Take(text);
    };
    OpenPort(port, pty.Path(), method);

    std::atomic<bool> writerDone{false};
    std::atomic<std::uint64_t> sent{0};
    const auto start = TClock::now();
    std::thread writer([&] {
        sent.store(PushPattern(pty, duration));
        writerDone.store(true);
    });
    RunUntil([&] { return writerDone.load() && check.received.load() >= sent.load(); },
             duration + 10s);
    writer.join();
    port.Close();

    TThroughput result;
    result.sent = sent.load();
    result.received = check.received.load();
    result.mismatches = check.mismatches;
    result.firstMismatch = check.firstMismatch;
    result.seconds = Seconds(check.lastArrival - start);
    return result;
}

// Latency from write to handler

// Collects the handler's bytes into messages and tells the writer when each is complete.
struct TMessageArrivals {
    std::mutex mutex;
    std::condition_variable arrived;
    std::string pending;
    std::vector<std::string> messages;
    std::vector<TClock::time_point> times;

    void Take(const std::string& text) {
        const auto now = TClock::now();
        const std::lock_guard lock(mutex);
        pending += text;
        while (pending.size() >= messageSize) {
            messages.push_back(pending.substr(0, messageSize));
            times.push_back(now);
            pending.erase(0, messageSize);
        }
        arrived.notify_all();
    }

    // Waits until `count` messages are complete; false after a generous deadline.
    bool WaitFor(std::size_t count) {
        std::unique_lock lock(mutex);
        return arrived.wait_for(lock, 5s, [&] { return messages.size() >= count; });
    }
};

struct TLatency {
    std::vector<double> micros;
    int lost = 0;
    int corrupt = 0;
};

std::string Message(int index) {
    char text[messageSize + 1] = {};
    std::snprintf(text, sizeof text, "%08d", index);
    return std::string(text, messageSize);
}

// Sends one message at a time and waits until the handler has it; the send times in `sent`.
void SendMessages(const TPty& pty, TMessageArrivals& arrivals,
                  std::vector<TClock::time_point>& sent) {
    for (int i = 0; i < latencyMessages; ++i) {
        const std::string message = Message(i);
        std::this_thread::sleep_for(messageGap);
        sent.push_back(TClock::now());
        pty.Write(message.data(), message.size(), TClock::now() + 5s);
        if (!arrivals.WaitFor(sent.size())) {
            break;
        }
    }
}

TLatency MeasureLatency(TSyncMethod method) {
    TPty pty;
    TComPort port;
    TMessageArrivals arrivals;
    port.OnRxChar = [&arrivals](TCustomComPort* sender, int count) {
        std::string text;
        sender->ReadText(text, count);
        arrivals.Take(text);
    };
    OpenPort(port, pty.Path(), method);

    std::vector<TClock::time_point> sent;
    std::atomic<bool> writerDone{false};
    std::thread writer([&] {
        SendMessages(pty, arrivals, sent);
        writerDone.store(true);
    });
    RunUntil([&] { return writerDone.load(); }, 30min);
    writer.join();
    port.Close();

    TLatency result;
    const std::lock_guard lock(arrivals.mutex);
    result.lost = latencyMessages - static_cast<int>(arrivals.messages.size());
    for (std::size_t i = 0; i < arrivals.messages.size() && i < sent.size(); ++i) {
        result.micros.push_back(Micros(arrivals.times[i] - sent[i]));
        result.corrupt += arrivals.messages[i] != Message(static_cast<int>(i)) ? 1 : 0;
    }
    return result;
}

// Idle CPU

struct TIdle {
    double cpuMillis = 0;
    long contextSwitches = 0;
    int handlerCalls = 0;
};

double ProcessCpuMillis() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

long ContextSwitches() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_nvcsw + usage.ru_nivcsw;
}

TIdle MeasureIdle(TSyncMethod method, TClock::duration duration) {
    TPty pty;
    TComPort port;
    std::atomic<int> calls{0};
    port.OnRxChar = [&calls](TCustomComPort*, int) { ++calls; };
    OpenPort(port, pty.Path(), method);
    // Let the opening settle before measuring.
    RunFor(1s);

    TIdle result;
    const double cpuBefore = ProcessCpuMillis();
    const long switchesBefore = ContextSwitches();
    RunFor(duration);
    result.cpuMillis = ProcessCpuMillis() - cpuBefore;
    result.contextSwitches = ContextSwitches() - switchesBefore;
    port.Close();
    result.handlerCalls = calls.load();
    return result;
}

// Report

const char* MethodName(TSyncMethod method) {
    switch (method) {
    case smThreadSync:
        return "smThreadSync";
    case smWindowSync:
        return "smWindowSync";
    case smNone:
        return "smNone";
    }
    return "?";
}

const char* Verdict(bool met) {
    return met ? "target met" : "TARGET MISSED";
}

double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(fraction * static_cast<double>(values.size()));
    return values[std::min(rank, values.size() - 1)];
}

void PrintThroughput(const TThroughput& t) {
    const double rate = t.seconds > 0 ? static_cast<double>(t.received) / t.seconds : 0;
    const bool clean = t.received == t.sent && t.mismatches == 0;
    std::printf("  throughput: %.2f MB/s (%llu bytes in %.2f s), lost %lld, corrupt %llu "
                "(first at %lld)  [>= 1 MB/s, no loss: %s]\n",
                rate / 1e6, static_cast<unsigned long long>(t.received), t.seconds,
                static_cast<long long>(t.sent) - static_cast<long long>(t.received),
                static_cast<unsigned long long>(t.mismatches),
                static_cast<long long>(t.firstMismatch), Verdict(clean && rate >= 1e6));
}

void PrintLatency(const TLatency& l) {
    const double median = Percentile(l.micros, 0.5);
    std::printf("  latency:    median %.0f us, p99 %.0f us, max %.0f us (%zu messages, lost %d, "
                "corrupt %d)  [median < 1000 us: %s]\n",
                median, Percentile(l.micros, 0.99), Percentile(l.micros, 1.0), l.micros.size(),
                l.lost, l.corrupt, Verdict(median < 1000 && l.lost == 0 && l.corrupt == 0));
}

void PrintIdle(const TIdle& i, double seconds) {
    const double per10s = i.cpuMillis * 10 / seconds;
    std::printf("  idle CPU:   %.3f ms in %.0f s (%.3f ms per 10 s), %ld context switches, "
                "%d handler calls  [< 1 ms per 10 s: %s]\n",
                i.cpuMillis, seconds, per10s, i.contextSwitches, i.handlerCalls,
                Verdict(per10s < 1.0));
}

void Bench(TSyncMethod method, TClock::duration phase) {
    std::printf("%s\n", MethodName(method));
    std::fflush(stdout);
    PrintThroughput(MeasureThroughput(method, phase));
    std::fflush(stdout);
    PrintLatency(MeasureLatency(method));
    std::fflush(stdout);
    PrintIdle(MeasureIdle(method, phase), Seconds(phase));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const std::chrono::seconds phase{seconds};
    try {
        for (const TSyncMethod method : {smThreadSync, smWindowSync, smNone}) {
            Bench(method, phase);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "serial_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
