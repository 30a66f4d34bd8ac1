// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The longest stall of the owner's event loop while TMqttVerbindung connects to a broker whose
// name cannot be looked up because the name server never answers. The program makes that
// name server itself: in a mount and network namespace of its own, /etc/resolv.conf is bound
// over by one naming 127.0.0.1, where a UDP socket takes the queries and answers none. A timer
// of 1 ms in the owner's thread notes every gap between its ticks.
//
// Needs root for the namespaces, or a user namespace: `unshare -r mqtt_namensstau_bench [s]`.
#include "mqtt/MqttVerbindung.h"
#include "tests/bench/BenchLoop.h"

#include <QCoreApplication>

#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <net/if.h>
#include <netinet/in.h>
#include <sched.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using Uhr = std::chrono::steady_clock;

const char* const Rechner = "broker.namensstau.quorlits.example";
const char* const Resolv = "/tmp/quorlits-namensstau-resolv.conf";

bool Fehler(const char* was) {
    std::fprintf(stderr, "%s: %s\n", was, std::strerror(errno));
    return false;
}

bool LoopbackEin() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq anfrage{};
    std::strncpy(anfrage.ifr_name, "lo", IFNAMSIZ - 1);
    anfrage.ifr_flags = IFF_UP | IFF_LOOPBACK | IFF_RUNNING;
    const bool gut = fd >= 0 && ::ioctl(fd, SIOCSIFFLAGS, &anfrage) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return gut || Fehler("lo einschalten");
}

// A name server on 127.0.0.1:53 that reads every query and answers none. Without a socket
// there, the kernel's "port unreachable" would end each lookup at once.
bool StummerNamensdienst() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in adresse{};
    adresse.sin_family = AF_INET;
    adresse.sin_port = htons(53);
    adresse.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&adresse), sizeof adresse) == 0) ||
           Fehler("UDP-Port 53 belegen");
}

bool NamensraumEinrichten(int wartezeitS) {
    if (::unshare(CLONE_NEWNS | CLONE_NEWNET) != 0) {
        return Fehler("unshare (als root oder mit `unshare -r` starten)");
    }
    if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        return Fehler("mount --make-rprivate /");
    }
    std::ofstream(Resolv) << "nameserver 127.0.0.1\noptions timeout:" << wartezeitS
                          << " attempts:1\n";
    if (::mount(Resolv, "/etc/resolv.conf", nullptr, MS_BIND, nullptr) != 0) {
        return Fehler("mount --bind resolv.conf");
    }
    return LoopbackEin() && StummerNamensdienst();
}

} // namespace

int main(int argc, char** argv) {
    const int sekunden = argc > 1 ? std::atoi(argv[1]) : 8;
    // Before any thread exists: unshare of the mount namespace refuses a threaded process.
    if (!NamensraumEinrichten(3)) {
        return 1;
    }
    QCoreApplication app(argc, argv);
    TMqttZugang zugang;
    zugang.Adresse = BrokerAdresseLesen(std::string("mqtt://") + Rechner + ":1883");
    zugang.ClientId = "quorlits-namensstau-bench";

    Uhr::duration laengste{};
    Uhr::time_point letzter = Uhr::now();
    long takte = 0;
    QTimer takt;
    takt.setTimerType(Qt::PreciseTimer);
    QObject::connect(&takt, &QTimer::timeout, &takt, [&] {
        const Uhr::time_point jetzt = Uhr::now();
        laengste = std::max(laengste, jetzt - letzter);
        letzter = jetzt;
        ++takte;
    });
    takt.start(1);
    RunFor(std::chrono::milliseconds(200));

    const Uhr::time_point beginn = Uhr::now();
    Uhr::duration ersterGrund{};
    QString grund;
    TMqttVerbindung verbindung(zugang);
    QObject::connect(&verbindung, &TMqttVerbindung::Getrennt, &takt, [&](const QString& text) {
        if (grund.isEmpty()) {
            ersterGrund = Uhr::now() - beginn;
            grund = text;
        }
    });
    laengste = {};
    letzter = Uhr::now();
    verbindung.Verbinden();
    RunFor(std::chrono::seconds(sekunden));
    // The gap up to the end counts too: a loop still stuck there has not ticked since.
    laengste = std::max(laengste, Uhr::now() - letzter);

    const auto ms = [](Uhr::duration d) {
        return std::chrono::duration<double, std::milli>(d).count();
    };
    std::printf("Verbinden mit %s, Namensdienst antwortet nie (timeout:3 attempts:1), %d s:\n",
                Rechner, sekunden);
    std::printf("  längste Stockung der Ereignisschleife: %.1f ms (Ziel <= 50 ms)\n", ms(laengste));
    std::printf("  Takte von 1 ms: %ld\n", takte);
    std::printf("  erster Grund nach %.0f ms: %s\n", ms(ersterGrund),
                grund.isEmpty() ? "(keiner)" : qPrintable(grund));
    return 0;
}
