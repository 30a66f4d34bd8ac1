// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "app/Laufwerke.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

bool Oktalziffer(char zeichen) {
    return zeichen >= '0' && zeichen <= '7';
}

// The kernel writes blanks, tabs, line feeds and backslashes of mount points as \ooo.
std::string Entschluesseln(std::string_view feld) {
    std::string text;
    for (std::size_t i = 0; i < feld.size(); ++i) {
        if (feld[i] == '\\' && i + 3 < feld.size() && Oktalziffer(feld[i + 1]) &&
            Oktalziffer(feld[i + 2]) && Oktalziffer(feld[i + 3])) {
            text += static_cast<char>((feld[i + 1] - '0') * 64 + (feld[i + 2] - '0') * 8 +
                                      (feld[i + 3] - '0'));
            i += 3;
        } else {
            text += feld[i];
        }
    }
    return text;
}

bool Unter(std::string_view pfad, std::string_view wurzel) {
    if (wurzel == "/") {
        return !pfad.empty() && pfad.front() == '/';
    }
    return pfad.size() >= wurzel.size() && pfad.compare(0, wurzel.size(), wurzel) == 0 &&
           (pfad.size() == wurzel.size() || pfad[wurzel.size()] == '/');
}

bool Wechseldatentraeger(std::string_view punkt) {
    for (std::string_view basis : {"/media", "/mnt", "/run/media"}) {
        if (punkt.size() > basis.size() && Unter(punkt, basis)) {
            return true;
        }
    }
    return false;
}

void Hinzufuegen(std::vector<std::string>& liste, std::string wurzel) {
    if (std::find(liste.begin(), liste.end(), wurzel) == liste.end()) {
        liste.push_back(std::move(wurzel));
    }
}

} // namespace

std::vector<std::string> Laufwerke(std::string_view mounts, std::string_view home) {
    std::vector<std::string> liste{"/"};
    std::string heim(home);
    while (heim.size() > 1 && heim.back() == '/') {
        heim.pop_back();
    }
    if (!heim.empty() && heim.front() == '/') {
        Hinzufuegen(liste, heim);
    }
    std::istringstream zeilen{std::string(mounts)};
    std::string zeile;
    while (std::getline(zeilen, zeile)) {
        std::istringstream felder(zeile);
        std::string geraet;
        std::string punkt;
        if (felder >> geraet >> punkt) {
            punkt = Entschluesseln(punkt);
            if (Wechseldatentraeger(punkt)) {
                Hinzufuegen(liste, punkt);
            }
        }
    }
    return liste;
}

std::vector<std::string> LaufwerkeDesSystems() {
    std::ifstream datei("/proc/mounts");
    const std::string mounts{std::istreambuf_iterator<char>(datei),
                             std::istreambuf_iterator<char>()};
    const char* home = std::getenv("HOME");
    std::vector<std::string> liste = Laufwerke(mounts, home != nullptr ? home : "");
    std::error_code fehler;
    std::erase_if(liste, [&fehler](const std::string& wurzel) {
        return !std::filesystem::is_directory(wurzel, fehler);
    });
    return liste;
}

std::string LaufwerkVon(const std::vector<std::string>& laufwerke, std::string_view verzeichnis) {
    std::string bestes = "/";
    for (const std::string& wurzel : laufwerke) {
        if (Unter(verzeichnis, wurzel) && wurzel.size() > bestes.size()) {
            bestes = wurzel;
        }
    }
    return bestes;
}
