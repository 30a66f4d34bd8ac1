// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "app/QtUebersetzung.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QString>
#include <QTranslator>

#include <cstdlib>
#include <string_view>

bool QtTexteDeutsch(const char* lcAll, const char* lcMessages, const char* lang) {
    std::string_view gewaehlt;
    for (const char* wert : {lcAll, lcMessages, lang}) {
        if (wert != nullptr && *wert != '\0') {
            gewaehlt = wert;
            break;
        }
    }
    // "C.UTF-8" and "C" are the default locale without a language.
    const bool ohneSprache =
        gewaehlt.empty() || gewaehlt == "C" || gewaehlt == "POSIX" || gewaehlt.starts_with("C.");
    return ohneSprache || gewaehlt.starts_with("de_") || gewaehlt == "de" ||
           gewaehlt.starts_with("de.") || gewaehlt.starts_with("de@");
}

bool QtTexteDeutsch() {
    return QtTexteDeutsch(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

bool QtUebersetzungLaden(QCoreApplication& app) {
    auto* uebersetzer = new QTranslator(&app);
    if (!uebersetzer->load(QString::fromLatin1(QtUebersetzungDatei.data(),
                                               static_cast<qsizetype>(QtUebersetzungDatei.size())),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete uebersetzer;
        return false;
    }
    return QCoreApplication::installTranslator(uebersetzer);
}

std::string QtUebersetzungFehltMeldung() {
    return "Qts deutsche Texte (" + std::string(QtUebersetzungDatei) + ".qm) fehlen in " +
           QLibraryInfo::path(QLibraryInfo::TranslationsPath).toStdString() +
           "; Dateidialoge und Standardknöpfe bleiben englisch (Debian-Paket "
           "qt6-translations-l10n).";
}
