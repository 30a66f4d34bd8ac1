// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "headless/Abspielbefehl.h"

#include "headless/Meldungen.h"
#include "reception/Abspielen.h"
#include "storage/RohdatenLeser.h"

#include <exception>
#include <memory>

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
    Melden(meldungen, std::to_string(bericht.Eintraege) + " Einträge abgespielt, " +
                          std::to_string(bericht.Datensaetze) + " Messwerte in " + datendatei +
                          ".");
    return 0;
}
