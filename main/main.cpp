// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "app/Befehlszeile.h"
#include "app/Programmstart.h"
#include "app/QtUebersetzung.h"
#include "audit/Pruefen.h"
#include "headless/Abspielbefehl.h"
#include "headless/OhneFenster.h"
#include "mainwindow/ComMainForm.h"
#include "mainwindow/Programm.h"

#include <QApplication>
#include <QCoreApplication>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Qt's own texts (file dialogs, standard buttons) in German when the system's language is
// German or unset; when Qt's translation is missing they stay English, and the user is told why.
void QtTexteEinrichten(QCoreApplication& app) {
    if (QtTexteDeutsch() && !QtUebersetzungLaden(app)) {
        std::fprintf(stderr, "quorlits: %s\n", QtUebersetzungFehltMeldung().c_str());
    }
}

int MitFenster(int argc, char* argv[], const TBefehlszeile& befehlszeile) {
    if (!AnzeigeVorhanden()) {
        std::fprintf(stderr, "quorlits: %s\n", KeineAnzeigeMeldung().c_str());
        return ExitAufruf;
    }
    QApplication app(argc, argv);
    QtTexteEinrichten(app);
    int ergebnis = 0;
    {
        const auto form = ProgrammEinrichten(befehlszeile);
        form->show();
        ergebnis = QApplication::exec();
        ProgrammBeenden();
    }
    return ergebnis;
}

// Without a window no display is touched: QCoreApplication only.
int OhneFenster(int argc, char* argv[], const TBefehlszeile& befehlszeile) {
    const QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Quorlits"));
    return OhneFensterLaufen(OhneFensterOptionen(befehlszeile));
}

} // namespace

int main(int argc, char* argv[]) {
    // Before anything is opened: closed standard descriptors must not be taken by files.
    if (!StandardKanaeleSichern()) {
        return ExitFehler;
    }
    const std::vector<std::string> argumente(argv + (argc > 0 ? 1 : 0), argv + argc);
    const TBefehlszeile befehlszeile = BefehlszeileLesen(argumente);
    if (befehlszeile.Hilfe) {
        std::fputs(HilfeText().c_str(), stdout);
        return 0;
    }
    if (!befehlszeile.Fehler.empty()) {
        std::fprintf(stderr, "quorlits: %s\n", befehlszeile.Fehler.c_str());
        return ExitAufruf;
    }
    if (!befehlszeile.Pruefen.empty()) {
        return PruefenBefehl(befehlszeile.Pruefen, stdout);
    }
    if (!befehlszeile.Abspielen.empty()) {
        return AufnahmeAbspielenBefehl(befehlszeile.Abspielen, befehlszeile.Datendatei,
                                       befehlszeile.Anhaengen, stderr);
    }
    if (befehlszeile.OhneFenster) {
        return OhneFenster(argc, argv, befehlszeile);
    }
    return MitFenster(argc, argv, befehlszeile);
}
