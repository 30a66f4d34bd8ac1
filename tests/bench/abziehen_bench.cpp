// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// Unplugging in the middle of a meter measurement, as often as asked (default 100 rounds): the
// main window (offscreen) measures with immediate saving on a link to a pseudo-terminal, a few
// records arrive, then the master side is closed and the link removed as if the adapter were
// pulled. Each round measures how long the window takes to notice, the wake-ups of the process
// during one second while it waits (context switches of all its threads), and how long it takes
// to reopen once the link points to a new pseudo-terminal; then the records after the return
// must reach the data file, the measurement is ended and the open descriptors are counted.
// With --ohne-wiederverbinden the loss is reported instead (as with the setting off), and the
// second is measured after the report. Prints figures; asserts nothing.
// Usage: abziehen_bench [rounds]
#include "framework/widgets/SpeedButton.h"
#include "mainwindow/ComMainForm.h"
#include "mainwindow/FehlerboxAnschluss.h"
#include "serial/ComPort.h"
#include "tests/bench/BenchLoop.h"
#include "tests/unit/common/TestPty.h"

#include <QApplication>
#include <QTest>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;

constexpr std::string_view Datensatz = " 7.01 pH   25.0 \xF8"
                                       "C\r\n";
constexpr int DatensaetzeJeRunde = 5;
constexpr int WarteMs = 5000;

// Voluntary context switches of each thread of this process ("tid name"): each time a thread
// goes to sleep after a wake-up is one. (Involuntary ones are preemptions by other processes;
// on a busy machine they say nothing about this program.)
using TWechsel = std::map<std::string, long>;

TWechsel Kontextwechsel() {
    TWechsel wechsel;
    for (const auto& eintrag : std::filesystem::directory_iterator("/proc/self/task")) {
        std::string name;
        std::getline(std::ifstream(eintrag.path() / "comm"), name);
        std::ifstream status(eintrag.path() / "status");
        std::string feld;
        while (status >> feld) {
            if (feld == "voluntary_ctxt_switches:") {
                status >> wechsel[eintrag.path().filename().string() + " " + name];
            }
        }
    }
    return wechsel;
}

long Zuwachs(const TWechsel& vorher, const TWechsel& nachher, std::string* jeThread) {
    long summe = 0;
    for (const auto& [thread, anzahl] : nachher) {
        const auto alt = vorher.find(thread);
        const long neu = anzahl - (alt == vorher.end() ? 0 : alt->second);
        summe += neu;
        if (neu > 0) {
            *jeThread += " " + thread + ": " + std::to_string(neu) + ";";
        }
    }
    return summe;
}

long OffeneDeskriptoren() {
    long anzahl = 0;
    for ([[maybe_unused]] const auto& eintrag :
         std::filesystem::directory_iterator("/proc/self/fd")) {
        ++anzahl;
    }
    return anzahl;
}

struct TRunde {
    bool Verbunden = false;
    bool Empfangen = false;
    bool Zurueck = false;
    int Meldungen = 0;
    double BemerktMs = 0;
    double WiederMs = 0;
    double WeckungenJeSekunde = 0;
    double CpuMsJeSekunde = 0;
    std::string WeckungenJeThread;
    long DeskriptorenDanach = 0;
    int Threads = 0;
};

int Threads() {
    return static_cast<int>(std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                                          std::filesystem::directory_iterator{}));
}

// Points `verknuepfung` at `ziel` in one step, as a plugged-in adapter's name appears.
void Verknuepfen(const std::string& ziel, const std::filesystem::path& verknuepfung) {
    const std::filesystem::path neu = verknuepfung.string() + ".neu";
    std::filesystem::remove(neu);
    std::filesystem::create_symlink(ziel, neu);
    std::filesystem::rename(neu, verknuepfung);
}

double Millisekunden(TClock::duration dauer) {
    return std::chrono::duration<double, std::milli>(dauer).count();
}

class TAbziehen {
public:
    TAbziehen(TForm1& form, const QStringList& meldungen, std::filesystem::path ordner)
        : form_(form)
        , meldungen_(meldungen)
        , ordner_(std::move(ordner)) {}

    TRunde Runde() {
        TRunde runde;
        auto pty = std::make_unique<TPty>();
        const std::filesystem::path verknuepfung = ordner_ / "messgeraet";
        Verknuepfen(pty->Path(), verknuepfung);
        form_.ComPort().SetPort(verknuepfung.string());
        const qsizetype meldungenVorher = meldungen_.size();
        long empfangen = 0;
        const TRxCharEvent fenster = form_.ComPort().OnRxChar;
        form_.ComPort().OnRxChar = [&](TCustomComPort* sender, int anzahl) {
            fenster(sender, anzahl);
            empfangen += anzahl;
        };
        form_.WTW_Rx_Button->click();
        runde.Verbunden = form_.ComPort().Connected();
        std::string daten;
        for (int i = 0; i < DatensaetzeJeRunde; ++i) {
            daten += Datensatz;
        }
        pty->Write(daten.data(), daten.size(), TClock::now() + 2s);
        runde.Empfangen =
            QTest::qWaitFor([&] { return empfangen >= static_cast<long>(daten.size()); }, WarteMs);

        const bool warten = form_.Einstellungen.AutomatischWiederverbinden;
        std::filesystem::remove(verknuepfung);
        const auto gezogen = TClock::now();
        pty->CloseMaster();
        static_cast<void>(QTest::qWaitFor(
            [&] { return warten ? form_.WartetAufGeraet() : meldungen_.size() > meldungenVorher; },
            WarteMs));
        runde.BemerktMs = Millisekunden(TClock::now() - gezogen);
        // One second with the device gone, the measurement still on, after the window has
        // shown the consequences (a repaint wakes Qt's painting threads).
        RunFor(500ms);
        Messen(runde);

        if (warten) {
            pty = std::make_unique<TPty>();
            const auto eingesteckt = TClock::now();
            Verknuepfen(pty->Path(), verknuepfung);
            runde.Zurueck = QTest::qWaitFor(
                [&] { return !form_.WartetAufGeraet() && form_.ComPort().Connected(); }, WarteMs);
            runde.WiederMs = Millisekunden(TClock::now() - eingesteckt);
            const int gespeichert = form_.Zustand.Speicher.AnzahlGespeichert;
            pty->Write(daten.data(), daten.size(), TClock::now() + 2s);
            runde.Zurueck =
                runde.Zurueck && QTest::qWaitFor(
                                     [&] {
                                         return form_.Zustand.Speicher.AnzahlGespeichert ==
                                                gespeichert + DatensaetzeJeRunde;
                                     },
                                     WarteMs);
        }
        if (form_.WTW_Rx_Button->Down()) {
            form_.WTW_Rx_Button->click();
        }
        form_.ComPort().OnRxChar = fenster;
        pty.reset();
        std::filesystem::remove(verknuepfung);
        // A close still under way on its helper thread finishes here.
        RunFor(200ms);
        runde.Meldungen = static_cast<int>(meldungen_.size() - meldungenVorher);
        runde.DeskriptorenDanach = OffeneDeskriptoren();
        return runde;
    }

private:
    void Messen(TRunde& runde) const {
        const TWechsel vorher = Kontextwechsel();
        const double cpuVorher = CpuSeconds(RUSAGE_SELF);
        const auto beginn = TClock::now();
        RunFor(1000ms);
        const double sekunden = std::chrono::duration<double>(TClock::now() - beginn).count();
        runde.WeckungenJeSekunde =
            static_cast<double>(Zuwachs(vorher, Kontextwechsel(), &runde.WeckungenJeThread)) /
            sekunden;
        runde.CpuMsJeSekunde = (CpuSeconds(RUSAGE_SELF) - cpuVorher) * 1000.0 / sekunden;
        runde.Threads = Threads();
    }

    TForm1& form_;
    const QStringList& meldungen_;
    std::filesystem::path ordner_;
};

void VerteilungAusgeben(const char* titel, const std::vector<TRunde>& runden, double TRunde::*feld,
                        bool schwelle = false) {
    std::vector<double> werte;
    for (const TRunde& r : runden) {
        werte.push_back(r.*feld);
    }
    std::sort(werte.begin(), werte.end());
    const auto anteil = [&](double p) {
        return werte[static_cast<std::size_t>(p * static_cast<double>(werte.size() - 1))];
    };
    std::printf("%s: median %.1f, 90 %% %.1f, highest %.1f", titel, anteil(0.5), anteil(0.9),
                werte.back());
    if (schwelle) {
        std::printf("; rounds at 5 or more: %ld",
                    std::count_if(werte.begin(), werte.end(), [](double w) { return w >= 5.0; }));
    }
    std::printf("\n");
}

void Ausgeben(const std::vector<TRunde>& runden, long deskriptorenVorher,
              const QStringList& meldungen) {
    const auto zaehlen = [&](auto bedingung) {
        return std::count_if(runden.begin(), runden.end(), bedingung);
    };
    std::printf("\nUnplugging during a meter measurement: %zu rounds\n", runden.size());
    std::printf("rounds connected / all records received: %ld / %ld\n",
                zaehlen([](const TRunde& r) { return r.Verbunden; }),
                zaehlen([](const TRunde& r) { return r.Empfangen; }));
    std::printf("rounds with exactly one report: %ld, none: %ld, more than one: %ld\n",
                zaehlen([](const TRunde& r) { return r.Meldungen == 1; }),
                zaehlen([](const TRunde& r) { return r.Meldungen == 0; }),
                zaehlen([](const TRunde& r) { return r.Meldungen > 1; }));
    std::printf("rounds back on the line with the records after the return saved: %ld\n",
                zaehlen([](const TRunde& r) { return r.Zurueck; }));
    VerteilungAusgeben("loss noticed after ms", runden, &TRunde::BemerktMs);
    VerteilungAusgeben("reopened after the link appeared, ms", runden, &TRunde::WiederMs);
    VerteilungAusgeben("wake-ups per second while gone (target < 5)", runden,
                       &TRunde::WeckungenJeSekunde, true);
    VerteilungAusgeben("CPU ms per second while gone", runden, &TRunde::CpuMsJeSekunde);
    for (std::size_t i = 0; i < runden.size(); ++i) {
        if (runden[i].WeckungenJeSekunde >= 5.0) {
            std::printf("  round %zu: %.1f wake-ups, %.1f CPU ms in the second;%s\n", i + 1,
                        runden[i].WeckungenJeSekunde, runden[i].CpuMsJeSekunde,
                        runden[i].WeckungenJeThread.c_str());
        }
    }
    if (!runden.empty()) {
        std::printf("open descriptors: %ld before, %ld after round 1, %ld after round %zu\n",
                    deskriptorenVorher, runden.front().DeskriptorenDanach,
                    runden.back().DeskriptorenDanach, runden.size());
        std::printf("threads while gone: round 1 %d, round %zu %d\n", runden.front().Threads,
                    runden.size(), runden.back().Threads);
    }
    QStringList verschieden = meldungen;
    verschieden.removeDuplicates();
    for (const QString& text : verschieden) {
        std::printf("report (%lld times): %s\n", static_cast<long long>(meldungen.count(text)),
                    qPrintable(text));
    }
}

int Laufen(int argc, char** argv) {
    const bool ohneWiederverbinden =
        argc > 1 && std::string_view(argv[argc - 1]) == "--ohne-wiederverbinden";
    if (ohneWiederverbinden) {
        --argc;
    }
    const long anzahl = argc > 1 ? std::max(1L, std::strtol(argv[1], nullptr, 10)) : 100;
    char ordner[] = "/tmp/abziehen_bench_XXXXXX";
    if (::mkdtemp(ordner) == nullptr) {
        std::perror("abziehen_bench");
        return 1;
    }
    QApplication app(argc, argv);
    TFormOptionen optionen;
    optionen.KonfigurationsDatei = std::filesystem::path(ordner) / "PHRX.CFG";
    auto form = std::make_unique<TForm1>(std::move(optionen));
    QStringList meldungen;
    FehlerboxAnschliessen(form.get(), [&meldungen](const QString& text) { meldungen << text; });
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get())) {
        std::fprintf(stderr, "abziehen_bench: the window was not shown\n");
    }
    form->Einstellungen.AutomatischWiederverbinden = !ohneWiederverbinden;
    form->Zustand.Konfiguration.AutoDateiname = false;
    form->Zustand.Konfiguration.Ausgabedatei = std::string(ordner) + "/Daten.txt";
    form->SaveButton->click();
    const long deskriptorenVorher = OffeneDeskriptoren();
    TAbziehen abziehen(*form, meldungen, ordner);
    std::vector<TRunde> runden;
    for (long i = 0; i < anzahl; ++i) {
        runden.push_back(abziehen.Runde());
    }
    form.reset();
    FehlerboxTrennen();
    std::filesystem::remove_all(ordner);
    if (!runden.empty()) {
        Ausgeben(runden, deskriptorenVorher, meldungen);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return Laufen(argc, argv);
}
