// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

// The libraries of the program form layers: a file may include headers of its own library and
// of the libraries below it, never of one above. A new library needs its row here, so its place
// is decided once. The build writes which library lists which file (QUORLITS_QUELLEN).
namespace {

namespace fs = std::filesystem;

// Lower numbers lie below higher ones; libraries of equal rank must not include each other.
const std::map<std::string, int> Schichten = {
    {"quorlits_serial_platform", 0},   // device layer: system calls, termios
    {"quorlits_serial_fake", 1},       // the scriptable device of the tests
    {"quorlits_serial_udev", 1},       // device list, identity, plug events (libudev, sysfs)
    {"quorlits_serial", 2},            // settings, port object, event thread (QtCore)
    {"quorlits_framework", 3},         // plain data the widgets show
    {"quorlits_framework_widgets", 4}, // the thin layer over QtWidgets
    {"quorlits_serial_widgets", 5},    // lamps, setting lists, setup dialog
    {"quorlits_konfiguration", 6},     // the settings record
    {"quorlits_acquisition", 7},       // framing, parsing, numbers: no window
    {"quorlits_chart", 7},             // the readings of the chart, thinning, axis ticks
    {"quorlits_storage", 8},           // data file, saving, date and time
    {"quorlits_empfang", 9},           // the reception steps of one chunk
    {"quorlits_shell", 10},            // configuration file, command line, port defaults
    {"quorlits_chart_widgets", 10},    // the chart and its window "Verlauf"
    {"quorlits_ohnefenster", 11},      // logging without a window, the replay command
    // The main window's parts: one class whose methods call each other across the parts, so
    // they are linked as one library; their includes still point downward.
    {"quorlits_mainform_acquisition", 11}, // the main window: its class, reception, measurements
    {"quorlits_mainform_storage", 12},     // the main window's saving and autosave dialog
    {"quorlits_mainform", 13},             // the main window's start-up, shutdown and dialogs
    {"quorlits", 14},                      // main()
};

const std::vector<std::string> Produktordner = {"acquisition/", "chart/", "framework/",
                                                "serial/",      "shell/", "storage/"};

bool ImProdukt(const std::string& pfad) {
    for (const std::string& ordner : Produktordner) {
        if (pfad.rfind(ordner, 0) == 0) {
            return true;
        }
    }
    return false;
}

// Which library each listed file belongs to.
std::map<std::string, std::string> Zuordnung() {
    std::ifstream liste(QUORLITS_QUELLEN);
    std::map<std::string, std::string> ziele;
    std::string ziel;
    std::string pfad;
    while (std::getline(liste, ziel, '\t') && std::getline(liste, pfad)) {
        ziele.emplace(pfad, ziel);
    }
    return ziele;
}

// A header no library lists belongs to the library that compiles its source file.
std::string Besitzer(const std::map<std::string, std::string>& ziele, const std::string& pfad) {
    if (const auto gelistet = ziele.find(pfad); gelistet != ziele.end()) {
        return gelistet->second;
    }
    const std::string quelle = fs::path(pfad).replace_extension(".cpp").string();
    if (const auto zwilling = ziele.find(quelle); zwilling != ziele.end()) {
        return zwilling->second;
    }
    return {};
}

std::vector<std::string> Einbindungen(const fs::path& datei) {
    static const std::regex einbindung(R"re(^\s*#\s*include\s+"([^"]+)")re");
    std::ifstream ein(datei);
    std::vector<std::string> gefunden;
    std::string zeile;
    std::smatch treffer;
    while (std::getline(ein, zeile)) {
        if (std::regex_search(zeile, treffer, einbindung)) {
            gefunden.push_back(treffer[1]);
        }
    }
    return gefunden;
}

// Every product file: the listed ones and the headers beside them.
std::set<std::string> Produktdateien(const std::map<std::string, std::string>& ziele) {
    std::set<std::string> dateien;
    for (const auto& [pfad, ziel] : ziele) {
        dateien.insert(pfad);
    }
    const fs::path wurzel(QUORLITS_WURZEL);
    for (const std::string& ordner : Produktordner) {
        for (const auto& eintrag : fs::recursive_directory_iterator(wurzel / ordner)) {
            if (eintrag.path().extension() == ".h" || eintrag.path().extension() == ".cpp") {
                dateien.insert(fs::relative(eintrag.path(), wurzel).generic_string());
            }
        }
    }
    return dateien;
}

TEST(Schichten, JedeBibliothekHatIhrenPlatz) {
    const auto ziele = Zuordnung();
    ASSERT_FALSE(ziele.empty()) << "no file list at " << QUORLITS_QUELLEN;
    for (const auto& [pfad, ziel] : ziele) {
        EXPECT_TRUE(Schichten.count(ziel)) << ziel << " (lists " << pfad << ") has no row";
    }
}

TEST(Schichten, EinbindungenZeigenNurNachUnten) {
    const auto ziele = Zuordnung();
    std::ostringstream fehler;
    for (const std::string& datei : Produktdateien(ziele)) {
        const std::string von = Besitzer(ziele, datei);
        if (von.empty()) {
            fehler << datei << " belongs to no library: list it in its folder's library\n";
            continue;
        }
        for (const std::string& kopf : Einbindungen(fs::path(QUORLITS_WURZEL) / datei)) {
            if (!ImProdukt(kopf)) {
                continue;
            }
            const std::string nach = Besitzer(ziele, kopf);
            if (nach.empty()) {
                fehler << kopf << " (included by " << datei << ") belongs to no library\n";
            } else if (nach != von && (!Schichten.count(von) || !Schichten.count(nach) ||
                                       Schichten.at(nach) >= Schichten.at(von))) {
                fehler << datei << " (" << von << ") includes " << kopf << " (" << nach << ")\n";
            }
        }
    }
    EXPECT_EQ(fehler.str(), "");
}

} // namespace
