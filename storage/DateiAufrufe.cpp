// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/DateiAufrufe.h"

#include <fcntl.h>
#include <unistd.h>

int TEchteDateiAufrufe::Open(const char* pfad, int flags, mode_t rechte) {
    return ::open(pfad, flags, rechte);
}

int TEchteDateiAufrufe::Close(int fd) {
    return ::close(fd);
}

ssize_t TEchteDateiAufrufe::Write(int fd, const void* daten, std::size_t anzahl) {
    return ::write(fd, daten, anzahl);
}

ssize_t TEchteDateiAufrufe::Pread(int fd, void* daten, std::size_t anzahl, off_t stelle) {
    return ::pread(fd, daten, anzahl, stelle);
}

off_t TEchteDateiAufrufe::Lseek(int fd, off_t stelle, int woher) {
    return ::lseek(fd, stelle, woher);
}

int TEchteDateiAufrufe::Ftruncate(int fd, off_t laenge) {
    return ::ftruncate(fd, laenge);
}

int TEchteDateiAufrufe::Fdatasync(int fd) {
    return ::fdatasync(fd);
}

int TEchteDateiAufrufe::Fsync(int fd) {
    return ::fsync(fd);
}

int TEchteDateiAufrufe::Fstat(int fd, struct stat& info) {
    return ::fstat(fd, &info);
}

int TEchteDateiAufrufe::Stat(const char* pfad, struct stat& info) {
    return ::stat(pfad, &info);
}

int TEchteDateiAufrufe::Fcntl(int fd, int befehl, int wert) {
    return ::fcntl(fd, befehl, wert);
}

int TEchteDateiAufrufe::Statvfs(const char* pfad, struct statvfs& info) {
    return ::statvfs(pfad, &info);
}

TDateiAufrufe& EchteDateiAufrufe() noexcept {
    static TEchteDateiAufrufe aufrufe;
    return aufrufe;
}
