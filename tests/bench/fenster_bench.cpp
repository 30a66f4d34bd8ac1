// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The main window as a user runs it, on the offscreen platform, with meter-sim or a paced
// stream on pseudo-terminals: start-up time, CPU of a meter measurement at one record per
// second, CPU and completeness of an unformatted 115200-baud stream, idle CPU with the port
// open, and peak memory. With --roh every stream phase runs a second time with the raw-data
// capture on, and the cost of the capture is printed beside. Prints figures; asserts nothing.
// Usage: fenster_bench [seconds of the meter measurement, default 30] [--roh]
#include "framework/widgets/SpeedButton.h"
#include "mainwindow/ComMainForm.h"
#include "mainwindow/FehlerboxAnschluss.h"
#include "serial/ComPort.h"
#include "tests/bench/BenchLoop.h"
#include "tests/e2e/SimulatorProzess.h"
#include "tests/unit/common/TestPty.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QTest>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto idleSeconds = 10s;
constexpr auto streamSeconds = 15s;
constexpr std::uint64_t streamBytesPerSecond = 11520; // 115200 baud, 10 bits per byte
// What the unformatted stream carries: the meter's own lines.
constexpr std::string_view streamText = " 7.01 pH   25.0 \xF8"
                                        "C\r\n";

double Seconds(TClock::duration d) {
    return std::chrono::duration<double>(d).count();
}

double PeakMegabytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Writes meter lines into the line at 11520 bytes per second for `duration`, one slice per
// `tick`: 1 ms is about what a UART with a FIFO hands over, 16 ms what a USB adapter with its
// usual latency timer does. A write the line does not take (the program not keeping up) is retried
// and counted as a stall, so nothing is dropped on the sending side.
struct TStreamWriter {
    std::uint64_t sent = 0;
    std::uint64_t stalls = 0;
    double cpuSeconds = 0; // of the writer thread, taken off the process's figure

    // As fast as the line takes them: whole lines in blocks, each write waiting for room.
    void Flood(int master, TClock::duration duration) {
        std::string block;
        while (block.size() < 4096) {
            block += streamText;
        }
        const auto end = TClock::now() + duration;
        std::size_t offset = 0;
        while (TClock::now() < end) {
            pollfd room{master, POLLOUT, 0};
            if (::poll(&room, 1, 100) <= 0) {
                continue;
            }
            const ssize_t n = ::write(master, block.data() + offset, block.size() - offset);
            if (n > 0) {
                sent += static_cast<std::uint64_t>(n);
                offset = (offset + static_cast<std::size_t>(n)) % block.size();
            }
        }
        cpuSeconds = CpuSeconds(RUSAGE_THREAD);
    }

    void Run(int master, TClock::duration duration, TClock::duration tick) {
        const auto start = TClock::now();
        const auto end = start + duration;
        std::string pending;
        while (TClock::now() < end) {
            const auto due = static_cast<std::uint64_t>(Seconds(TClock::now() - start) *
                                                        static_cast<double>(streamBytesPerSecond));
            while (sent + pending.size() < due) {
                pending += streamText[(sent + pending.size()) % streamText.size()];
            }
            const ssize_t n = ::write(master, pending.data(), pending.size());
            if (n > 0) {
                sent += static_cast<std::uint64_t>(n);
                pending.erase(0, static_cast<std::size_t>(n));
            } else if (n < 0 && errno == EAGAIN) {
                ++stalls;
            }
            std::this_thread::sleep_for(tick);
        }
        while (!pending.empty()) {
            const ssize_t n = ::write(master, pending.data(), pending.size());
            if (n > 0) {
                sent += static_cast<std::uint64_t>(n);
                pending.erase(0, static_cast<std::size_t>(n));
            } else {
                std::this_thread::sleep_for(1ms);
            }
        }
        cpuSeconds = CpuSeconds(RUSAGE_THREAD);
    }
};

// How a stream phase reads and what its writer sends.
struct TStreamArt {
    bool meter = false; // meter reading with immediate saving, else unformatted reading
    bool flood = false; // as fast as the line takes it, else 11520 bytes/s in `tick` slices
    TClock::duration tick{};
    bool roh = false; // the raw-data capture on
};

struct TStreamFigures {
    TStreamArt art;
    std::uint64_t sent = 0;
    std::uint64_t received = 0;
    std::uint64_t stalls = 0;
    double cpuPercent = 0;
    double rate = 0;
    bool complete = false;
    int saved = 0; // readings in the data file, meter reading only
};

struct TFigures {
    double qapplicationMs = 0;
    double windowMs = 0;
    double meterSeconds = 0;
    double meterCpuPerMinute = 0;
    int meterSaved = 0;
    double idleCpuMsPer10s = 0;
    std::vector<TStreamFigures> streams;
    double peakMb = 0;
};

class TBench {
public:
    TBench(TForm1& form, TFigures& figures)
        : form_(form)
        , figures_(figures) {}

    void Idle(const std::string& device) {
        form_.ComPort().SetPort(device);
        form_.WTW_Rx_Button->click();
        RunFor(1s);
        const double before = CpuSeconds(RUSAGE_SELF);
        RunFor(idleSeconds);
        figures_.idleCpuMsPer10s =
            (CpuSeconds(RUSAGE_SELF) - before) * 1000.0 * 10.0 / Seconds(idleSeconds);
        form_.WTW_Rx_Button->click();
    }

    // The simulator starts now: records sent while no port is open would wait in the
    // pseudo-terminal and arrive as a backlog.
    void Meter(TClock::duration duration) {
        TSimulatorProzess meter(METER_SIM, {"--interval", "1000", "--baud", "4800"});
        const std::string device = meter.Geraet();
        if (device.empty()) {
            throw std::runtime_error("meter-sim did not start");
        }
        form_.ComPort().SetPort(device);
        form_.WTW_Rx_Button->click();
        form_.SaveButton->click();
        const double before = CpuSeconds(RUSAGE_SELF);
        const auto start = TClock::now();
        RunFor(duration);
        const double cpu = CpuSeconds(RUSAGE_SELF) - before;
        figures_.meterSeconds = Seconds(TClock::now() - start);
        figures_.meterCpuPerMinute = cpu * 60.0 / figures_.meterSeconds;
        figures_.meterSaved = form_.Label13->text().toInt();
        form_.WTW_Rx_Button->click();
        form_.SaveButton->click();
    }

    void Stream(TStreamArt art) {
        TPty pty;
        form_.ComPort().SetPort(pty.Path());
        std::uint64_t received = 0;
        // After the window's own handler, which reads all `count` bytes the event announces.
        const TRxCharEvent windowHandler = form_.ComPort().OnRxChar;
        form_.ComPort().OnRxChar = [&](TCustomComPort* sender, int count) {
            windowHandler(sender, count);
            received += static_cast<std::uint64_t>(count);
        };
        QAbstractButton* lesen = art.meter ? form_.WTW_Rx_Button : form_.Rx_Button;
        form_.Einstellungen.RohdatenAufzeichnen = art.roh;
        lesen->click();
        if (art.meter) {
            form_.SaveButton->click();
        }
        TStreamWriter writer;
        const double before = CpuSeconds(RUSAGE_SELF);
        const auto start = TClock::now();
        std::thread thread([&] {
            if (art.flood) {
                writer.Flood(pty.Master(), streamSeconds);
            } else {
                writer.Run(pty.Master(), streamSeconds, art.tick);
            }
        });
        RunFor(streamSeconds);
        thread.join();
        // The rest of the line is handed over within moments; waiting longer means bytes were lost.
        const bool complete = QTest::qWaitFor([&] { return received >= writer.sent; }, 5000);
        const double wall = Seconds(TClock::now() - start);
        const double cpu = CpuSeconds(RUSAGE_SELF) - before - writer.cpuSeconds;
        // Straight from the saving state: the label follows on the next refresh of the display.
        const int saved = art.meter ? form_.Zustand.Speicher.AnzahlGespeichert : 0;
        lesen->click();
        if (art.meter) {
            form_.SaveButton->click();
        }
        form_.ComPort().OnRxChar = windowHandler;
        form_.Einstellungen.RohdatenAufzeichnen = false;
        RohdatenLoeschen();
        figures_.streams.push_back({art, writer.sent, received, writer.stalls, cpu * 100.0 / wall,
                                    static_cast<double>(writer.sent) / Seconds(streamSeconds),
                                    complete, saved});
    }

private:
    // A flood's capture takes hundreds of megabytes; the next phase needs none of it.
    static void RohdatenLoeschen() {
        for (const auto& eintrag : std::filesystem::directory_iterator(".")) {
            if (eintrag.path().string().find(".roh") != std::string::npos) {
                std::filesystem::remove(eintrag.path());
            }
        }
    }

    TForm1& form_;
    TFigures& figures_;
};

void PrintStream(const TStreamFigures& stream) {
    const char* lesen = stream.art.meter
                            ? (stream.art.roh ? "meter, saving, capture" : "meter reading, saving")
                            : (stream.art.roh ? "unformatted, capture" : "unformatted");
    if (stream.art.flood) {
        std::printf("(2) %-21s flood: %6.2f MB/s, CPU %5.1f %%\n", lesen, stream.rate / 1e6,
                    stream.cpuPercent);
    } else {
        const auto tick = std::chrono::duration_cast<std::chrono::milliseconds>(stream.art.tick);
        std::printf("(2) %-21s 115200 Bd, %2lld ms slices: CPU %5.1f %%\n", lesen,
                    static_cast<long long>(tick.count()), stream.cpuPercent);
    }
    std::printf("    %llu bytes sent (%.0f bytes/s), %llu received%s, %lld lost, %llu "
                "writer stalls",
                static_cast<unsigned long long>(stream.sent), stream.rate,
                static_cast<unsigned long long>(stream.received),
                stream.complete ? "" : " (5 s after the end)",
                static_cast<long long>(stream.sent) - static_cast<long long>(stream.received),
                static_cast<unsigned long long>(stream.stalls));
    if (stream.art.meter) {
        std::printf(", %d readings saved of %llu lines", stream.saved,
                    static_cast<unsigned long long>(stream.sent / streamText.size()));
    }
    std::printf("\n");
}

void Print(const TFigures& f, const QStringList& errors) {
    std::printf("\nQuorlits main window, offscreen, pseudo-terminals\n");
    std::printf("%-48s %14s %12s\n", "measure", "figure", "target");
    std::printf("%-48s %11.2f s %12s\n", "(1) meter 4800 Bd, 1 rec/s: CPU per minute",
                f.meterCpuPerMinute, "< 0.5 s");
    std::printf("    measured for %.1f s with immediate saving on, scaled to a minute;"
                " %d readings saved\n",
                f.meterSeconds, f.meterSaved);
    for (const TStreamFigures& stream : f.streams) {
        PrintStream(stream);
    }
    // Each capture run follows the run without capture of the same kind. A flood takes what
    // the program can handle, so its CPU share moves little while its rate drops: the cost of
    // the capture there is its CPU per byte, taken at the rate without capture.
    for (std::size_t i = 1; i < f.streams.size(); ++i) {
        const TStreamFigures& ohne = f.streams[i - 1];
        const TStreamFigures& mit = f.streams[i];
        if (!mit.art.roh || ohne.art.roh) {
            continue;
        }
        std::printf("    capture, %-11s %-6s: %+5.1f %% of a core",
                    mit.art.meter ? "meter" : "unformatted", mit.art.flood ? "flood" : "paced",
                    mit.cpuPercent - ohne.cpuPercent);
        if (mit.art.flood && mit.rate > 0 && ohne.rate > 0) {
            std::printf(", at %.1f MB/s %+5.1f %% (target <= 1 %%)", ohne.rate / 1e6,
                        (mit.cpuPercent / mit.rate - ohne.cpuPercent / ohne.rate) * ohne.rate);
        }
        std::printf("\n");
    }
    std::printf("%-48s %10.1f ms %12s\n", "(3) idle, port open: CPU per 10 s", f.idleCpuMsPer10s,
                "< 10 ms");
    std::printf("%-48s %10.1f ms %12s\n", "(4) start-up: QApplication -> window exposed",
                f.windowMs, "< 300 ms");
    std::printf("    constructing QApplication itself: %.1f ms\n", f.qapplicationMs);
    std::printf("%-48s %10.1f MB %12s\n", "(5) peak memory (ru_maxrss)", f.peakMb, "< 80 MB");
    for (const QString& error : errors) {
        std::printf("error box: %s\n", qPrintable(error));
    }
}

int Run(int argc, char** argv) {
    long meterSeconds = 30;
    bool roh = false;
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--roh") {
            roh = true;
        } else {
            meterSeconds = std::max(1L, std::strtol(argv[i], nullptr, 10));
        }
    }
    // PHRX.CFG and the data file go to a folder of their own.
    char folder[] = "/tmp/fenster_bench_XXXXXX";
    if (::mkdtemp(folder) == nullptr || ::chdir(folder) != 0) {
        std::perror("fenster_bench");
        return 1;
    }
    // The quiet simulator starts before the clock for start-up runs.
    TSimulatorProzess quiet(METER_SIM, {"--interval", "3600000"});
    const std::string quietDevice = quiet.Geraet();
    if (quietDevice.empty()) {
        std::fprintf(stderr, "fenster_bench: meter-sim did not start\n");
        return 1;
    }

    TFigures figures;
    const auto t0 = TClock::now();
    QApplication app(argc, argv);
    const auto t1 = TClock::now();
    TFormOptionen options;
    options.KonfigurationsDatei = std::filesystem::path(folder) / "PHRX.CFG";
    options.Port = quietDevice;
    auto form = std::make_unique<TForm1>(std::move(options));
    QStringList errors;
    FehlerboxAnschliessen(form.get(), [&errors](const QString& text) { errors << text; });
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get())) {
        std::fprintf(stderr, "fenster_bench: the window was not shown\n");
    }
    const auto t2 = TClock::now();
    figures.qapplicationMs = Seconds(t1 - t0) * 1000.0;
    figures.windowMs = Seconds(t2 - t1) * 1000.0;

    std::printf("idle phase (%lld s) ...\n", static_cast<long long>(idleSeconds.count()));
    std::fflush(stdout);
    TBench bench(*form, figures);
    bench.Idle(quietDevice);
    std::printf("meter phase (%ld s) ...\n", meterSeconds);
    std::fflush(stdout);
    bench.Meter(std::chrono::seconds(meterSeconds));
    std::printf("stream phases (%d x %lld s) ...\n", roh ? 12 : 6,
                static_cast<long long>(streamSeconds.count()));
    std::fflush(stdout);
    for (const bool meter : {false, true}) {
        // As the peers are measured: a slice every 2 ms; then as a USB adapter hands over.
        for (const TStreamArt art : {TStreamArt{meter, false, 2ms}, TStreamArt{meter, false, 16ms},
                                     TStreamArt{meter, true, {}}}) {
            bench.Stream(art);
            if (roh) {
                TStreamArt mitRoh = art;
                mitRoh.roh = true;
                bench.Stream(mitRoh);
            }
        }
    }
    form->ENDEButton->click();
    QCoreApplication::sendPostedEvents();
    figures.peakMb = PeakMegabytes();
    form.reset();
    FehlerboxTrennen();
    std::filesystem::remove_all(folder);
    Print(figures, errors);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    try {
        return Run(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "fenster_bench: %s\n", error.what());
        return 1;
    }
}
