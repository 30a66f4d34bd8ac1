// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "shell/Meldungen.h"

#include <filesystem>
#include <stdexcept>

void Melden(std::FILE* ziel, const std::string& text) {
    std::fprintf(ziel, "quorlits: %s\n", text.c_str());
    std::fflush(ziel);
}

std::string FehlerText(const std::exception_ptr& fehler) {
    try {
        std::rethrow_exception(fehler);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "unbekannter Fehler";
    }
}

bool DatendateiErlaubt(const std::string& datendatei, bool anhaengen, std::FILE* meldungen) {
    std::error_code fehler;
    if (anhaengen || !std::filesystem::exists(datendatei, fehler)) {
        return true;
    }
    Melden(meldungen, "Die Datendatei " + datendatei +
                          " gibt es schon. Mit --append wird sie fortgesetzt; sonst bitte einen "
                          "anderen Namen wählen.");
    return false;
}
