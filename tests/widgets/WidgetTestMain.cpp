// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The main of the widget test program: `widget_tests NAME [QtTest options]` runs the test class
// of NAME_test.cpp; without a name it lists them.
#include "WidgetTest.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

std::map<std::string, TWidgetTestLauf>& Klassen() {
    static std::map<std::string, TWidgetTestLauf> klassen;
    return klassen;
}

} // namespace

bool WidgetTestAnmelden(const char* datei, TWidgetTestLauf lauf) {
    const auto [_, neu] = Klassen().emplace(std::filesystem::path(datei).stem().string(), lauf);
    if (!neu) {
        std::fprintf(stderr, "Zwei Testklassen in %s\n", datei);
        std::abort();
    }
    return true;
}

int main(int argc, char** argv) {
    const auto klasse = argc > 1 ? Klassen().find(argv[1]) : Klassen().end();
    if (klasse == Klassen().end()) {
        std::fprintf(stderr, "Aufruf: %s TEST [QtTest-Optionen]\nTests:\n", argv[0]);
        for (const auto& [name, _] : Klassen())
            std::fprintf(stderr, "  %s\n", name.c_str());
        return 2;
    }
    // The class sees the program's name and the options after its own name.
    std::vector<char*> argumente{argv[0]};
    argumente.insert(argumente.end(), argv + 2, argv + argc);
    argumente.push_back(nullptr);
    return klasse->second(argc - 1, argumente.data());
}
