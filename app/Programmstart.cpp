// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "app/Programmstart.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

bool StandardKanaeleSichern() {
    for (int kanal = 0; kanal <= 2; ++kanal) {
        if (::fcntl(kanal, F_GETFD) != -1 || errno != EBADF) {
            continue;
        }
        // The lowest free descriptor is this one, since those below it are open.
        const int neu = ::open("/dev/null", O_RDWR);
        if (neu != kanal) {
            if (neu >= 0) {
                ::close(neu);
            }
            return false;
        }
    }
    return true;
}

bool AnzeigeVorhanden() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* wert = std::getenv(name);
        if (wert != nullptr && *wert != '\0') {
            return true;
        }
    }
    return false;
}

std::string KeineAnzeigeMeldung() {
    return "Keine Anzeige für das Fenster: weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt.\n"
           "Ohne Fenster speichert quorlits --headless --port GERÄT --data-file DATEI die "
           "Messwerte (mehr mit quorlits --help).";
}
