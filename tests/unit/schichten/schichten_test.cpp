// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

// The libraries of the program form layers, and the folders show them: a file may include
// headers of its own library and of the libraries below it, never of one above, and it lies in
// its library's folder. The folders run from the bottom layer to the top; a file never includes
// one of a folder listed after its own. A new library needs its row here, so its place is
// decided once. The build writes which library lists which file (QUORLITS_QUELLEN) and which
// library links which (QUORLITS_BINDUNGEN).
namespace {

namespace fs = std::filesystem;

// Bottom to top.
const std::vector<std::string> Ordner = {
    "serial/platform/",   // device layer: system calls, termios, sysfs/udev, the scriptable fake
    "serial/",            // port object, settings, event thread (QtCore)
    "framework/",         // plain data the widgets show
    "framework/widgets/", // the thin layer over QtWidgets
    "serial/widgets/",    // lamps, setting lists, setup dialog
    "settings/",          // the settings record
    "acquisition/",       // framing, parsing, numbers, moving average
    "storage/",           // clock, file names, data file, autosave, capture format
    "mqtt/",              // the wire format: topics, payload, settings, broker connection
    "chart/",             // the chart's readings, thinning, axes
    "chart/widgets/",     // the chart's drawing and its window "Verlauf"
    "reception/",         // one chunk's steps, table and memo content, capture control, replay
    "measurement/",       // the measurement the window and the logger share
    "audit/",             // the audit trail, its hash chain and the check of a data file
    "app/",               // configuration files, command line, port defaults, texts
    "publish/",           // readings to an MQTT broker: outbox, payload, connection
    "session/",           // one run: the measurement with its trail, publisher and capture
    "headless/",          // logging without a window, the replay command
    "mainwindow/",        // TForm1 and its dialogs
    "main/",              // main()
    "collector/",         // quorlits-sammler: broker to PostgreSQL (its own program)
};

struct TSchicht {
    int Rang; // lower numbers lie below higher ones; equal ranks must not include each other
    std::string Ordner;
};

const std::map<std::string, TSchicht> Schichten = {
    {"quorlits_serial_platform", {0, "serial/platform/"}},
    {"quorlits_serial_fake", {1, "serial/platform/"}}, // the scriptable device of the tests
    {"quorlits_serial_udev", {1, "serial/platform/"}}, // device list, identity, plug events
    {"quorlits_serial", {2, "serial/"}},
    {"quorlits_framework", {3, "framework/"}},
    {"quorlits_framework_widgets", {4, "framework/widgets/"}},
    {"quorlits_serial_widgets", {5, "serial/widgets/"}},
    {"quorlits_konfiguration", {6, "settings/"}},
    {"quorlits_acquisition", {7, "acquisition/"}},
    {"quorlits_storage", {8, "storage/"}},
    {"quorlits_mqtt", {9, "mqtt/"}},
    {"quorlits_prozess", {9, "app/"}}, // the signals that end a run, for every program
    {"quorlits_kette", {9, "audit/"}}, // the hash chain and the check of a data file
    {"quorlits_chart", {10, "chart/"}},
    {"quorlits_chart_widgets", {11, "chart/widgets/"}},
    {"quorlits_empfang", {12, "reception/"}},
    {"quorlits_messung", {13, "measurement/"}},
    {"quorlits_audit", {14, "audit/"}},
    {"quorlits_app", {15, "app/"}},
    {"quorlits_publish", {16, "publish/"}},
    {"quorlits_sitzung", {17, "session/"}},
    {"quorlits_ohnefenster", {18, "headless/"}},
    {"quorlits_mainform", {19, "mainwindow/"}},
    {"quorlits", {20, "main/"}},
    {"quorlits_sammler", {21, "collector/"}},
    {"quorlits-sammler", {22, "collector/"}},
};

// Libraries that must stay small: the folders whose libraries they may link (directly or
// through others) and whose headers they may include. The collector takes the wire format and
// the signal handling, and the hash chain for its comparison of a data file, never the port, the
// reception or the measurement.
const std::vector<std::string> SammlerOrdner = {
    "framework/", "settings/", "acquisition/", "storage/", "mqtt/", "app/", "audit/", "collector/"};
const std::map<std::string, std::vector<std::string>> ErlaubteOrdner = {
    {"quorlits_mqtt", {"framework/", "settings/", "acquisition/", "storage/", "mqtt/"}},
    {"quorlits_prozess", {"settings/", "acquisition/", "storage/", "app/"}},
    {"quorlits_sammler", SammlerOrdner},
    {"quorlits-sammler", SammlerOrdner},
};

// The folder a file lies in directly, or empty outside the product.
std::string OrdnerVon(const std::string& pfad) {
    const std::string ordner = fs::path(pfad).parent_path().generic_string() + "/";
    return std::find(Ordner.begin(), Ordner.end(), ordner) != Ordner.end() ? ordner : std::string();
}

int OrdnerRang(const std::string& ordner) {
    return static_cast<int>(std::find(Ordner.begin(), Ordner.end(), ordner) - Ordner.begin());
}

bool ImProdukt(const std::string& pfad) {
    return !OrdnerVon(pfad).empty();
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

// Which libraries each library links directly.
std::map<std::string, std::set<std::string>> Bindungen() {
    std::ifstream liste(QUORLITS_BINDUNGEN);
    std::map<std::string, std::set<std::string>> bindungen;
    std::string ziel;
    std::string gebunden;
    while (std::getline(liste, ziel, '\t') && std::getline(liste, gebunden)) {
        bindungen[ziel].insert(gebunden);
    }
    return bindungen;
}

// The product libraries that `ziel` links, directly or through others, with itself.
std::set<std::string> AlleBindungen(const std::map<std::string, std::set<std::string>>& bindungen,
                                    const std::string& ziel) {
    std::set<std::string> gefunden = {ziel};
    std::vector<std::string> offen = {ziel};
    while (!offen.empty()) {
        const std::string naechstes = offen.back();
        offen.pop_back();
        const auto direkt = bindungen.find(naechstes);
        if (direkt == bindungen.end()) {
            continue;
        }
        for (const std::string& gebunden : direkt->second) {
            if (Schichten.count(gebunden) && gefunden.insert(gebunden).second) {
                offen.push_back(gebunden);
            }
        }
    }
    return gefunden;
}

bool Erlaubt(const std::vector<std::string>& ordner, const std::string& gesucht) {
    return std::find(ordner.begin(), ordner.end(), gesucht) != ordner.end();
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
    for (const std::string& ordner : Ordner) {
        for (const auto& eintrag : fs::directory_iterator(wurzel / ordner)) {
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
                                       Schichten.at(nach).Rang >= Schichten.at(von).Rang)) {
                fehler << datei << " (" << von << ") includes " << kopf << " (" << nach << ")\n";
            }
        }
    }
    EXPECT_EQ(fehler.str(), "");
}

// A file lies in its library's folder, and includes nothing of a folder listed after its own.
TEST(Schichten, OrdnerZeigenDieSchichten) {
    const auto ziele = Zuordnung();
    std::ostringstream fehler;
    for (const std::string& datei : Produktdateien(ziele)) {
        const std::string von = Besitzer(ziele, datei);
        const std::string ordner = OrdnerVon(datei);
        if (ordner.empty()) {
            fehler << datei << " lies in no folder of the layers\n";
            continue;
        }
        if (Schichten.count(von) && Schichten.at(von).Ordner != ordner) {
            fehler << datei << " (" << von << ") belongs in " << Schichten.at(von).Ordner << "\n";
        }
        for (const std::string& kopf : Einbindungen(fs::path(QUORLITS_WURZEL) / datei)) {
            const std::string nach = OrdnerVon(kopf);
            if (!nach.empty() && OrdnerRang(nach) > OrdnerRang(ordner)) {
                fehler << datei << " includes " << kopf << " of the later folder " << nach << "\n";
            }
        }
    }
    EXPECT_EQ(fehler.str(), "");
}

// A small library links only libraries of its allowed folders, and includes only headers of
// those folders that belong to a library it links.
TEST(Schichten, KleineBibliothekenBleibenKlein) {
    const auto ziele = Zuordnung();
    const auto bindungen = Bindungen();
    std::ostringstream fehler;
    std::map<std::string, int> gepruefteDateien;
    for (const auto& [ziel, ordner] : ErlaubteOrdner) {
        ASSERT_TRUE(bindungen.count(ziel)) << ziel << " links nothing in " << QUORLITS_BINDUNGEN;
        for (const std::string& gebunden : AlleBindungen(bindungen, ziel)) {
            if (!Erlaubt(ordner, Schichten.at(gebunden).Ordner)) {
                fehler << ziel << " links " << gebunden << " of " << Schichten.at(gebunden).Ordner
                       << "\n";
            }
        }
    }
    for (const std::string& datei : Produktdateien(ziele)) {
        const std::string von = Besitzer(ziele, datei);
        const auto erlaubt = ErlaubteOrdner.find(von);
        if (erlaubt == ErlaubteOrdner.end()) {
            continue;
        }
        ++gepruefteDateien[von];
        const std::set<std::string> gebunden = AlleBindungen(bindungen, von);
        for (const std::string& kopf : Einbindungen(fs::path(QUORLITS_WURZEL) / datei)) {
            if (!ImProdukt(kopf)) {
                continue;
            }
            if (!Erlaubt(erlaubt->second, OrdnerVon(kopf))) {
                fehler << datei << " (" << von << ") includes " << kopf << " of the folder "
                       << OrdnerVon(kopf) << "\n";
            } else if (!gebunden.count(Besitzer(ziele, kopf))) {
                fehler << datei << " (" << von << ") includes " << kopf << " of "
                       << Besitzer(ziele, kopf) << ", which it does not link\n";
            }
        }
    }
    for (const auto& [ziel, ordner] : ErlaubteOrdner) {
        EXPECT_GT(gepruefteDateien[ziel], 0) << ziel << " has no files to check";
    }
    EXPECT_EQ(fehler.str(), "");
}

} // namespace
