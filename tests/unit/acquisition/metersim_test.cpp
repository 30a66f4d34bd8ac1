// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// Runs tools/meter-sim on a pseudo-terminal and reads what it sends the way a meter measurement
// does: byte by byte through the framing step, each completed record through the parser.
#include "acquisition/MesswertLesen.h"
#include "acquisition/Rahmen.h"
#include "storage/RohdatenSchreiber.h"

#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Uhr = std::chrono::steady_clock;
constexpr std::chrono::seconds Frist{20};

// One meter-sim process: stdout through a pipe (its first line is the device), stderr into a
// temporary file. Ended with SIGTERM if still running when the test is done.
class TSimulator {
public:
    explicit TSimulator(const std::vector<std::string>& argumente) {
        char muster[] = "/tmp/metersim_test_XXXXXX";
        const int logFd = mkstemp(muster);
        EXPECT_GE(logFd, 0);
        close(logFd);
        Protokolldatei = muster;
        int enden[2] = {-1, -1};
        EXPECT_EQ(pipe(enden), 0);
        Ausgabe = enden[0];
        posix_spawn_file_actions_t aktionen;
        posix_spawn_file_actions_init(&aktionen);
        posix_spawn_file_actions_adddup2(&aktionen, enden[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&aktionen, enden[0]);
        posix_spawn_file_actions_addclose(&aktionen, enden[1]);
        posix_spawn_file_actions_addopen(&aktionen, STDERR_FILENO, muster, O_WRONLY | O_TRUNC, 0);
        std::vector<std::string> alle{METER_SIM};
        alle.insert(alle.end(), argumente.begin(), argumente.end());
        std::vector<char*> argv;
        for (std::string& argument : alle) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        EXPECT_EQ(posix_spawn(&Pid, METER_SIM, &aktionen, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&aktionen);
        close(enden[1]);
    }

    ~TSimulator() {
        if (Pid > 0 && !Beendet) {
            kill(Pid, SIGTERM);
            waitpid(Pid, nullptr, 0);
        }
        close(Ausgabe);
        unlink(Protokolldatei.c_str());
    }

    // The first line of stdout, without its line feed; empty when none came in time.
    std::string ErsteZeile() {
        std::string zeile;
        const Uhr::time_point ende = Uhr::now() + Frist;
        while (Uhr::now() < ende) {
            pollfd fd{Ausgabe, POLLIN, 0};
            if (poll(&fd, 1, 100) <= 0) {
                continue;
            }
            char zeichen = 0;
            if (read(Ausgabe, &zeichen, 1) != 1 || zeichen == '\n') {
                break;
            }
            zeile.push_back(zeichen);
        }
        return zeile;
    }

    // Waits for the process to end and returns its wait status, or -1 when it did not end in
    // time.
    int Warten() {
        const Uhr::time_point ende = Uhr::now() + Frist;
        int status = 0;
        while (Uhr::now() < ende) {
            if (waitpid(Pid, &status, WNOHANG) == Pid) {
                Beendet = true;
                return status;
            }
            poll(nullptr, 0, 20);
        }
        return -1;
    }

    void Signal(int nummer) const { kill(Pid, nummer); }

    std::string Fehlerausgabe() const {
        std::ifstream datei(Protokolldatei, std::ios::binary);
        std::ostringstream inhalt;
        inhalt << datei.rdbuf();
        return inhalt.str();
    }

private:
    pid_t Pid = -1;
    bool Beendet = false;
    int Ausgabe = -1;
    std::string Protokolldatei;
};

int GeraetOeffnen(const std::string& pfad) {
    const int fd = open(pfad.c_str(), O_RDWR | O_NOCTTY);
    if (fd >= 0) {
        termios einstellung{};
        tcgetattr(fd, &einstellung);
        cfmakeraw(&einstellung);
        tcsetattr(fd, TCSANOW, &einstellung);
    }
    return fd;
}

struct TEmpfangen {
    std::string Datensatz;
    TMesswert Messwert;
};

// Hands what the device delivers to `weiter` piece by piece while it returns true, until the
// simulator has closed its side or the time is up.
void Empfangen(int fd, const std::function<bool(std::string_view)>& weiter) {
    const Uhr::time_point ende = Uhr::now() + Frist;
    bool mehr = true;
    while (mehr && Uhr::now() < ende) {
        pollfd pfd{fd, POLLIN, 0};
        if (poll(&pfd, 1, 100) <= 0) {
            continue;
        }
        std::array<char, 256> puffer{};
        const ssize_t gelesen = read(fd, puffer.data(), puffer.size());
        if (gelesen <= 0) {
            return;
        }
        mehr = weiter(std::string_view(puffer.data(), static_cast<std::size_t>(gelesen)));
    }
}

// Reads from the device until `anzahl` records have completed, the simulator has closed its
// side, or the time is up.
std::vector<TEmpfangen> MesswerteLesen(int fd, std::size_t anzahl) {
    std::vector<TEmpfangen> messwerte;
    TRahmenZustand zustand;
    std::string messgroesse;
    Empfangen(fd, [&](std::string_view stueck) {
        for (std::size_t i = 0; i < stueck.size(); ++i) {
            if (RahmenPruefen(stueck.substr(i, 1), zustand)) {
                messwerte.push_back(
                    {zustand.EmpfangsPuffer,
                     MesswertLesen(zustand.EmpfangsPuffer, zustand.Gerahmt, messgroesse)});
                zustand.EmpfangsPuffer.clear();
            }
        }
        return messwerte.size() < anzahl;
    });
    return messwerte;
}

struct TErwartung {
    const char* Messgroesse;
    const char* Einheit;
    double Kleinster;
    double Groesster;
};

// --quantity mixed: one round of plain lines, then one round of printouts, in this order. A
// printout is searched for the conductivity unit only; other quantities give "?" and the
// letters and "%" left.
constexpr TErwartung Zeilen[] = {
    {"pH", "pH", 6.0, 8.0},         {"mV", "mV", 150.0, 250.0}, {"Lf", "mS/cm", 1.0, 2.0},
    {"Lf", "\xE6S/cm", 1000, 2000}, {"O2", "mg/l", 7.0, 10.0},  {"O2", "%", 85.0, 105.0},
};
constexpr TErwartung Protokolle[] = {
    {"?", "pH", 6.0, 8.0},          {"?", "mV", 150.0, 250.0}, {"Lf", "mS/cm", 1.0, 2.0},
    {"Lf", "\xE6S/cm", 1000, 2000}, {"?", "mg/l", 7.0, 10.0},  {"?", "%", 85.0, 105.0},
};

bool IstZiffernfolge(const std::string& text, const std::string& form) {
    if (text.size() != form.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool ziffer = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
        if (form[i] == '9' ? !ziffer : text[i] != form[i]) {
            return false;
        }
    }
    return true;
}

TEST(MeterSim, MixedRecordsParseByteByByteAndCommandsAreLogged) {
    TSimulator simulator(
        {"--interval", "20", "--count", "12", "--mode", "mixed", "--quantity", "mixed"});
    const std::string geraet = simulator.ErsteZeile();
    ASSERT_EQ(geraet.rfind("/dev/pts/", 0), 0U) << geraet;
    const int fd = GeraetOeffnen(geraet);
    ASSERT_GE(fd, 0);
    const std::string befehl = "GLP\r\n";
    ASSERT_EQ(write(fd, befehl.data(), befehl.size()), static_cast<ssize_t>(befehl.size()));

    const std::vector<TEmpfangen> messwerte = MesswerteLesen(fd, 12);
    close(fd); // the simulator ends once the line is closed
    const int status = simulator.Warten();

    ASSERT_EQ(messwerte.size(), 12U);
    for (std::size_t i = 0; i < messwerte.size(); ++i) {
        const TMesswert& messwert = messwerte[i].Messwert;
        const bool gerahmt = i >= 6;
        const TErwartung& erwartung = gerahmt ? Protokolle[i % 6] : Zeilen[i % 6];
        SCOPED_TRACE("record " + std::to_string(i));
        // The meter's fixed-width lines complete on their 18th character, the "C" of the
        // degree sign; conductivity lines are longer and complete at the line feed.
        if (!gerahmt && messwert.Messgroesse != "Lf") {
            EXPECT_EQ(messwerte[i].Datensatz.size(), 18U) << messwerte[i].Datensatz;
            EXPECT_TRUE(messwerte[i].Datensatz.ends_with("\xF8"
                                                         "C"));
        }
        EXPECT_EQ(messwert.Gerahmt, gerahmt);
        EXPECT_EQ(messwert.Messgroesse, erwartung.Messgroesse);
        EXPECT_EQ(messwert.Einheit, erwartung.Einheit);
        EXPECT_GE(messwert.Wert, erwartung.Kleinster);
        EXPECT_LE(messwert.Wert, erwartung.Groesster);
        EXPECT_GE(messwert.Temp, 15.0);
        EXPECT_LE(messwert.Temp, 35.0);
        const bool mitKoeffizient = gerahmt && messwert.Messgroesse == "Lf";
        EXPECT_EQ(messwert.Tref, mitKoeffizient ? 25.0 : 0.0);
        EXPECT_EQ(messwert.TCKoeff > 0.0, mitKoeffizient);
        EXPECT_TRUE(gerahmt ? IstZiffernfolge(messwert.Datum, "99.99.99") : messwert.Datum.empty())
            << messwert.Datum;
        EXPECT_TRUE(gerahmt ? IstZiffernfolge(messwert.Zeit, "99:99") : messwert.Zeit.empty())
            << messwert.Zeit;
    }
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_NE(simulator.Fehlerausgabe().find("GLP<CR><LF>"), std::string::npos)
        << simulator.Fehlerausgabe();
}

TEST(MeterSim, ReplaySendsTheRecordingPieceByPieceAndStartsAgain) {
    // A plain line, a conductivity printout whose inner line feeds must not split it, and a
    // line without its line feed at the end of the file.
    const std::string aufnahme = " 6.50 pH   21.5 \xF8"
                                 "C\r\n"
                                 "\x13"
                                 "01.02.03 04:05\r\n  2.000 mS/cm 22.0 \xF8"
                                 "C\r\nTREF 20 C = 1.5\r\n\x11\r\n"
                                 " 7.25 pH   23.0 \xF8"
                                 "C";
    char muster[] = "/tmp/metersim_test_replay_XXXXXX";
    const int dateiFd = mkstemp(muster);
    ASSERT_GE(dateiFd, 0);
    ASSERT_EQ(write(dateiFd, aufnahme.data(), aufnahme.size()),
              static_cast<ssize_t>(aufnahme.size()));
    close(dateiFd);

    TSimulator simulator({"--replay", muster, "--interval", "20", "--count", "4"});
    const std::string geraet = simulator.ErsteZeile();
    const int fd = GeraetOeffnen(geraet);
    unlink(muster);
    ASSERT_GE(fd, 0) << geraet;
    const std::vector<TEmpfangen> empfangen = MesswerteLesen(fd, 4);
    close(fd);
    EXPECT_EQ(simulator.Warten(), 0);

    ASSERT_EQ(empfangen.size(), 4U);
    const double werte[] = {6.50, 2.000, 7.25, 6.50};
    for (std::size_t i = 0; i < empfangen.size(); ++i) {
        const TMesswert& messwert = empfangen[i].Messwert;
        SCOPED_TRACE("record " + std::to_string(i));
        EXPECT_DOUBLE_EQ(messwert.Wert, werte[i]);
        EXPECT_EQ(messwert.Gerahmt, i == 1);
    }
    EXPECT_EQ(empfangen[1].Messwert.Datum, "01.02.03");
    EXPECT_EQ(empfangen[1].Messwert.Zeit, "04:05");
    EXPECT_DOUBLE_EQ(empfangen[1].Messwert.Tref, 20.0);
    EXPECT_DOUBLE_EQ(empfangen[1].Messwert.TCKoeff, 1.5);
}

// Everything the device delivers until the simulator closes its side, or the time is up.
std::string AllesLesen(int fd) {
    std::string bytes;
    Empfangen(fd, [&](std::string_view stueck) {
        bytes += stueck;
        return true;
    });
    return bytes;
}

TEST(MeterSim, ReplayOfACapturePlaysOnlyTheReceivedChunksOnce) {
    using namespace std::string_literals;
    // A printout cut across chunks, bytes no text file would keep, and what the program sent
    // and the port's events between them, which are not played.
    const std::vector<std::string> stuecke = {
        " 6.50 pH   21.5 \xF8"
        "C\r\n\x13"
        "01.02.03",
        " 04:05\r\n 7.25 pH   23.0 \xF8"
        "C\r\n\x11\r\n",
        "\x00\xFF\r\r\n"s,
    };
    char muster[] = "/tmp/metersim_test_capture_XXXXXX";
    const int dateiFd = mkstemp(muster);
    ASSERT_GE(dateiFd, 0);
    close(dateiFd);
    {
        TRohSchreiber schreiber(muster, TRohKopf{0, "0.1.0", "/dev/ttyS0", {{"Baud", "4800"}}});
        const std::int64_t sekunde = 1'000'000'000;
        schreiber.Schreiben({TRohArt::Geoeffnet, 0, 0, 3600, "4800 8N1"});
        schreiber.Schreiben({TRohArt::MessungBeginn, 1, 0, 3600, "RS232"});
        schreiber.Schreiben({TRohArt::Empfangen, 2 * sekunde, 2000, 3600, stuecke[0]});
        schreiber.Schreiben({TRohArt::Gesendet, 3 * sekunde, 3000, 3600, "GLP\r\n"});
        schreiber.Schreiben({TRohArt::Empfangen, 4 * sekunde, 4000, 3600, stuecke[1]});
        schreiber.Schreiben({TRohArt::Verloren, 5 * sekunde, 5000, 3600, "5"});
        schreiber.Schreiben({TRohArt::Zurueck, 6 * sekunde, 6000, 3600, ""});
        schreiber.Schreiben({TRohArt::Empfangen, 9 * sekunde, 9000, 3600, stuecke[2]});
        schreiber.Schreiben({TRohArt::MessungEnde, 10 * sekunde, 10000, 3600, ""});
        schreiber.Schliessen();
    }

    // Seven seconds of pauses in seven milliseconds; no --count: the capture ends the run.
    TSimulator simulator({"--replay", muster, "--speed", "1000", "--interval", "20"});
    const std::string geraet = simulator.ErsteZeile();
    const int fd = GeraetOeffnen(geraet);
    ASSERT_GE(fd, 0) << geraet;
    const std::string empfangen = AllesLesen(fd);
    const int status = simulator.Warten();
    close(fd);
    unlink(muster);

    EXPECT_EQ(empfangen, stuecke[0] + stuecke[1] + stuecke[2]);
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0) << simulator.Fehlerausgabe();
}

TEST(MeterSim, SymlinkFollowsTheDeviceAndGoesOnSigterm) {
    const std::string verknuepfung =
        "/tmp/metersim_test_link_" + std::to_string(static_cast<long>(getpid()));
    unlink(verknuepfung.c_str());
    TSimulator simulator({"--link", verknuepfung});
    const std::string geraet = simulator.ErsteZeile();
    ASSERT_FALSE(geraet.empty());
    std::array<char, 256> ziel{};
    const ssize_t laenge = readlink(verknuepfung.c_str(), ziel.data(), ziel.size() - 1);
    ASSERT_GT(laenge, 0);
    EXPECT_EQ(std::string(ziel.data(), static_cast<std::size_t>(laenge)), geraet);

    simulator.Signal(SIGTERM);
    const int status = simulator.Warten();
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0);
    struct stat info {};
    EXPECT_NE(lstat(verknuepfung.c_str(), &info), 0);
}

TEST(MeterSim, RejectsBadArgumentsWithoutOpeningADevice) {
    const std::vector<std::vector<std::string>> faelle = {
        {"--mode", "round"},
        {"--quantity", "Ohm"},
        {"--interval", "0"},
        {"--count", "x"},
        {"--baud"},
        {"--speed", "0"},
        {"--speed", "-1"},
        {"--speed", "schnell"},
        {"--verbose"},
        {"--replay", "/nonexistent/recording"},
        {"--unplug", "300,300"}, // the new device is found only through --link
        {"--link", "/nonexistent/link", "--unplug", "300"},
        {"--link", "/nonexistent/link", "--unplug", "0,300"},
    };
    for (const std::vector<std::string>& fall : faelle) {
        TSimulator simulator(fall);
        SCOPED_TRACE(fall.front());
        EXPECT_EQ(simulator.ErsteZeile(), "");
        const int status = simulator.Warten();
        ASSERT_TRUE(WIFEXITED(status)) << status;
        const bool aufnahmeFehlt = fall.front() == "--replay";
        EXPECT_EQ(WEXITSTATUS(status), aufnahmeFehlt ? 1 : 2);
        EXPECT_NE(simulator.Fehlerausgabe().find(aufnahmeFehlt ? "/nonexistent/recording"
                                                               : "Aufruf: meter-sim"),
                  std::string::npos);
    }
}

} // namespace
