// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "headless/Abspielbefehl.h"

#include "app/Befehlszeile.h"
#include "headless/Meldungen.h"
#include "reception/Abspielen.h"
#include "storage/RohdatenLeser.h"

#include <exception>
#include <memory>

namespace {

std::string Anzahl(std::int64_t n, const char* einer, const char* mehrere) {
    return std::to_string(n) + " " + (n == 1 ? einer : mehrere);
}

} // namespace

int AufnahmeAbspielenBefehl(const std::string& aufnahme, const std::string& datendatei,
                            bool anhaengen, std::FILE* meldungen) {
    if (!DatendateiErlaubt(datendatei, anhaengen, aufnahme, meldungen)) {
        return 1;
    }
    std::unique_ptr<TRohLeser> leser;
    try {
        leser = std::make_unique<TRohLeser>(aufnahme);
    } catch (const std::exception& fehler) {
        Melden(meldungen, "Die Aufnahme " + aufnahme + " lässt sich nicht lesen: " + fehler.what());
        return 1;
    }
    TAbspielBericht bericht;
    try {
        bericht = AufnahmeAbspielen(*leser, datendatei);
    } catch (const std::exception& fehler) {
        Melden(meldungen, "Abspielen von " + aufnahme + " in " + datendatei +
                              " abgebrochen: " + fehler.what());
        return 1;
    }
    if (bericht.Abgeschnitten) {
        Melden(meldungen, "Hinweis: " + aufnahme +
                              " endet mit einem abgeschnittenen oder beschädigten Eintrag; "
                              "abgespielt ist alles bis zum letzten ganzen Eintrag.");
    }
    for (const std::string& hinweis : RohLeseHinweise(*leser, aufnahme)) {
        Melden(meldungen, "Hinweis: " + hinweis);
    }
    Melden(meldungen, Anzahl(bericht.Eintraege, "Eintrag", "Einträge") + " abgespielt, " +
                          Anzahl(bericht.Datensaetze, "Messwert", "Messwerte") + " in " +
                          datendatei + ".");
    // A capture with damaged records is replayed as far as it can be, and the caller learns it.
    // A last record cut off by a crash or a pulled plug is no damage: everything before it is
    // replayed, and the hint above says so.
    const std::int64_t beschaedigt =
        leser->UebersprungeneEintraege() - (leser->Abgeschnitten() ? 1 : 0);
    return beschaedigt > 0 ? ExitUebersprungen : ExitOk;
}
