// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The program as a user runs it: its own set-up on the port of the command line, a meter-sim
// process on a pseudo-terminal, a meter measurement and immediate saving started with the
// window's buttons, the end button. The data file must hold, line by line, a contiguous run of
// the records the simulator sent, and the raw-data capture of the run (--capture) must replay
// into the same bytes (quorlits --replay, in another time zone).
#include "app/KonfPfad.h"
#include "framework/widgets/SpeedButton.h"
#include "mainwindow/ComMainForm.h"
#include "mainwindow/Programm.h"
#include "serial/ComPort.h"
#include "tests/e2e/SimulatorProzess.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int ReadingsWanted = 20;
// Generous: the run takes about two seconds, but the machine may be loaded or sanitized.
constexpr int WaitMs = 60'000;

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t end = text.find(separator); end != std::string::npos;
         end = text.find(separator, start)) {
        parts.push_back(text.substr(start, end - start));
        start = end + separator.size();
    }
    parts.push_back(text.substr(start));
    return parts;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A plain result line as meter-sim's record log describes it, with the unit as the data file
// holds it, in Windows-1252 ("µ" is 0xB5).
struct TSent {
    std::string Value;
    std::string Unit;
    std::string Temp;
};

std::optional<TSent> ParseLogLine(const std::string& line) {
    const std::vector<std::string> fields = Split(line, "\t");
    if (fields.size() != 4 || fields[0] != "Zeile") {
        return std::nullopt;
    }
    std::string unit = fields[2];
    if (unit.rfind("\xC2\xB5", 0) == 0) {
        unit = "\xB5" + unit.substr(2);
    }
    return TSent{fields[1], unit, fields[3]};
}

// Every record line of meter-sim's log as a sent reading; the first line that is none, or
// nothing.
std::string ParseLog(const std::vector<std::string>& log, std::vector<TSent>& sent) {
    for (const std::string& line : log) {
        const std::optional<TSent> record = ParseLogLine(line);
        if (!record) {
            return line;
        }
        sent.push_back(*record);
    }
    return {};
}

// The data file's number: width 6, two decimals, decimal comma.
std::string DataFileNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%6.2f", value);
    std::string result = text;
    for (char& c : result) {
        c = c == '.' ? ',' : c;
    }
    return result;
}

double ParseDataFileNumber(std::string text) {
    for (char& c : text) {
        c = c == ',' ? '.' : c;
    }
    return std::strtod(text.c_str(), nullptr);
}

std::size_t Decimals(const std::string& number) {
    const std::size_t point = number.find('.');
    return point == std::string::npos ? 0 : number.size() - point - 1;
}

// Why the data line does not hold the sent reading; empty when it does. A value with more
// decimals than the file keeps (mS/cm has three) must be the nearest of the file's numbers.
std::string Mismatch(const std::vector<std::string>& fields, const TSent& sent) {
    const double value = std::strtod(sent.Value.c_str(), nullptr);
    const bool valueFits = Decimals(sent.Value) <= 2
                               ? fields[2] == DataFileNumber(value)
                               : std::fabs(ParseDataFileNumber(fields[2]) - value) <= 0.005 + 1e-9;
    if (!valueFits || fields[3] != sent.Unit ||
        fields[4] != DataFileNumber(std::strtod(sent.Temp.c_str(), nullptr))) {
        return "file \"" + fields[2] + "|" + fields[3] + "|" + fields[4] + "\" sent \"" +
               sent.Value + "|" + sent.Unit + "|" + sent.Temp + "\"";
    }
    return {};
}

// Where the data lines start in the sent records so that every one matches; the first
// mismatch of the best start in `why` when there is none.
std::optional<std::size_t> FindRun(const std::vector<std::vector<std::string>>& lines,
                                   const std::vector<TSent>& sent, std::string& why) {
    std::size_t best = 0;
    for (std::size_t start = 0; start + lines.size() <= sent.size(); ++start) {
        std::size_t i = 0;
        while (i < lines.size() && Mismatch(lines[i], sent[start + i]).empty()) {
            ++i;
        }
        if (i == lines.size()) {
            return start;
        }
        if (i >= best) {
            best = i;
            why = "from record " + std::to_string(start) + ", data line " + std::to_string(i) +
                  ": " + Mismatch(lines[i], sent[start + i]);
        }
    }
    return std::nullopt;
}

// The fields of the data lines of a data file: one header first, then six fields per line,
// every line ended by CR LF. Returns what is wrong, or nothing.
std::string DataLines(const std::string& content, std::vector<std::vector<std::string>>& lines) {
    if (content.size() < 2 || !content.ends_with("\r\n")) {
        return "not ended by CR LF";
    }
    std::vector<std::string> rows = Split(content.substr(0, content.size() - 2), "\r\n");
    if (rows.front() != "PC-Datum\tPC-Zeit\tWert\tEinheit\tTemp.\tEinheit") {
        return "header " + rows.front();
    }
    rows.erase(rows.begin());
    const QRegularExpression date(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4}$"));
    const QRegularExpression time(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$"));
    for (const std::string& row : rows) {
        std::vector<std::string> fields = Split(row, "\t");
        if (fields.size() != 6 || !date.match(QString::fromStdString(fields[0])).hasMatch() ||
            !time.match(QString::fromStdString(fields[1])).hasMatch() ||
            fields[5] != "\xB0"
                         "C") {
            return "line " + row;
        }
        lines.push_back(std::move(fields));
    }
    return {};
}

// Closes any modal box (the program's error box) and keeps its text, so that a failure shows
// up as a test failure instead of a hang.
class TBoxWatch {
public:
    TBoxWatch() {
        timer_.setInterval(50);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts_ << box->text();
                box->reject();
            }
        });
        timer_.start();
    }
    QString Texts() const { return texts_.join(QStringLiteral(" | ")); }

private:
    QTimer timer_;
    QStringList texts_;
};

int LabelNumber(const QLabel* label) {
    return label->text().toInt();
}

} // namespace

class TProgrammE2E : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void measurementSavedLineByLine();
    void measurementSurvivesUnplugging();

private:
    void StartAndSave(TForm1& form);
    // After the end button: reports still queued are shown (there must be none), the window
    // goes and the simulator is ended.
    static void Shutdown(std::unique_ptr<TForm1>& form, const TBoxWatch& boxes,
                         TSimulatorProzess& simulator);

    std::unique_ptr<QTemporaryDir> dir_; // a fresh one for each test
    QString oldCurrent_;
    std::filesystem::path config_;
    std::optional<std::string> oldConfig_;
};

void TProgrammE2E::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    oldCurrent_ = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir_->path()));
    // A PHRX.CFG left beside this program would change the start; it is put back afterwards.
    config_ = KonfigurationsPfad();
    if (std::filesystem::exists(config_)) {
        oldConfig_ = ReadFile(config_);
        std::filesystem::remove(config_);
    }
}

void TProgrammE2E::cleanup() {
    std::error_code ignored;
    std::filesystem::remove(config_, ignored);
    if (oldConfig_) {
        std::ofstream(config_, std::ios::binary) << *oldConfig_;
    }
    QDir::setCurrent(oldCurrent_);
}

void TProgrammE2E::StartAndSave(TForm1& form) {
    QTest::mouseClick(form.WTW_Rx_Button, Qt::LeftButton);
    QVERIFY(form.ComPort().Connected());
    QVERIFY(form.WTW_Rx_Button->Down());
    const QString before = QDate::currentDate().toString(QStringLiteral("ddMMyyyy"));
    QTest::mouseClick(form.SaveButton, Qt::LeftButton);
    const QString after = QDate::currentDate().toString(QStringLiteral("ddMMyyyy"));
    const QString name = form.Label12->text();
    QVERIFY2(name == before + ".000" || name == after + ".000", qPrintable(name));
}

void TProgrammE2E::Shutdown(std::unique_ptr<TForm1>& form, const TBoxWatch& boxes,
                            TSimulatorProzess& simulator) {
    ProgrammBeenden();
    QVERIFY2(boxes.Texts().isEmpty(), qPrintable(boxes.Texts()));
    form.reset();
    QVERIFY(simulator.Beenden());
}

void TProgrammE2E::measurementSavedLineByLine() {
    TSimulatorProzess simulator(METER_SIM, {"--mode", "plain", "--quantity", "mixed", "--interval",
                                            "100", "--baud", "4800", "--print-records"});
    const std::string device = simulator.Geraet();
    QVERIFY2(device.rfind("/dev/", 0) == 0, device.c_str());

    TBefehlszeile commandLine;
    commandLine.Port = device;
    commandLine.Aufzeichnung = dir_->filePath(QStringLiteral("fenster.roh")).toStdString();
    auto form = ProgrammEinrichten(commandLine);
    TBoxWatch boxes;
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    StartAndSave(*form);
    if (QTest::currentTestFailed()) {
        return;
    }
    QVERIFY2(QTest::qWaitFor([&] { return LabelNumber(form->Label13) >= ReadingsWanted; }, WaitMs),
             qPrintable(form->Label13->text() + " saved; boxes: " + boxes.Texts()));
    QTest::mouseClick(form->ENDEButton, Qt::LeftButton);
    QVERIFY(!form->isVisible());
    QVERIFY(!form->ComPort().Connected());
    const int saved = LabelNumber(form->Label13);
    const std::filesystem::path dataFile =
        std::filesystem::path(dir_->path().toStdString()) / form->Label12->text().toStdString();
    Shutdown(form, boxes, simulator);
    if (QTest::currentTestFailed()) {
        return;
    }

    std::vector<std::vector<std::string>> lines;
    const std::string fault = DataLines(ReadFile(dataFile), lines);
    QVERIFY2(fault.empty(), (dataFile.string() + ": " + fault).c_str());
    QCOMPARE(static_cast<int>(lines.size()), saved);

    std::vector<TSent> sent;
    const std::string notARecord = ParseLog(simulator.Protokoll(), sent);
    QVERIFY2(notARecord.empty(), notARecord.c_str());
    std::string why = "fewer records sent than saved";
    const std::optional<std::size_t> start = FindRun(lines, sent, why);
    QVERIFY2(start.has_value(), why.c_str());
    qInfo("%d readings saved: records %zu to %zu of %zu sent", saved, *start,
          *start + lines.size() - 1, sent.size());

    QVERIFY2(std::filesystem::exists(config_), config_.c_str());

    QProcess replay;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TZ"), QStringLiteral("XYZ-14"));
    replay.setProcessEnvironment(environment);
    const QString replayed = dir_->filePath(QStringLiteral("wieder.txt"));
    replay.start(QStringLiteral(QUORLITS_BIN),
                 {QStringLiteral("--replay"), QString::fromStdString(commandLine.Aufzeichnung),
                  QStringLiteral("--data-file"), replayed});
    QVERIFY(replay.waitForFinished(WaitMs));
    QVERIFY2(replay.exitCode() == 0, replay.readAllStandardError().constData());
    QVERIFY(ReadFile(replayed.toStdString()) == ReadFile(dataFile));
}

// Three times the meter's cable is pulled and put back (meter-sim gives the link a new
// pseudo-terminal each time): the measurement waits and goes on, and every record sent is in
// the one data file exactly once, under one header, without an error box.
void TProgrammE2E::measurementSurvivesUnplugging() {
    const std::string link = (std::filesystem::path(dir_->path().toStdString()) / "messgeraet");
    TSimulatorProzess simulator(METER_SIM, {"--mode", "plain", "--quantity", "mixed", "--interval",
                                            "50", "--baud", "4800", "--link", link, "--unplug",
                                            "800,1000", "--print-records"});
    QVERIFY(!simulator.Geraet().empty());
    TBefehlszeile commandLine;
    commandLine.Port = link;
    auto form = ProgrammEinrichten(commandLine);
    TBoxWatch boxes;
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    StartAndSave(*form);
    if (QTest::currentTestFailed()) {
        return;
    }
    // Three unplug cycles, then the program back on the line.
    QVERIFY2(QTest::qWaitFor(
                 [&] { return simulator.Verbindungen().size() >= 4 && !form->WartetAufGeraet(); },
                 WaitMs),
             qPrintable(QStringLiteral("boxes: ") + boxes.Texts()));
    // Then everything sent up to now saved. The meter goes on sending meanwhile, so the count
    // to reach is taken once: a count that moves on could stay ahead of a slow machine forever.
    const std::size_t logged = simulator.Datensaetze().size();
    QVERIFY2(
        QTest::qWaitFor(
            [&] { return form->Zustand.Speicher.AnzahlGespeichert >= static_cast<int>(logged); },
            WaitMs),
        qPrintable(QString::number(form->Zustand.Speicher.AnzahlGespeichert) + " of " +
                   QString::number(logged) + " saved; boxes: " + boxes.Texts()));
    const std::filesystem::path dataFile =
        std::filesystem::path(dir_->path().toStdString()) / form->Label12->text().toStdString();
    QTest::mouseClick(form->ENDEButton, Qt::LeftButton);
    Shutdown(form, boxes, simulator);
    if (QTest::currentTestFailed()) {
        return;
    }

    // Each record once, in order: those of the first `logged` for sure; the ones sent while the
    // measurement was being ended may or may not have made it.
    std::vector<std::vector<std::string>> lines;
    const std::string fault = DataLines(ReadFile(dataFile), lines);
    QVERIFY2(fault.empty(), (dataFile.string() + ": " + fault).c_str());
    std::vector<TSent> sent;
    const std::string notARecord = ParseLog(simulator.Datensaetze(), sent);
    QVERIFY2(notARecord.empty(), notARecord.c_str());
    QVERIFY(lines.size() >= logged && lines.size() <= sent.size());
    std::string why;
    const std::optional<std::size_t> start = FindRun(lines, sent, why);
    QVERIFY2(start == std::size_t{0}, why.c_str());
    qInfo("%zu records saved once each over %zu stretches", lines.size(),
          simulator.Verbindungen().size());
}

QTEST_MAIN(TProgrammE2E)
#include "programm_e2e_test.moc"
