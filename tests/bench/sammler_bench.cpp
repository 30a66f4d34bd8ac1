// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// How fast the collector stores a backlog, against the real PostgreSQL and Mosquitto the tests
// start (fsync off, as there):
//   1. TDatenbank::Schreiben alone, batches of 2000 and 5000 readings of ten meters;
//   2. the whole path: readings queued at the broker for the absent collector, which then starts
//      and takes them until the last ack of every meter arrives (MQTT, the check, the batches,
//      the commits, the acks).
// Prints readings a second and the process's CPU seconds.
//   sammler_bench [READINGS]   (default 100000)
#include "Beispiele.h"
#include "Dienste.h"
#include "Warten.h"

#include "collector/Sammler.h"
#include "mqtt/Nutzlast.h"
#include "mqtt/Themen.h"

#include "CpuSeconds.h"

#include <QCoreApplication>
#include <QTimer>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int Messgeraete = 10;

std::string Meter(int nr) {
    return "FTDI FT232R USB UART A5028" + std::to_string(nr);
}

// A saved conductivity printout of meter `nr`, as a bench sends it.
std::string Nutzlast(const std::string& messung, std::uint64_t seq) {
    TMesswert m = BeispielMesswert(static_cast<std::int64_t>(seq) * 1000,
                                   1413 + static_cast<double>(seq % 100));
    m.Messgroesse = "Lf";
    m.Einheit = "µS/cm";
    m.MitTemperatur = true;
    m.Temp = 25.0;
    m.Gerahmt = true;
    m.Datum = "06.12.26";
    m.Zeit = "16:53";
    m.Tref = 25;
    m.TCKoeff = 1.98;
    m.Roh = "16:53 06.12.26\r\n1413 uS/cm  25.0 C\r\n";
    const TSpeicherOrt ort{"/home/labor/Messungen/06122026.000",
                           static_cast<std::int64_t>(seq) + 1};
    const TMesswertHerkunft herkunft{{"P-17", "laborant", "SenTix 41 B123"}, std::string(64, 'a')};
    return MesswertNutzlast(TNachrichtKopf{messung, seq, "/dev/ttyUSB0"}, m, ort, herkunft);
}

// `anzahl` readings, the meters taking turns, each meter's measurement counting from 1.
std::vector<TEingang> Eingaenge(int anzahl, const std::string& messung) {
    std::vector<TEingang> eingaenge;
    eingaenge.reserve(static_cast<std::size_t>(anzahl));
    for (int i = 0; i < anzahl; ++i) {
        const auto seq = static_cast<std::int64_t>(i / Messgeraete + 1);
        eingaenge.push_back(TEingang{"bank1",
                                     Meter(i % Messgeraete),
                                     false,
                                     messung,
                                     seq,
                                     Nutzlast(messung, static_cast<std::uint64_t>(seq)),
                                     {}});
    }
    return eingaenge;
}

void Zeigen(const char* was, int anzahl, double sekunden, double cpu) {
    std::printf("%-44s %8d Messwerte in %6.2f s: %8.0f Messwerte/s, CPU des Sammlers %6.2f s\n",
                was, anzahl, sekunden, anzahl / sekunden, cpu);
    std::fflush(stdout);
}

void NurDatenbank(const TPostgres& postgres, int anzahl, bool zeigen) {
    for (const std::size_t stapel : {2000U, 5000U}) {
        const std::string messung = "db-" + std::to_string(stapel) + "-" + std::to_string(anzahl);
        const std::vector<TEingang> eingaenge = Eingaenge(anzahl, messung);
        TDatenbank db(postgres.Verbindung());
        db.Verbinden();
        const double cpu = CpuSeconds(RUSAGE_SELF);
        const auto anfang = std::chrono::steady_clock::now();
        for (std::size_t i = 0; i < eingaenge.size(); i += stapel) {
            const auto ende = eingaenge.begin() +
                              static_cast<std::ptrdiff_t>(std::min(i + stapel, eingaenge.size()));
            db.Schreiben(
                std::vector<TEingang>(eingaenge.begin() + static_cast<std::ptrdiff_t>(i), ende));
        }
        const std::chrono::duration<double> dauer = std::chrono::steady_clock::now() - anfang;
        const std::string was = "TDatenbank::Schreiben, Stapel " + std::to_string(stapel);
        if (zeigen) {
            Zeigen(was.c_str(), anzahl, dauer.count(), CpuSeconds(RUSAGE_SELF) - cpu);
        }
    }
}

// The benches' side: publishes and counts what the broker sends back on readings and acks.
struct TBank {
    explicit TBank(const TMosquitto& broker) {
        TMqttZugang zugang;
        zugang.Adresse = BrokerAdresseLesen(broker.Url());
        zugang.ClientId = "bank-bench";
        verbindung = std::make_unique<TMqttVerbindung>(zugang);
        QObject::connect(verbindung.get(), &TMqttVerbindung::Verbunden, verbindung.get(),
                         [this](bool) {
                             verbindung->Abonnieren(AlleThemen(TThemenArt::Messwert), 1);
                             verbindung->Abonnieren(AlleThemen(TThemenArt::Quittung), 1);
                             abonniert = true;
                         });
        QObject::connect(verbindung.get(), &TMqttVerbindung::NachrichtErhalten, verbindung.get(),
                         [this](const std::string& thema, const std::string& inhalt, bool) {
                             if (thema.ends_with("/ack")) {
                                 quittungen[thema] = inhalt;
                             } else {
                                 ++messwerte;
                             }
                         });
        verbindung->Verbinden();
    }

    bool AlleQuittiert(const std::string& messung, int jeMessgeraet) const {
        const std::string erwartet = "{\"" + messung + "\":" + std::to_string(jeMessgeraet) + "}";
        for (int nr = 0; nr < Messgeraete; ++nr) {
            const auto q = quittungen.find(Thema("bank1", Meter(nr), TThemenArt::Quittung));
            if (q == quittungen.end() || q->second != erwartet) {
                return false;
            }
        }
        return true;
    }

    std::unique_ptr<TMqttVerbindung> verbindung;
    bool abonniert = false;
    int messwerte = 0;
    std::map<std::string, std::string> quittungen;
};

bool GanzerWeg(const TMosquitto& broker, const TPostgres& postgres, int anzahl) {
    const std::chrono::seconds grenze(600);
    TBank bank(broker);
    // The collector's session exists once it has acknowledged a first round.
    const std::vector<TEingang> eingaenge = Eingaenge(anzahl + Messgeraete, "weg");
    auto sammler = SammlerStarten(broker, postgres, "sammler-bench");
    if (!WartenBis([&] { return bank.abonniert && bank.verbindung->IstVerbunden(); }, grenze)) {
        return false;
    }
    const auto senden = [&](std::size_t von, std::size_t bis) {
        for (std::size_t i = von; i < bis; ++i) {
            bank.verbindung->Veroeffentlichen(
                Thema(eingaenge[i].Bench, eingaenge[i].Meter, TThemenArt::Messwert),
                eingaenge[i].Inhalt, 1, false);
        }
    };
    // Sent again until acknowledged: the collector's subscription may not stand yet.
    QTimer nochmal;
    QObject::connect(&nochmal, &QTimer::timeout, [&] { senden(0, Messgeraete); });
    nochmal.start(500);
    if (!WartenBis([&] { return bank.AlleQuittiert("weg", 1); }, grenze)) {
        return false;
    }
    nochmal.stop();
    sammler.reset();
    // The backlog: the broker holds it for the absent collector once it came back to the bank.
    const int vorher = bank.messwerte;
    senden(Messgeraete, eingaenge.size());
    if (!WartenBis([&] { return bank.messwerte - vorher == anzahl; }, grenze)) {
        return false;
    }
    const double cpu = CpuSeconds(RUSAGE_SELF);
    const auto anfang = std::chrono::steady_clock::now();
    sammler = SammlerStarten(broker, postgres, "sammler-bench");
    if (!WartenBis([&] { return bank.AlleQuittiert("weg", anzahl / Messgeraete + 1); }, grenze)) {
        return false;
    }
    const std::chrono::duration<double> dauer = std::chrono::steady_clock::now() - anfang;
    Zeigen("Ganzer Weg: Rueckstand am Broker bis Quittung", anzahl, dauer.count(),
           CpuSeconds(RUSAGE_SELF) - cpu);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication anwendung(argc, argv);
    int anzahl = argc > 1 ? std::atoi(argv[1]) : 100000;
    anzahl = std::max(Messgeraete, anzahl / Messgeraete * Messgeraete);
    TMosquitto broker;
    TPostgres postgres;
    if (!broker.Starten() || !postgres.Starten()) {
        std::fprintf(stderr, "Mosquitto oder PostgreSQL startet nicht (scripts/deps.sh).\n");
        return 1;
    }
    // A first round warms the fresh cluster's caches and files; its figures are not shown.
    NurDatenbank(postgres, 10000, false);
    NurDatenbank(postgres, anzahl, true);
    if (!GanzerWeg(broker, postgres, anzahl)) {
        std::fprintf(stderr, "Der Sammler hat den Rückstand nicht quittiert.\n");
        return 1;
    }
    return 0;
}
