// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "app/Abbruchsignale.h"
#include "collector/SammlerBefehlszeile.h"
#include "collector/SammlerPruefen.h"
#include "framework/Meldung.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication anwendung(argc, argv);
    std::signal(SIGPIPE, SIG_IGN);
    const std::vector<std::string> argumente(argv + 1, argv + argc);
    if (SammlerPruefenVerlangt(argumente)) {
        return SammlerPruefenBefehl(argumente, stdout, stderr);
    }
    TSammlerBefehl befehl;
    try {
        befehl = SammlerBefehlLesen(argumente);
    } catch (const EMeldung& fehler) {
        std::fprintf(stderr, "quorlits-sammler: %s\n", fehler.what());
        return 2;
    }
    if (befehl.Hilfe) {
        std::fputs(SammlerHilfe().c_str(), stdout);
        return 0;
    }
    TSammler sammler(befehl.Optionen);
    const TAbbruchsignale signale([&sammler](int signal) {
        std::fprintf(stderr, "%s: Der Sammler endet.\n", TAbbruchsignale::Name(signal).c_str());
        sammler.Beenden();
        QCoreApplication::exit(0);
    });
    QObject::connect(&sammler, &TSammler::Aufgegeben, [](const QString& grund) {
        std::fprintf(stderr, "quorlits-sammler: %s\n", grund.toUtf8().constData());
        QCoreApplication::exit(1);
    });
    sammler.Starten();
    return QCoreApplication::exec();
}
