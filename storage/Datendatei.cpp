// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/Datendatei.h"

#include "storage/Dateideskriptor.h"
#include "storage/EInOutError.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// The run-time's code for an operation on a file that is not open.
constexpr int DateiNichtOffen = 103;

// Ends a broken line before the next text.
constexpr std::string_view Zeilenende = "\r\n";

int Flags(TOeffnungsArt art) {
    const int gemeinsam = O_WRONLY | O_CREAT | O_CLOEXEC;
    return art == TOeffnungsArt::Anhaengen ? gemeinsam | O_APPEND : gemeinsam | O_TRUNC;
}

// Syncs and closes `fd`; the errno of the first failure, or 0. A file that cannot be synced
// because it is no regular file (a terminal, /dev/null) is not an error.
int SyncUndClose(int fd) {
    int fehler = 0;
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) {
        fehler = errno;
    }
    // On Linux the descriptor is released even when close reports EINTR; never close twice.
    if (::close(fd) != 0 && errno != EINTR && fehler == 0) {
        fehler = errno;
    }
    return fehler;
}

} // namespace

TDatendatei::~TDatendatei() {
    if (fd_ >= 0) {
        SyncUndClose(fd_);
    }
}

bool TDatendatei::Oeffnen(const std::string& pfad, TOeffnungsArt art) {
    if (fd_ >= 0) {
        SyncUndClose(fd_);
        fd_ = -1;
    }
    int fd = -1;
    do {
        // O_NONBLOCK: a named pipe without a reader in place of the file fails at once instead
        // of hanging the program; the writes themselves block as usual.
        fd = ::open(pfad.c_str(), Flags(art) | O_NONBLOCK | O_NOCTTY, 0666);
    } while (fd < 0 && errno == EINTR);
    oeffnenFehler_ = fd < 0 ? errno : 0;
    if (fd >= 0) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    }
    fd_ = fd;
    zeilen_.reset();
    gezaehlt_ = false;
    // A broken line left by a failed write stays the concern of the file it is in.
    if (art == TOeffnungsArt::Neuschreiben || pfad != pfad_) {
        zeilenanfangFaellig_ = false;
    }
    pfad_ = pfad;
    return fd_ >= 0;
}

void TDatendatei::Schreiben(std::string_view text) {
    if (fd_ < 0) {
        throw EInOutError(DateiNichtOffen);
    }
    std::string mitZeilenende;
    if (zeilenanfangFaellig_) {
        mitZeilenende.reserve(Zeilenende.size() + text.size());
        mitZeilenende.append(Zeilenende).append(text);
        text = mitZeilenende;
    }
    std::size_t geschrieben = 0;
    try {
        AllesSchreiben(fd_, text, &geschrieben);
    } catch (...) {
        Zurueckschneiden(geschrieben);
        throw;
    }
    zeilenanfangFaellig_ = false;
    if (zeilen_) {
        *zeilen_ += std::count(text.begin(), text.end(), '\n');
    }
}

std::optional<std::int64_t> TDatendatei::Zeilen() const {
    if (!gezaehlt_ && fd_ >= 0) {
        gezaehlt_ = true;
        std::ifstream datei(pfad_, std::ios::binary);
        if (datei) {
            zeilen_ = std::count(std::istreambuf_iterator<char>(datei),
                                 std::istreambuf_iterator<char>(), '\n');
        }
    }
    return zeilen_;
}

void TDatendatei::Zurueckschneiden(std::size_t geschrieben) noexcept {
    if (geschrieben == 0) {
        return;
    }
    // The text went to the end of the file, so its start lies `geschrieben` bytes before the
    // end now; -1 where the file cannot seek (a pipe, a terminal).
    const off_t ende = ::lseek(fd_, 0, SEEK_END);
    const off_t laenge = ende - static_cast<off_t>(geschrieben);
    if (ende < 0 || laenge < 0 || kuerzen_(fd_, laenge) != 0) {
        zeilenanfangFaellig_ = true;
        return;
    }
    // A file opened for rewriting writes at its offset, not at its end.
    ::lseek(fd_, laenge, SEEK_SET);
}

void TDatendatei::Schliessen() {
    if (fd_ < 0) {
        return;
    }
    const int fehler = SyncUndClose(fd_);
    fd_ = -1;
    if (fehler != 0) {
        throw EInOutError::AusErrno(fehler);
    }
}
