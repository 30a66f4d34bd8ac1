// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The program's main window for the soak run (tests/bench/dauerlauf.py): opens DEVICE, starts a
// meter measurement with immediate saving as a user does with the two buttons, and runs until
// SIGTERM or SIGINT. Then it ends the measurement and the saving with the same buttons and
// prints the data file, the saved count and the error reports. PHRX.CFG and the data file go to
// the current folder.
// Usage: dauerlauf_treiber DEVICE
#include "framework/widgets/SpeedButton.h"
#include "mainwindow/ComMainForm.h"
#include "mainwindow/FehlerboxAnschluss.h"
#include "serial/ComPort.h"

#include <QApplication>
#include <QLabel>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace {

int StopSchreibende = -1;

extern "C" void BeiSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t ergebnis = ::write(StopSchreibende, &byte, 1);
}

// A signal becomes a byte in a pipe that the event loop watches, so the end runs on the
// window's thread.
int SignalPipe() {
    int enden[2] = {-1, -1};
    if (::pipe(enden) != 0) {
        return -1;
    }
    StopSchreibende = enden[1];
    struct sigaction aktion {};
    aktion.sa_handler = BeiSignal;
    sigemptyset(&aktion.sa_mask);
    sigaction(SIGTERM, &aktion, nullptr);
    sigaction(SIGINT, &aktion, nullptr);
    return enden[0];
}

int Laufen(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Aufruf: dauerlauf_treiber GERAET\n");
        return 2;
    }
    const int stopLesende = SignalPipe();
    if (stopLesende < 0) {
        std::perror("dauerlauf_treiber: pipe");
        return 1;
    }
    QApplication app(argc, argv);
    TFormOptionen optionen;
    optionen.KonfigurationsDatei = std::filesystem::current_path() / "PHRX.CFG";
    optionen.Port = argv[1];
    auto form = std::make_unique<TForm1>(std::move(optionen));
    int meldungen = 0;
    FehlerboxAnschliessen(form.get(), [&meldungen](const QString& text) {
        ++meldungen;
        std::fprintf(stderr, "Fehlermeldung: %s\n", qPrintable(text));
    });
    form->show();
    QApplication::processEvents();

    form->WTW_Rx_Button->click();
    form->SaveButton->click();
    if (!form->ComPort().Connected() || !form->SaveButton->Down()) {
        std::fprintf(stderr, "dauerlauf_treiber: Messung oder Speichern nicht gestartet\n");
        return 1;
    }
    std::printf("BEREIT\n");
    std::fflush(stdout);

    QSocketNotifier stop(stopLesende, QSocketNotifier::Read);
    QObject::connect(&stop, &QSocketNotifier::activated, &app, [&] {
        stop.setEnabled(false);
        form->WTW_Rx_Button->click();
        form->SaveButton->click();
        QApplication::quit();
    });
    QApplication::exec();
    QCoreApplication::sendPostedEvents();

    const std::filesystem::path datei =
        std::filesystem::current_path() / form->Label12->text().toStdString();
    std::printf("DATEI\t%s\nGESPEICHERT\t%s\nFEHLERMELDUNGEN\t%d\n", datei.c_str(),
                qPrintable(form->Label13->text()), meldungen);
    form.reset();
    FehlerboxTrennen();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return Laufen(argc, argv);
}
