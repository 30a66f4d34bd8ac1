// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/StartFehler.h"

#include "storage/DateiMeldung.h"
#include "storage/DateiOeffnen.h"
#include "storage/Dateinamen.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view Anfang = "Speichern nicht möglich: ";

// The directory the file lies in, as the user should read it: a bare name lies in the
// program's current directory.
std::string AngezeigtesVerzeichnis(const std::string& verzeichnis) {
    if (!verzeichnis.empty()) {
        return verzeichnis;
    }
    std::string aktuell(4096, '\0');
    if (::getcwd(aktuell.data(), aktuell.size()) == nullptr) {
        return "./";
    }
    aktuell.resize(aktuell.find('\0'));
    return aktuell.back() == '/' ? aktuell : aktuell + "/";
}

bool IstVerzeichnis(const std::string& verzeichnis) {
    struct stat info {};
    return ::stat(verzeichnis.empty() ? "." : verzeichnis.c_str(), &info) == 0 &&
           S_ISDIR(info.st_mode);
}

bool GibtEs(const std::string& pfad) {
    struct stat info {};
    return ::lstat(pfad.c_str(), &info) == 0;
}

std::string Grund(const std::string& pfad, int fehler, mode_t typ) {
    const std::string verzeichnis = VerzeichnisTeil(pfad);
    if ((fehler == ENOENT || fehler == ENOTDIR) && !IstVerzeichnis(verzeichnis)) {
        return "Das Verzeichnis " + InAnfuehrung(AngezeigtesVerzeichnis(verzeichnis)) +
               " gibt es nicht.";
    }
    switch (fehler) {
    case EACCES:
    case EPERM:
        if (GibtEs(pfad)) {
            return "Die Datei darf nicht beschrieben werden (keine Schreibberechtigung).";
        }
        return "Im Verzeichnis " + InAnfuehrung(AngezeigtesVerzeichnis(verzeichnis)) +
               " darf keine Datei angelegt werden (keine Schreibberechtigung).";
    case EROFS:
        return "Der Datenträger ist schreibgeschützt.";
    case EISDIR:
        return "Der Pfad bezeichnet ein Verzeichnis, keine Datei.";
    default:
        if (typ != 0 && !S_ISREG(typ)) {
            return "Der Pfad bezeichnet " + std::string(DateitypText(typ)) +
                   ", keine gewöhnliche Datei; gespeichert wird nur in gewöhnliche Dateien.";
        }
        return FehlerMitDetail(fehler) + ".";
    }
}

} // namespace

std::string OeffnenFehlerText(const std::string& pfad, int fehler, mode_t typ) {
    return std::string(Anfang) + Grund(pfad, fehler, typ) + " (Datei " + InAnfuehrung(pfad) + ")";
}

std::string UngeeigneteDatei(const std::string& pfad) {
    struct stat info {};
    if (::stat(pfad.c_str(), &info) != 0 || ZumSchreibenErlaubt(info)) {
        return {};
    }
    return OeffnenFehlerText(pfad, S_ISDIR(info.st_mode) ? EISDIR : EINVAL, info.st_mode & S_IFMT);
}

std::string NamenFehlerText(std::string_view basis, std::string_view verzeichnis) {
    const std::string erster = GenerierterName(basis, verzeichnis, 0);
    struct stat info {};
    if (::lstat(erster.c_str(), &info) != 0) {
        return OeffnenFehlerText(erster, errno);
    }
    const std::string letzter = GenerierterName(basis, verzeichnis, AnzahlGenerierterNamen - 1);
    return std::string(Anfang) +
           "Alle Dateinamen des Tages sind vergeben: " + InAnfuehrung(erster) + " bis " +
           InAnfuehrung(DateinamenTeil(letzter)) + ".";
}
