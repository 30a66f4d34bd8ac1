// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "publish/AusgangOrdner.h"

#include "framework/Meldung.h"
#include "publish/AusgangSatz.h"
#include "storage/EInOutError.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>

namespace {

// Enough for a few system calls per damaged rest; a segment holds at most 4 MB.
constexpr std::size_t Kopierhappen = 64 * 1024;

int Oeffne(TDateiAufrufe& aufrufe, const std::filesystem::path& pfad, int flags) {
    const int fd = aufrufe.Open(pfad.c_str(), flags | O_CLOEXEC, 0600);
    if (fd < 0) {
        throw EInOutError::AusErrno(errno);
    }
    return fd;
}

void Umbenennen(const std::filesystem::path& von, const std::filesystem::path& nach) {
    if (::rename(von.c_str(), nach.c_str()) != 0) {
        throw EInOutError::AusErrno(errno);
    }
}

// Where the single file of an earlier version waits between leaving the outbox's path and
// entering its folder. An escaped topic level never holds "%u", so no other outbox is named so.
std::filesystem::path UebernahmePfad(const std::filesystem::path& ordner) {
    return ordner.string() + "%uebernahme";
}

// Whether `pfad` is a regular file; false when there is nothing.
bool IstDatei(TDateiAufrufe& aufrufe, const std::filesystem::path& pfad) {
    struct stat info {};
    if (aufrufe.Stat(pfad.c_str(), info) != 0) {
        if (errno == ENOENT) {
            return false;
        }
        throw EInOutError::AusErrno(errno);
    }
    return S_ISREG(info.st_mode);
}

// An outbox file of an earlier version at the folder's path goes out of its way; any other
// file stays where it is and is refused.
void AlteDateiBeiseite(TDateiAufrufe& aufrufe, const std::filesystem::path& ordner) {
    if (!IstDatei(aufrufe, ordner)) {
        return;
    }
    {
        const TDateideskriptor fd(Oeffne(aufrufe, ordner, O_RDONLY));
        const std::string kopf = PositionLesen(fd.Fd(), 0, AusgangMagie.size());
        if (kopf != AusgangMagie.substr(0, kopf.size())) {
            throw EMeldung("Die Datei " + ordner.string() + " ist kein Ausgang von Quorlits.",
                           DateiBezug(ordner.string()));
        }
    }
    Umbenennen(ordner, UebernahmePfad(ordner));
    OrdnerSynchronisieren(aufrufe, ordner.parent_path());
}

// The file set aside by AlteDateiBeiseite (also by a run that ended in between) becomes the
// newest segment.
void AlteDateiUebernehmen(TDateiAufrufe& aufrufe, const std::filesystem::path& ordner) {
    const std::filesystem::path alt = UebernahmePfad(ordner);
    if (!IstDatei(aufrufe, alt)) {
        return;
    }
    const std::vector<std::uint64_t> nummern = SegmentNummern(ordner);
    Umbenennen(alt, SegmentPfad(ordner, nummern.empty() ? 1 : nummern.back() + 1));
    OrdnerSynchronisieren(aufrufe, ordner);
    OrdnerSynchronisieren(aufrufe, ordner.parent_path());
}

std::unique_ptr<TDateideskriptor> Sperren(TDateiAufrufe& aufrufe,
                                          const std::filesystem::path& ordner) {
    const std::filesystem::path pfad = ordner / "sperre";
    auto sperre = std::make_unique<TDateideskriptor>(Oeffne(aufrufe, pfad, O_RDWR | O_CREAT));
    if (::flock(sperre->Fd(), LOCK_EX | LOCK_NB) == 0) {
        return sperre;
    }
    const int fehler = errno;
    if (fehler == EWOULDBLOCK) {
        throw EMeldung("Der Ausgang " + ordner.string() +
                           " wird schon von einem anderen Quorlits benutzt (gleicher Arbeitsplatz "
                           "und gleiches Messgerät).",
                       DateiBezug(pfad.string(), fehler));
    }
    throw EInOutError::AusErrno(fehler);
}

void Kopieren(TDateiAufrufe& aufrufe, int von, std::uint64_t ab, int nach) {
    std::string puffer(Kopierhappen, '\0');
    for (;;) {
        const ssize_t n = aufrufe.Pread(von, puffer.data(), puffer.size(), static_cast<off_t>(ab));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            throw EInOutError::AusErrno(errno);
        }
        if (n == 0) {
            return;
        }
        std::size_t geschrieben = 0;
        const int fehler = AllesSchreibenMit(
            aufrufe, nach, std::string_view(puffer).substr(0, static_cast<std::size_t>(n)),
            geschrieben);
        if (fehler != 0) {
            throw EInOutError::AusErrno(fehler);
        }
        ab += static_cast<std::uint64_t>(n);
    }
}

} // namespace

std::filesystem::path SegmentPfad(const std::filesystem::path& ordner, std::uint64_t nummer) {
    char name[32];
    std::snprintf(name, sizeof name, "%08llu.seg", static_cast<unsigned long long>(nummer));
    return ordner / name;
}

std::vector<std::uint64_t> SegmentNummern(const std::filesystem::path& ordner) {
    std::vector<std::uint64_t> nummern;
    std::error_code fehler;
    for (std::filesystem::directory_iterator it(ordner, fehler), ende; !fehler && it != ende;
         it.increment(fehler)) {
        const std::string name = it->path().filename().string();
        if (name.size() != 12 || !name.ends_with(".seg") ||
            name.find_first_not_of("0123456789") != 8) {
            continue;
        }
        nummern.push_back(std::stoull(name.substr(0, 8)));
    }
    if (fehler) {
        throw EInOutError::AusErrno(fehler.value());
    }
    std::sort(nummern.begin(), nummern.end());
    return nummern;
}

std::unique_ptr<TDateideskriptor> AusgangsOrdnerOeffnen(TDateiAufrufe& aufrufe,
                                                        const std::filesystem::path& ordner) {
    std::error_code fehler;
    std::filesystem::create_directories(ordner.parent_path(), fehler);
    if (fehler) {
        throw EInOutError::AusErrno(fehler.value());
    }
    AlteDateiBeiseite(aufrufe, ordner);
    std::filesystem::create_directory(ordner, fehler);
    if (fehler) {
        throw EInOutError::AusErrno(fehler.value());
    }
    auto sperre = Sperren(aufrufe, ordner);
    // The folder and its lock file may be new: their entries go onto the disk once.
    OrdnerSynchronisieren(aufrufe, ordner);
    OrdnerSynchronisieren(aufrufe, ordner.parent_path());
    AlteDateiUebernehmen(aufrufe, ordner);
    return sperre;
}

void OrdnerSynchronisieren(TDateiAufrufe& aufrufe, const std::filesystem::path& ordner) {
    TDateideskriptor fd(Oeffne(aufrufe, ordner, O_RDONLY | O_DIRECTORY));
    if (aufrufe.Fsync(fd.Fd()) != 0) {
        throw EInOutError::AusErrno(errno);
    }
    fd.Schliessen();
}

std::filesystem::path RestBeiseiteLegen(TDateiAufrufe& aufrufe, const std::filesystem::path& pfad,
                                        int fd, std::uint64_t ab) {
    for (int nummer = 1;; ++nummer) {
        const std::filesystem::path ziel = pfad.string() + ".beschaedigt-" + std::to_string(nummer);
        const int neu = aufrufe.Open(ziel.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (neu < 0 && errno == EEXIST) {
            continue;
        }
        if (neu < 0) {
            throw EInOutError::AusErrno(errno);
        }
        TDateideskriptor kopie(neu);
        Kopieren(aufrufe, fd, ab, kopie.Fd());
        if (aufrufe.Fsync(kopie.Fd()) != 0) {
            throw EInOutError::AusErrno(errno);
        }
        kopie.Schliessen();
        OrdnerSynchronisieren(aufrufe, pfad.parent_path());
        if (aufrufe.Ftruncate(fd, static_cast<off_t>(ab)) != 0) {
            throw EInOutError::AusErrno(errno);
        }
        return ziel;
    }
}

void PlatzPruefen(TDateiAufrufe& aufrufe, const std::filesystem::path& ordner,
                  std::uint64_t bytes) {
    struct statvfs info {};
    if (aufrufe.Statvfs(ordner.c_str(), info) != 0) {
        throw EInOutError::AusErrno(errno);
    }
    if (static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize < bytes) {
        throw EInOutError::AusErrno(ENOSPC);
    }
}
