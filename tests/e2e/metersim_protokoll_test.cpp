// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// meter-sim's record log (--print-records) against the bytes that really came out of the
// pseudo-terminal: one log line per record, in order, describing that record.
#include "tests/e2e/SimulatorProzess.h"

#include <QTest>

#include <array>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

int OpenRaw(const std::string& device) {
    const int fd = open(device.c_str(), O_RDWR | O_NOCTTY);
    if (fd >= 0) {
        termios settings{};
        tcgetattr(fd, &settings);
        cfmakeraw(&settings);
        tcsetattr(fd, TCSANOW, &settings);
    }
    return fd;
}

// Everything the simulator sends until it closes its side (or 20 s have passed).
std::string ReadAll(int fd) {
    std::string bytes;
    const auto end = Clock::now() + std::chrono::seconds(20);
    while (Clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) {
            continue;
        }
        std::array<char, 256> buffer{};
        const ssize_t n = read(fd, buffer.data(), buffer.size());
        if (n <= 0) {
            break;
        }
        bytes.append(buffer.data(), static_cast<std::size_t>(n));
    }
    return bytes;
}

// Records as the meter ends them: a plain line at its CR LF, a printout at the CR LF after
// its DC1.
std::vector<std::string> Records(const std::string& bytes) {
    std::vector<std::string> records;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t close = bytes[start] == '\x13' ? bytes.find('\x11', start) : start;
        const std::size_t end = bytes.find("\r\n", close);
        if (end == std::string::npos) {
            break;
        }
        records.push_back(bytes.substr(start, end + 2 - start));
        start = end + 2;
    }
    return records;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab = line.find('\t'); tab != std::string::npos;
         tab = line.find('\t', start)) {
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
    fields.push_back(line.substr(start));
    return fields;
}

std::string MeterUnit(const std::string& unit) {
    return unit.rfind("\xC2\xB5", 0) == 0 ? "\xE6" + unit.substr(2) : unit;
}

bool Has(const std::string& record, const std::string& part) {
    return record.find(part) != std::string::npos;
}

} // namespace

class TMeterSimLog : public QObject {
    Q_OBJECT
private slots:
    void describesEachRecordInOrder();
    void replayLogsTheReadableBytes();
};

void TMeterSimLog::describesEachRecordInOrder() {
    TSimulatorProzess simulator(METER_SIM,
                                {"--mode", "mixed", "--quantity", "mixed", "--count", "12",
                                 "--interval", "20", "--baud", "0", "--print-records"});
    const int fd = OpenRaw(simulator.Geraet());
    QVERIFY(fd >= 0);
    const std::vector<std::string> records = Records(ReadAll(fd));
    close(fd);
    QVERIFY(simulator.Beenden());
    const std::vector<std::string> log = simulator.Protokoll();

    QCOMPARE(records.size(), std::size_t{12});
    QCOMPARE(log.size(), records.size());
    for (std::size_t i = 0; i < log.size(); ++i) {
        const std::string& record = records[i];
        const std::vector<std::string> f = Fields(log[i]);
        const bool framed = i >= 6; // one round of six lines, then one of six printouts
        const bool conductivity = i % 6 == 2 || i % 6 == 3;
        const std::size_t fieldCount = !framed ? 4 : conductivity ? 8 : 6;
        QVERIFY2(f.size() == fieldCount, log[i].c_str());
        QCOMPARE(f[0], std::string(framed ? "Ausdruck" : "Zeile"));
        QCOMPARE(record.front() == '\x13', framed);
        // The value stands before its unit, the temperature before the meter's degree sign.
        QVERIFY2(Has(record, f[1] + " " + MeterUnit(f[2])), log[i].c_str());
        QVERIFY2(Has(record, f[3] + " \xF8"
                                    "C\r\n"),
                 log[i].c_str());
        if (framed) {
            QVERIFY2(Has(record, "\x13" + f[4] + " " + f[5] + "\r\n"), log[i].c_str());
        }
        if (framed && conductivity) {
            QVERIFY2(Has(record, "TREF " + f[6] + " C = " + f[7] + "\r\n"), log[i].c_str());
        }
    }
}

void TMeterSimLog::replayLogsTheReadableBytes() {
    char path[] = "/tmp/metersim_log_XXXXXX";
    const int file = mkstemp(path);
    QVERIFY(file >= 0);
    const std::string recording = " 6.50 pH   21.5 \xF8"
                                  "C\r\n\x13"
                                  "01.02.03 04:05\r\n 7.25 pH   23.0 \xF8"
                                  "C\r\n\x11\r\n";
    QCOMPARE(write(file, recording.data(), recording.size()),
             static_cast<ssize_t>(recording.size()));
    close(file);
    TSimulatorProzess simulator(
        METER_SIM, {"--replay", path, "--count", "3", "--interval", "20", "--print-records"});
    const int fd = OpenRaw(simulator.Geraet());
    unlink(path);
    QVERIFY(fd >= 0);
    const std::string received = ReadAll(fd);
    close(fd);
    QVERIFY(simulator.Beenden());
    QCOMPARE(received, recording + recording.substr(0, recording.find('\x13')));
    const std::vector<std::string> expected = {
        "Aufnahme\t 6.50 pH   21.5 <F8>C<CR><LF>",
        "Aufnahme\t<DC3>01.02.03 04:05<CR><LF> 7.25 pH   23.0 <F8>C<CR><LF><DC1><CR><LF>",
        "Aufnahme\t 6.50 pH   21.5 <F8>C<CR><LF>",
    };
    QCOMPARE(simulator.Protokoll(), expected);
}

QTEST_GUILESS_MAIN(TMeterSimLog)
#include "metersim_protokoll_test.moc"
