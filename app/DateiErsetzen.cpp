// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "app/DateiErsetzen.h"

#include "storage/Dateideskriptor.h"
#include "storage/EInOutError.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

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

// Removes the temporary file on every way out but the rename that puts it in place.
class TTemporaerName {
public:
    explicit TTemporaerName(fs::path pfad)
        : pfad_(std::move(pfad)) {}
    ~TTemporaerName() {
        if (!umbenannt_) {
            ::unlink(pfad_.c_str());
        }
    }
    TTemporaerName(const TTemporaerName&) = delete;
    TTemporaerName& operator=(const TTemporaerName&) = delete;

    bool UmbenennenIn(const fs::path& ziel) {
        umbenannt_ = ::rename(pfad_.c_str(), ziel.c_str()) == 0;
        return umbenannt_;
    }

private:
    fs::path pfad_;
    bool umbenannt_ = false;
};

// Makes the rename itself durable; a directory that cannot be synced costs only that.
void VerzeichnisSyncen(const fs::path& verzeichnis) {
    const int fd =
        ::open(verzeichnis.empty() ? "." : verzeichnis.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Makes the written bytes durable; a file that cannot be synced (EINVAL) costs only that.
void Syncen(int fd) {
    if (::fsync(fd) != 0 && errno != EINVAL) {
        throw EInOutError::AusErrno(errno);
    }
}

// Gives the new file the owner, group and permissions of the file it replaces. A file made by
// this process belongs to its user; only root may hand it to another one, so for anybody else
// a file of another user (or group) cannot be replaced without changing its owner.
bool RechteUebernehmen(int fd, const struct stat& alt) {
    struct stat neu {};
    if (::fstat(fd, &neu) != 0) {
        return false;
    }
    if ((neu.st_uid != alt.st_uid || neu.st_gid != alt.st_gid) &&
        ::fchown(fd, alt.st_uid, alt.st_gid) != 0) {
        return false;
    }
    // After the change of owner, which clears the set-id bits.
    return ::fchmod(fd, alt.st_mode & 07777) == 0;
}

// The crash-safe way: a synced temporary file beside the target, renamed over it. Returns false,
// having changed nothing, when the temporary file cannot be made, cannot keep the owner of the
// existing file `alt` (nullptr when there is none), or cannot be renamed.
bool UeberTemporaerErsetzen(const fs::path& echt, std::string_view inhalt, const struct stat* alt) {
    fs::path temp = echt;
    temp += "." + std::to_string(::getpid()) + ".tmp";
    TDateideskriptor datei(TemporaerAnlegen(temp, alt != nullptr ? alt->st_mode & 07777 : 0666));
    if (datei.Fd() < 0) {
        return false;
    }
    TTemporaerName name(temp);
    if (alt != nullptr && !RechteUebernehmen(datei.Fd(), *alt)) {
        return false;
    }
    AllesSchreiben(datei.Fd(), inhalt);
    Syncen(datei.Fd());
    datei.Schliessen();
    if (!name.UmbenennenIn(echt)) {
        return false;
    }
    VerzeichnisSyncen(echt.parent_path());
    return true;
}

// Rewrites the existing file itself from its start and cuts off what is left of the old
// content. The file stays the same one, with its owner, group, permissions and other links.
bool AmOrtUeberschreiben(const fs::path& echt, std::string_view inhalt) {
    // O_NONBLOCK keeps a FIFO put in the file's place since the check from blocking.
    TDateideskriptor datei(::open(echt.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat info {};
    if (datei.Fd() < 0 || ::fstat(datei.Fd(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    AllesSchreiben(datei.Fd(), inhalt);
    if (::ftruncate(datei.Fd(), static_cast<off_t>(inhalt.size())) != 0) {
        throw EInOutError::AusErrno(errno);
    }
    Syncen(datei.Fd());
    datei.Schliessen();
    return true;
}

} // namespace

bool DateiErsetzen(const fs::path& ziel, std::string_view inhalt) {
    const fs::path echt = LinkAufloesen(ziel);
    struct stat alt {};
    if (::stat(echt.c_str(), &alt) != 0) {
        return UeberTemporaerErsetzen(echt, inhalt, nullptr);
    }
    if (!S_ISREG(alt.st_mode) || ::access(echt.c_str(), W_OK) != 0) {
        return false;
    }
    return UeberTemporaerErsetzen(echt, inhalt, &alt) || AmOrtUeberschreiben(echt, inhalt);
}
