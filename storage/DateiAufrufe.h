// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <cstddef>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/types.h>

// The system calls of the files the program writes (data file, capture, outbox). Every call behaves
// like the system call it is named after: -1 and errno on failure. Tests derive from
// TEchteDateiAufrufe and replace single calls to count syncs or to refuse writes as a full
// disk does.
class TDateiAufrufe {
public:
    virtual ~TDateiAufrufe() = default;

    virtual int Open(const char* pfad, int flags, mode_t rechte) = 0;
    virtual int Close(int fd) = 0;
    virtual ssize_t Write(int fd, const void* daten, std::size_t anzahl) = 0;
    virtual ssize_t Pread(int fd, void* daten, std::size_t anzahl, off_t stelle) = 0;
    virtual off_t Lseek(int fd, off_t stelle, int woher) = 0;
    virtual int Ftruncate(int fd, off_t laenge) = 0;
    virtual int Fdatasync(int fd) = 0;
    virtual int Fsync(int fd) = 0;
    virtual int Fstat(int fd, struct stat& info) = 0;
    virtual int Stat(const char* pfad, struct stat& info) = 0;
    virtual int Fcntl(int fd, int befehl, int wert) = 0;
    virtual int Statvfs(const char* pfad, struct statvfs& info) = 0;
};

class TEchteDateiAufrufe : public TDateiAufrufe {
public:
    int Open(const char* pfad, int flags, mode_t rechte) override;
    int Close(int fd) override;
    ssize_t Write(int fd, const void* daten, std::size_t anzahl) override;
    ssize_t Pread(int fd, void* daten, std::size_t anzahl, off_t stelle) override;
    off_t Lseek(int fd, off_t stelle, int woher) override;
    int Ftruncate(int fd, off_t laenge) override;
    int Fdatasync(int fd) override;
    int Fsync(int fd) override;
    int Fstat(int fd, struct stat& info) override;
    int Stat(const char* pfad, struct stat& info) override;
    int Fcntl(int fd, int befehl, int wert) override;
    int Statvfs(const char* pfad, struct statvfs& info) override;
};

// The process-wide instance of TEchteDateiAufrufe.
TDateiAufrufe& EchteDateiAufrufe() noexcept;
