// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/RohdatenSchreiber.h"

#include "storage/EInOutError.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

int Anlegen(const std::string& pfad) {
    // O_APPEND: after a record was cut off again, the next one starts at the new end.
    const int fd = ::open(pfad.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0) {
        throw EInOutError::AusErrno(errno);
    }
    return fd;
}

} // namespace

TRohSchreiber::TRohSchreiber(const std::string& pfad, const TRohKopf& kopf)
    : puffer_(RohKopfText(kopf)) // a bad key is refused before the file is made
    , datei_(Anlegen(pfad)) {
    AllesSchreiben(datei_.Fd(), puffer_);
    ganz_ = static_cast<std::int64_t>(puffer_.size());
}

void TRohSchreiber::Schreiben(const TRohEintrag& eintrag) {
    puffer_.clear();
    RohSatzAnhaengen(puffer_, eintrag);
    std::size_t geschrieben = 0;
    try {
        AllesSchreiben(datei_.Fd(), puffer_, &geschrieben);
    } catch (const EInOutError&) {
        if (geschrieben > 0) {
            Zuruecknehmen();
        }
        throw;
    }
    ganz_ += static_cast<std::int64_t>(puffer_.size());
}

void TRohSchreiber::Zuruecknehmen() {
    if (::ftruncate(datei_.Fd(), ganz_) != 0) {
        // The piece stays and would hide every later record from a reader: that error is the
        // graver one.
        throw EInOutError::AusErrno(errno);
    }
}

void TRohSchreiber::Schliessen() {
    datei_.Schliessen();
}
