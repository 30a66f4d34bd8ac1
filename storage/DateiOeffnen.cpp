// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/DateiOeffnen.h"

#include "storage/Dateinamen.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/sysmacros.h>

namespace {

constexpr int Gemeinsam = O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;

// /dev/null and /dev/full: they swallow or refuse bytes and never reach a device.
bool IstSenke(const struct stat& info) {
    return S_ISCHR(info.st_mode) && major(info.st_rdev) == 1 &&
           (minor(info.st_rdev) == 3 || minor(info.st_rdev) == 7);
}

int Oeffnen(TDateiAufrufe& aufrufe, const std::string& pfad, int flags) {
    int fd = -1;
    do {
        fd = aufrufe.Open(pfad.c_str(), flags, 0666);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

TGeoeffneteDatei Abgewiesen(mode_t typ) {
    TGeoeffneteDatei datei;
    datei.Typ = typ & S_IFMT;
    datei.Fehler = S_ISDIR(typ) ? EISDIR : EINVAL;
    return datei;
}

TGeoeffneteDatei Gescheitert(TDateiAufrufe& aufrufe, TGeoeffneteDatei datei, int fehler) {
    if (datei.Fd >= 0) {
        aufrufe.Close(datei.Fd);
    }
    datei.Fd = -1;
    datei.Fehler = fehler;
    return datei;
}

// Opens an existing file, or creates a missing one; never both for the same name.
// `leeren`: an existing file is emptied as it is opened.
TGeoeffneteDatei OeffnenOderAnlegen(TDateiAufrufe& aufrufe, const std::string& pfad, bool leeren) {
    const int flags = Gemeinsam | (leeren ? O_TRUNC : 0);
    TGeoeffneteDatei datei;
    for (int versuch = 0; versuch < 3 && datei.Fd < 0; ++versuch) {
        datei.Lesbar = true;
        datei.Fd = Oeffnen(aufrufe, pfad, O_RDWR | flags);
        if (datei.Fd < 0 && errno == EACCES) {
            datei.Lesbar = false;
            datei.Fd = Oeffnen(aufrufe, pfad, O_WRONLY | flags);
        }
        if (datei.Fd < 0 && errno == ENOENT) {
            // The last try without O_EXCL: a link to a file yet to be made keeps failing with
            // EEXIST, and the file is made where it points.
            const int exklusiv = versuch < 2 ? O_EXCL : 0;
            datei.Lesbar = true;
            datei.Fd = Oeffnen(aufrufe, pfad, O_RDWR | O_CREAT | exklusiv | Gemeinsam);
            datei.Angelegt = datei.Fd >= 0;
        }
        if (datei.Fd < 0 && errno != EEXIST) {
            break; // EEXIST: made by someone else in between, so it is opened as existing
        }
    }
    datei.Fehler = datei.Fd < 0 ? errno : 0;
    return datei;
}

int OrdnerSyncen(TDateiAufrufe& aufrufe, const std::string& pfad) {
    const std::string ordner = VerzeichnisTeil(pfad);
    const int fd =
        Oeffnen(aufrufe, ordner.empty() ? "." : ordner, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    const int fehler = aufrufe.Fsync(fd) != 0 && errno != EINVAL && errno != EROFS ? errno : 0;
    aufrufe.Close(fd);
    return fehler;
}

} // namespace

TGeoeffneteDatei SchreibdateiOeffnen(TDateiAufrufe& aufrufe, const std::string& pfad,
                                     TAnlegen art) {
    struct stat info {};
    if (aufrufe.Stat(pfad.c_str(), info) == 0 && !ZumSchreibenErlaubt(info)) {
        return Abgewiesen(info.st_mode);
    }
    // Only a regular file or a sink gets here, so emptying on opening touches nothing else.
    TGeoeffneteDatei datei = OeffnenOderAnlegen(aufrufe, pfad, art == TAnlegen::Leeren);
    if (datei.Fd < 0) {
        return datei;
    }
    if (aufrufe.Fstat(datei.Fd, info) != 0) {
        return Gescheitert(aufrufe, datei, errno);
    }
    datei.Typ = info.st_mode & S_IFMT;
    if (!ZumSchreibenErlaubt(info)) {
        // Replaced between the look at the name and the open.
        return Gescheitert(aufrufe, datei, Abgewiesen(info.st_mode).Fehler);
    }
    // Writes block as usual; only opening had to be non-blocking.
    const int flags = aufrufe.Fcntl(datei.Fd, F_GETFL, 0);
    if (flags >= 0) {
        aufrufe.Fcntl(datei.Fd, F_SETFL, flags & ~O_NONBLOCK);
    }
    if (art == TAnlegen::Neu && S_ISREG(info.st_mode) && info.st_size > 0) {
        return Gescheitert(aufrufe, datei, EEXIST);
    }
    datei.Geraet = info.st_dev;
    datei.Inode = info.st_ino;
    if (datei.Angelegt) {
        datei.OrdnerFehler = OrdnerSyncen(aufrufe, pfad);
    }
    return datei;
}

bool ZumSchreibenErlaubt(const struct stat& info) noexcept {
    return S_ISREG(info.st_mode) || IstSenke(info);
}

bool DieselbeDatei(const TGeoeffneteDatei& datei, const struct stat& info) noexcept {
    return datei.Geraet == info.st_dev && datei.Inode == info.st_ino;
}

std::string_view DateitypText(mode_t typ) {
    switch (typ & S_IFMT) {
    case S_IFDIR:
        return "ein Verzeichnis";
    case S_IFCHR:
        return "ein Gerät";
    case S_IFBLK:
        return "ein Blockgerät";
    case S_IFIFO:
        return "eine benannte Pipe (FIFO)";
    case S_IFSOCK:
        return "ein Socket";
    case S_IFREG:
        return "eine Datei";
    default:
        return "keine gewöhnliche Datei";
    }
}
