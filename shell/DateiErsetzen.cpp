// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "shell/DateiErsetzen.h"

#include "storage/Dateideskriptor.h"
#include "storage/EInOutError.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

fs::path LinkAufloesen(const fs::path& ziel) {
    std::error_code fehler;
    if (fs::is_symlink(ziel, fehler)) {
        fs::path aufgeloest = fs::canonical(ziel, fehler);
        if (!fehler) {
            return aufgeloest;
        }
    }
    return ziel;
}

// Creates the temporary file; a leftover of an earlier run with the same process id is
// removed first. Returns -1 when the directory does not allow it.
int TemporaerAnlegen(const fs::path& temp, mode_t modus) {
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;
    int fd = ::open(temp.c_str(), flags, modus);
    if (fd < 0 && errno == EEXIST && ::unlink(temp.c_str()) == 0) {
        fd = ::open(temp.c_str(), flags, modus);
    }
    return fd;
}

// Makes the rename itself durable; a directory that cannot be synced costs only that.
void VerzeichnisSyncen(const fs::path& verzeichnis) {
    const int fd =
        ::open(verzeichnis.empty() ? "." : verzeichnis.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

void InhaltSchreiben(int fd, std::string_view inhalt, mode_t modus, bool modusSetzen) {
    // The new file takes over the permissions of the file it replaces.
    if (modusSetzen) {
        ::fchmod(fd, modus);
    }
    AllesSchreiben(fd, inhalt);
    if (::fsync(fd) != 0 && errno != EINVAL) {
        throw EInOutError::AusErrno(errno);
    }
}

} // namespace

bool DateiErsetzen(const fs::path& ziel, std::string_view inhalt) {
    const fs::path echt = LinkAufloesen(ziel);
    struct stat alt {};
    const bool vorhanden = ::stat(echt.c_str(), &alt) == 0;
    if (vorhanden && (!S_ISREG(alt.st_mode) || ::access(echt.c_str(), W_OK) != 0)) {
        return false;
    }
    const mode_t modus = vorhanden ? (alt.st_mode & 07777) : 0666;
    fs::path temp = echt;
    temp += "." + std::to_string(::getpid()) + ".tmp";
    TDateideskriptor datei(TemporaerAnlegen(temp, modus));
    if (datei.Fd() < 0) {
        return false;
    }
    try {
        InhaltSchreiben(datei.Fd(), inhalt, modus, vorhanden);
        datei.Schliessen();
    } catch (...) {
        ::unlink(temp.c_str());
        throw;
    }
    if (::rename(temp.c_str(), echt.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    VerzeichnisSyncen(echt.parent_path());
    return true;
}
