// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// meter-sim's record log (--print-records) against the bytes that really came out of the
// pseudo-terminal: one log line per record, in order, describing that record; with --unplug,
// the records read through the link on each device are exactly those the log lists for it.
#include "tests/e2e/SimulatorProzess.h"

#include <QTest>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
constexpr int DeadlineMs = 20'000;

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

struct TReading {
    std::string Bytes;
    bool HungUp = false; // a read returned 0 (or EIO): the simulator closed its side
};

// Everything the simulator sends until it closes its side, until `enough` holds for what was
// read, or until the deadline has passed. A `pause` after each read makes a slow reader, which
// misses what the line drops at a hang-up.
TReading ReadUntilHangUp(int fd, milliseconds pause = milliseconds(0),
                         const std::function<bool(const std::string&)>& enough = {}) {
    TReading reading;
    const auto end = Clock::now() + milliseconds(DeadlineMs);
    while (Clock::now() < end && !(enough && enough(reading.Bytes))) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) {
            continue;
        }
        std::array<char, 256> buffer{};
        const ssize_t n = read(fd, buffer.data(), buffer.size());
        if (n <= 0) {
            reading.HungUp = n == 0 || errno == EIO;
            break;
        }
        reading.Bytes.append(buffer.data(), static_cast<std::size_t>(n));
        std::this_thread::sleep_for(pause);
    }
    return reading;
}

std::vector<std::string> Records(const std::string& bytes);

// The first `count` records; a simulator that ran for --count records waits for the reader to
// close the line before it ends.
std::vector<std::string> ReadRecords(int fd, std::size_t count) {
    return Records(ReadUntilHangUp(fd, milliseconds(0), [count](const std::string& bytes) {
                       return Records(bytes).size() >= count;
                   }).Bytes);
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

// A temporary file holding `bytes`, removed when the object goes.
class TTempFile {
public:
    explicit TTempFile(const std::string& bytes) {
        char pattern[] = "/tmp/metersim_log_XXXXXX";
        const int fd = mkstemp(pattern);
        if (fd >= 0) {
            path_ = pattern;
            written_ = write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
            close(fd);
        }
    }
    ~TTempFile() { unlink(path_.c_str()); }
    TTempFile(const TTempFile&) = delete;
    TTempFile& operator=(const TTempFile&) = delete;

    const std::string& Path() const { return path_; }
    bool Written() const { return written_; }

private:
    std::string path_;
    bool written_ = false;
};

// Result lines "Satz 01<CR><LF>", "Satz 02<CR><LF>", ...: replayed, every record is unique.
std::vector<std::string> NumberedRecords(int count) {
    std::vector<std::string> records;
    for (int i = 1; i <= count; ++i) {
        std::array<char, 16> line{};
        std::snprintf(line.data(), line.size(), "Satz %02d\r\n", i);
        records.emplace_back(line.data());
    }
    return records;
}

std::string Joined(const std::vector<std::string>& parts) {
    std::string joined;
    for (const std::string& part : parts) {
        joined += part;
    }
    return joined;
}

// Records on one line for a readable comparison, the line ends shown as "|".
QString Shown(const std::vector<std::string>& records) {
    return QString::fromLatin1(Joined(records))
        .replace(QStringLiteral("\r\n"), QStringLiteral("|"));
}

// The bytes of replayed records from their log lines: "Aufnahme", a tab and the bytes readable,
// of which the numbered lines have no control bytes but the final CR LF.
std::vector<std::string> ReplayedBytes(const std::vector<std::string>& logLines) {
    std::vector<std::string> records;
    for (const std::string& line : logLines) {
        std::string text = line.substr(line.find('\t') + 1);
        if (text.ends_with("<CR><LF>")) {
            text.replace(text.size() - 8, 8, "\r\n");
        }
        records.push_back(text);
    }
    return records;
}

// A path for meter-sim's --link, free when the simulator starts.
std::string LinkPath(const std::string& name) {
    const std::string path =
        "/tmp/metersim_" + name + "_" + std::to_string(static_cast<long>(getpid()));
    unlink(path.c_str());
    return path;
}

std::string LinkTarget(const std::string& link) {
    std::array<char, 256> target{};
    const ssize_t n = readlink(link.c_str(), target.data(), target.size() - 1);
    return n > 0 ? std::string(target.data(), static_cast<std::size_t>(n)) : std::string();
}

// Waits until the log tells of connection `index` (0: the device at the start); false when the
// simulator ended without it, or at the deadline.
bool ConnectionLogged(TSimulatorProzess& simulator, std::size_t index) {
    const auto logged = [&] { return simulator.Verbindungen().size() > index; };
    return QTest::qWaitFor([&] { return simulator.AusgabeZuEnde() || logged(); }, DeadlineMs) &&
           logged();
}

} // namespace

class TMeterSimLog : public QObject {
    Q_OBJECT
private slots:
    void describesEachRecordInOrder();
    void replayLogsTheReadableBytes();
    void unplugHangsUpTheReaderAndMovesTheLink();
    void linkCarriesExactlyTheLoggedRecordsAcrossUnplugs();
};

void TMeterSimLog::describesEachRecordInOrder() {
    TSimulatorProzess simulator(METER_SIM,
                                {"--mode", "mixed", "--quantity", "mixed", "--count", "12",
                                 "--interval", "20", "--baud", "0", "--print-records"});
    const int fd = OpenRaw(simulator.Geraet());
    QVERIFY(fd >= 0);
    const std::vector<std::string> records = ReadRecords(fd, 12);
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
    const std::string recording = " 6.50 pH   21.5 \xF8"
                                  "C\r\n\x13"
                                  "01.02.03 04:05\r\n 7.25 pH   23.0 \xF8"
                                  "C\r\n\x11\r\n";
    const TTempFile file(recording);
    QVERIFY(file.Written());
    TSimulatorProzess simulator(METER_SIM, {"--replay", file.Path(), "--count", "3", "--interval",
                                            "20", "--print-records"});
    const int fd = OpenRaw(simulator.Geraet());
    QVERIFY(fd >= 0);
    std::string received;
    for (const std::string& record : ReadRecords(fd, 3)) {
        received += record;
    }
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

void TMeterSimLog::unplugHangsUpTheReaderAndMovesTheLink() {
    const TTempFile recording(Joined(NumberedRecords(40)));
    QVERIFY(recording.Written());
    const std::string link = LinkPath("hangup");
    TSimulatorProzess simulator(METER_SIM,
                                {"--replay", recording.Path(), "--interval", "20", "--link", link,
                                 "--unplug", "300,300", "--print-records"});
    const std::string first = simulator.Geraet();
    const int fd = OpenRaw(link);
    QVERIFY2(fd >= 0, link.c_str());
    // Gulps 50 ms apart still get the last record: the line is silent for 1 s before it goes.
    const TReading reading = ReadUntilHangUp(fd, milliseconds(50));
    // Held open, the old device keeps its number, so the new one must have another.
    std::string second;
    const bool moved = QTest::qWaitFor(
        [&] {
            second = LinkTarget(link);
            return !second.empty() && second != first;
        },
        DeadlineMs);
    close(fd);
    QVERIFY(reading.HungUp);
    QVERIFY2(moved && second.starts_with("/dev/pts/"), second.c_str());
    QVERIFY(simulator.Beenden());

    const std::vector<TVerbindung> connections = simulator.Verbindungen();
    QVERIFY(connections.size() >= 2);
    QCOMPARE(connections[0].Geraet, first);
    QVERIFY(connections[0].Getrennt);
    QCOMPARE(connections[1].Geraet, second);
    QVERIFY(!connections[0].Datensaetze.empty());
    QCOMPARE(Shown(Records(reading.Bytes)), Shown(ReplayedBytes(connections[0].Datensaetze)));
}

void TMeterSimLog::linkCarriesExactlyTheLoggedRecordsAcrossUnplugs() {
    const std::vector<std::string> numbered = NumberedRecords(40);
    const TTempFile recording(Joined(numbered));
    QVERIFY(recording.Written());
    const std::string link = LinkPath("records");
    // A connection carries at most 14 records (the first one interval after plugging in, none
    // from 300 ms on), so 36 take at least three.
    TSimulatorProzess simulator(METER_SIM,
                                {"--replay", recording.Path(), "--interval", "20", "--count", "36",
                                 "--link", link, "--unplug", "300,300", "--print-records"});
    QVERIFY(!simulator.Geraet().empty());
    std::vector<std::vector<std::string>> received;
    std::size_t total = 0;
    // Every connection hangs up but the last, which stays until the reader has all 36 records
    // and closes it.
    const auto last = [&total](const std::string& bytes) {
        return total + Records(bytes).size() >= 36;
    };
    for (std::size_t index = 0; total < 36 && ConnectionLogged(simulator, index); ++index) {
        const int fd = OpenRaw(link);
        QVERIFY2(fd >= 0, link.c_str());
        const std::string device = LinkTarget(link);
        const TReading reading = ReadUntilHangUp(fd, milliseconds(0), last);
        close(fd);
        QCOMPARE(device, simulator.Verbindungen()[index].Geraet);
        received.push_back(Records(reading.Bytes));
        total += received.back().size();
        QVERIFY(reading.HungUp || total == 36);
    }
    QVERIFY(simulator.Beenden());

    const std::vector<TVerbindung> connections = simulator.Verbindungen();
    QVERIFY(connections.size() >= 3);
    QCOMPARE(received.size(), connections.size());
    for (std::size_t i = 0; i < connections.size(); ++i) {
        QCOMPARE(Shown(received[i]), Shown(ReplayedBytes(connections[i].Datensaetze)));
        QCOMPARE(connections[i].Getrennt, i + 1 < connections.size());
    }
    // In order and none doubled: the numbered lines one after another from the first.
    QCOMPARE(Shown(ReplayedBytes(simulator.Datensaetze())),
             Shown(std::vector<std::string>(numbered.begin(), numbered.begin() + 36)));
}

QTEST_GUILESS_MAIN(TMeterSimLog)
#include "metersim_protokoll_test.moc"
