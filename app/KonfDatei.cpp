// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "app/KonfDatei.h"

#include "app/DateiErsetzen.h"
#include "app/KonfZeilen.h"
#include "app/ZeilenLeser.h"
#include "storage/Dateideskriptor.h"

#include <fcntl.h>
#include <string>
#include <sys/stat.h>

void KonfLoad(TKonfiguration& konf, const std::filesystem::path& pfad) {
    // O_NONBLOCK keeps a FIFO in place of the file from blocking the start; O_NOCTTY keeps a
    // terminal device from becoming the controlling terminal.
    TDateideskriptor datei(::open(pfad.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    struct stat info {};
    if (datei.Fd() < 0 || ::fstat(datei.Fd(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return;
    }
    // Read into a copy so that a read error leaves no half-read settings behind.
    TKonfiguration gelesen = konf;
    TZeilenLeser leser(datei.Fd(), KonfZeilenanfang);
    std::string anfang;
    for (int zeile = 0; zeile < KonfZeilenzahl && leser.NaechsteZeile(anfang); ++zeile) {
        KonfZeileUebernehmen(gelesen, zeile, anfang);
    }
    datei.Schliessen();
    konf = gelesen;
}

void KonfSave(const TKonfiguration& konf, const std::filesystem::path& pfad) {
    if (pfad.has_parent_path()) {
        // The user's configuration folder may not exist yet; when it cannot be made, creating
        // the file fails as well and saving gives up quietly.
        std::error_code fehler;
        std::filesystem::create_directories(pfad.parent_path(), fehler);
    }
    DateiErsetzen(pfad, KonfText(konf));
}
