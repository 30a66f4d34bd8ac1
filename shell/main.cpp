// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include <cstdio>

int main() {
    std::puts("Quorlits (Reihe pH 325): Die Bibliotheken für Empfang, Speicherung, Schnittstelle "
              "und Konfiguration sind gebaut und geprüft; das Hauptfenster folgt mit der nächsten "
              "Version.");
    return 0;
}
