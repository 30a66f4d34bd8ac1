// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "tools/meter-sim/Aufnahme.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

TAufnahme::TAufnahme(const std::string& pfad) {
    std::ifstream datei(pfad, std::ios::binary);
    if (!datei) {
        throw std::runtime_error(pfad + " kann nicht gelesen werden");
    }
    const std::string bytes((std::istreambuf_iterator<char>(datei)),
                            std::istreambuf_iterator<char>());
    Stuecke = Zerlegen(bytes);
    if (Stuecke.empty()) {
        throw std::runtime_error(pfad + " ist leer");
    }
}

std::vector<std::string> TAufnahme::Zerlegen(const std::string& bytes) {
    std::vector<std::string> stuecke;
    std::string stueck;
    bool imRahmen = false;
    for (const char zeichen : bytes) {
        stueck.push_back(zeichen);
        if (zeichen == '\x13') {
            imRahmen = true;
        } else if (zeichen == '\x11') {
            imRahmen = false;
        } else if (zeichen == '\n' && !imRahmen) {
            stuecke.push_back(std::move(stueck));
            stueck.clear();
        }
    }
    if (!stueck.empty()) {
        stuecke.push_back(std::move(stueck));
    }
    return stuecke;
}

std::string TAufnahme::NaechsterDatensatz() {
    const std::string& stueck = Stuecke[Naechstes];
    Naechstes = (Naechstes + 1) % Stuecke.size();
    return stueck;
}
