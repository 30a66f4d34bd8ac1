// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/Dateideskriptor.h"

#include "storage/EInOutError.h"

#include <cerrno>
#include <unistd.h>

TDateideskriptor::~TDateideskriptor() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void TDateideskriptor::Schliessen() {
    const int fd = fd_;
    fd_ = -1;
    // Linux releases the descriptor even when close fails, so it is never closed twice.
    if (fd >= 0 && ::close(fd) != 0 && errno != EINTR) {
        throw EInOutError::AusErrno(errno);
    }
}

void AllesSchreiben(int fd, std::string_view daten, std::size_t* geschrieben) {
    std::size_t zaehler = 0;
    const int fehler =
        AllesSchreibenMit(EchteDateiAufrufe(), fd, daten, geschrieben ? *geschrieben : zaehler);
    if (fehler != 0) {
        throw EInOutError::AusErrno(fehler);
    }
}

int AllesSchreibenMit(TDateiAufrufe& aufrufe, int fd, std::string_view daten,
                      std::size_t& geschrieben) {
    geschrieben = 0;
    while (geschrieben < daten.size()) {
        const ssize_t ergebnis =
            aufrufe.Write(fd, daten.data() + geschrieben, daten.size() - geschrieben);
        if (ergebnis < 0 && errno == EINTR) {
            continue;
        }
        if (ergebnis <= 0) {
            return ergebnis < 0 ? errno : ENOSPC;
        }
        geschrieben += static_cast<std::size_t>(ergebnis);
    }
    return 0;
}

std::string PositionLesen(int fd, off_t stelle, std::size_t anzahl) {
    std::string text(anzahl, '\0');
    std::size_t gelesen = 0;
    while (gelesen < anzahl) {
        const ssize_t ergebnis = ::pread(fd, text.data() + gelesen, anzahl - gelesen,
                                         stelle + static_cast<off_t>(gelesen));
        if (ergebnis < 0 && errno == EINTR) {
            continue;
        }
        if (ergebnis <= 0) {
            break;
        }
        gelesen += static_cast<std::size_t>(ergebnis);
    }
    text.resize(gelesen);
    return text;
}
