// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "audit/VorhandeneDatei.h"

#include "storage/Dateideskriptor.h"
#include "storage/EInOutError.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

std::optional<std::string> VorhandeneDateiLesen(const std::string& pfad) {
    const int fd = ::open(pfad.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT) {
            return std::nullopt;
        }
        throw EInOutError::AusErrno(errno);
    }
    TDateideskriptor datei(fd);
    std::string inhalt;
    char puffer[65536];
    for (;;) {
        const ssize_t gelesen = ::read(fd, puffer, sizeof puffer);
        if (gelesen == 0) {
            break;
        }
        if (gelesen < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw EInOutError::AusErrno(errno);
        }
        inhalt.append(puffer, static_cast<std::size_t>(gelesen));
    }
    datei.Schliessen();
    return inhalt;
}
