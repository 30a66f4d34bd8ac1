// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "acquisition/ComMainForm.h"
#include "shell/Befehlszeile.h"
#include "shell/Programm.h"

#include <QApplication>

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    const std::vector<std::string> argumente(argv + (argc > 0 ? 1 : 0), argv + argc);
    const TBefehlszeile befehlszeile = BefehlszeileLesen(argumente);
    if (befehlszeile.Hilfe) {
        std::fputs(HilfeText().c_str(), stdout);
        return 0;
    }
    if (!befehlszeile.Fehler.empty()) {
        std::fprintf(stderr, "quorlits: %s\n", befehlszeile.Fehler.c_str());
        return 2;
    }
    QApplication app(argc, argv);
    int ergebnis = 0;
    {
        const auto form = ProgrammEinrichten(befehlszeile);
        form->show();
        ergebnis = QApplication::exec();
        ProgrammBeenden();
    }
    return ergebnis;
}
