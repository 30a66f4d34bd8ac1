// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "TestOrdner.h"
#include "app/DienstMelder.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

// The service manager's end: a Unix datagram socket that the messages go to (NOTIFY_SOCKET).
class DienstMelderTest : public testing::Test {
protected:
    void SetUp() override {
        pfad_ = ordner_.Datei("notify");
        empfang_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        ASSERT_GE(empfang_, 0);
        sockaddr_un adresse{};
        adresse.sun_family = AF_UNIX;
        ASSERT_LT(pfad_.size(), sizeof(adresse.sun_path));
        pfad_.copy(adresse.sun_path, pfad_.size());
        ASSERT_EQ(::bind(empfang_, reinterpret_cast<sockaddr*>(&adresse), sizeof(adresse)), 0);
        ::setenv("NOTIFY_SOCKET", pfad_.c_str(), 1);
        ::unsetenv("WATCHDOG_USEC");
        ::unsetenv("WATCHDOG_PID");
    }
    void TearDown() override {
        ::unsetenv("NOTIFY_SOCKET");
        ::unsetenv("WATCHDOG_USEC");
        ::unsetenv("WATCHDOG_PID");
        ::close(empfang_);
    }

    // The next message if one is there, without waiting.
    std::optional<std::string> Abholen() const {
        char puffer[4096];
        const ssize_t laenge = ::recv(empfang_, puffer, sizeof(puffer), 0);
        if (laenge < 0) {
            EXPECT_EQ(errno, EAGAIN);
            return std::nullopt;
        }
        return std::string(puffer, static_cast<std::size_t>(laenge));
    }

    // The next message, running Qt's loop until one arrives (the melder's timers send from
    // there). The bound only keeps a broken run from hanging.
    std::string Erwarten() const {
        const QDeadlineTimer schranke(30'000);
        while (!schranke.hasExpired()) {
            if (auto meldung = Abholen()) {
                return *meldung;
            }
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        ADD_FAILURE() << "keine Meldung angekommen";
        return {};
    }

    // Every message there now.
    std::vector<std::string> AlleAbholen() const {
        std::vector<std::string> meldungen;
        while (auto meldung = Abholen()) {
            meldungen.push_back(*meldung);
        }
        return meldungen;
    }

    TTestOrdner ordner_;
    std::string pfad_;
    int empfang_ = -1;
};

using Meldungen = std::vector<std::string>;

TEST_F(DienstMelderTest, OhneSystemdWirdNichtsGesendet) {
    ::unsetenv("NOTIFY_SOCKET");
    ::setenv("WATCHDOG_USEC", "1000", 1);
    TDienstMelder melder;
    melder.Bereit();
    melder.Status("Messung läuft, 1 Messwert");
    melder.Endet();
    EXPECT_FALSE(melder.Aktiv());
    EXPECT_EQ(melder.WachhundFrist().count(), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(AlleAbholen(), Meldungen{});
}

// READY=1 once; the status at most once per StatusAbstand, the newest text winning; the end
// sends the waiting text before STOPPING=1.
TEST_F(DienstMelderTest, BereitStatusUndEnde) {
    TDienstMelder melder;
    EXPECT_TRUE(melder.Aktiv());
    melder.Bereit();
    melder.Bereit();
    melder.Status("Warte auf /dev/ttyUSB0: Gerät nicht vorhanden");
    melder.Status("Messung läuft, 1 Messwert");
    melder.Status("Messung läuft, 2 Messwerte");
    EXPECT_EQ(AlleAbholen(),
              (Meldungen{"READY=1", "STATUS=Warte auf /dev/ttyUSB0: Gerät nicht vorhanden"}));
    EXPECT_EQ(Erwarten(), "STATUS=Messung läuft, 2 Messwerte");

    melder.Status("Messung läuft, 3 Messwerte");
    melder.Endet();
    EXPECT_EQ(AlleAbholen(), (Meldungen{"STATUS=Messung läuft, 3 Messwerte", "STOPPING=1"}));
}

TEST_F(DienstMelderTest, WachhundAusDerSchleife) {
    ::setenv("WATCHDOG_USEC", "20000", 1);
    ::setenv("WATCHDOG_PID", std::to_string(::getpid()).c_str(), 1);
    TDienstMelder melder;
    EXPECT_EQ(melder.WachhundFrist().count(), 20000);
    EXPECT_EQ(AlleAbholen(), Meldungen{}); // only the running loop pings
    EXPECT_EQ(Erwarten(), "WATCHDOG=1");
    EXPECT_EQ(Erwarten(), "WATCHDOG=1");
}

// A watchdog meant for another process (WATCHDOG_PID) is not this one's.
TEST_F(DienstMelderTest, WachhundEinesAnderenProzesses) {
    ::setenv("WATCHDOG_USEC", "20000", 1);
    ::setenv("WATCHDOG_PID", std::to_string(::getpid() + 1).c_str(), 1);
    const TDienstMelder melder;
    EXPECT_EQ(melder.WachhundFrist().count(), 0);
}

TEST_F(DienstMelderTest, EinFehlerWirdEinmalGemeldet) {
    ::setenv("NOTIFY_SOCKET", ordner_.Datei("niemand").c_str(), 1);
    TDienstMelder melder;
    std::vector<std::string> fehler;
    melder.BeiFehler = [&fehler](const std::string& text) { fehler.push_back(text); };
    melder.Bereit();
    melder.Endet();
    ASSERT_EQ(fehler.size(), 1U);
    EXPECT_EQ(fehler[0].rfind("systemd nimmt die Meldung „READY=1“ nicht an: ", 0), 0U)
        << fehler[0];
}

} // namespace
