// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "headless/Meldungen.h"

#include "storage/StartFehler.h"

#include <filesystem>
#include <stdexcept>

void Melden(std::FILE* ziel, const std::string& text) {
    std::fprintf(ziel, "quorlits: %s\n", text.c_str());
    std::fflush(ziel);
}

namespace {

bool DieselbeDatei(const std::string& a, const std::string& b) {
    std::error_code fehler;
    if (std::filesystem::equivalent(a, b, fehler)) {
        return true; // also through links and other spellings
    }
    const auto pfadA = std::filesystem::weakly_canonical(a, fehler);
    const auto pfadB = std::filesystem::weakly_canonical(b, fehler);
    return !fehler && pfadA == pfadB;
}

} // namespace

bool DatendateiErlaubt(const std::string& datendatei, bool anhaengen, const std::string& aufnahme,
                       std::FILE* meldungen) {
    if (!aufnahme.empty() && DieselbeDatei(datendatei, aufnahme)) {
        Melden(meldungen, "Datendatei und Rohdatenaufzeichnung sind dieselbe Datei (" + datendatei +
                              "); bitte zwei verschiedene Namen wählen.");
        return false;
    }
    // A folder, a device or a pipe is no data file, whether or not --append was given.
    if (const std::string ungeeignet = UngeeigneteDatei(datendatei); !ungeeignet.empty()) {
        Melden(meldungen, ungeeignet);
        return false;
    }
    std::error_code fehler;
    if (anhaengen || !std::filesystem::exists(datendatei, fehler)) {
        return true;
    }
    Melden(meldungen, "Die Datendatei " + datendatei +
                          " gibt es schon. Mit --append wird sie fortgesetzt; sonst bitte einen "
                          "anderen Namen wählen.");
    return false;
}
