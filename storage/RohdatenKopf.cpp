// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/RohdatenKopf.h"

#include <charconv>

int RohVersionLesen(std::string_view zeile, const std::string& pfad) {
    if (!zeile.starts_with(RohMagie)) {
        throw ERohdatenFehler(pfad + " ist keine Rohdatenaufzeichnung von Quorlits");
    }
    const std::string_view version = zeile.substr(RohMagie.size());
    const char* ende = version.data() + version.size();
    int zahl = 0;
    const auto [rest, fehler] = std::from_chars(version.data(), ende, zahl);
    if (fehler != std::errc() || rest != ende || zahl < 1) {
        throw ERohdatenFehler("Ungültige Formatversion der Rohdaten in " + pfad);
    }
    if (zahl > RohFormatVersion) {
        throw ERohdatenFehler(pfad + " hat die Rohdaten-Formatversion " + std::to_string(zahl) +
                              "; dieses Programm liest nur Version " +
                              std::to_string(RohFormatVersion) +
                              ". Bitte ein neueres Quorlits verwenden.");
    }
    return zahl;
}

void RohKopfzeileLesen(TRohKopf& kopf, std::string_view zeile, const std::string& pfad) {
    const std::size_t gleich = zeile.find('=');
    if (gleich == std::string_view::npos || gleich == 0) {
        throw ERohdatenFehler("Ungültige Kopfzeile der Rohdaten in " + pfad + ": " +
                              RohMaskieren(zeile));
    }
    std::string schluessel(zeile.substr(0, gleich));
    std::string wert = RohDemaskieren(zeile.substr(gleich + 1));
    if (schluessel == RohSchluesselProgramm) {
        kopf.ProgrammVersion = std::move(wert);
    } else if (schluessel == RohSchluesselAnschluss) {
        kopf.Anschluss = std::move(wert);
    } else {
        kopf.Werte.emplace_back(std::move(schluessel), std::move(wert));
    }
}

TRohKopf RohKopfAusText(std::string_view text, const std::string& pfad) {
    TRohKopf kopf;
    bool ersteZeile = true;
    while (!text.empty()) {
        const std::size_t ende = text.find('\n');
        if (ende == std::string_view::npos) {
            break;
        }
        const std::string_view zeile = text.substr(0, ende);
        text.remove_prefix(ende + 1);
        if (ersteZeile) {
            kopf.FormatVersion = RohVersionLesen(zeile, pfad);
            ersteZeile = false;
        } else if (zeile.empty()) {
            return kopf;
        } else {
            RohKopfzeileLesen(kopf, zeile, pfad);
        }
    }
    throw ERohdatenFehler("Der Kopf der Rohdaten in " + pfad + " ist unvollständig");
}
