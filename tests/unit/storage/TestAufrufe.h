// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "storage/DateiAufrufe.h"
#include "storage/Schreibdatei.h"

#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

// The real system calls of files, with what a test must steer or watch: writes refused as by a
// full disk, a truncation refused, a failing sync, and every write and sync in order with the
// test clock's time.
class TTestAufrufe : public TEchteDateiAufrufe {
public:
    std::int64_t Jetzt = 0; // the monotonic clock the files are given (UmgebungMit)
    int SchreibFehler = 0;  // errno of every write while not 0
    int Platz = -1;         // writes that still work before ENOSPC; -1: no limit
    int SyncFehler = 0;     // errno of every fdatasync while not 0
    bool KuerzenVerweigern = false;
    std::vector<std::string> Protokoll; // "write@<ns>", "fdatasync@<ns>", "fsync-ordner"

    TSchreibUmgebung UmgebungMit(TUhr uhr = {}) {
        return TSchreibUmgebung{this, [this] { return Jetzt; }, std::move(uhr)};
    }

    int Zaehlen(const std::string& was) const {
        int anzahl = 0;
        for (const std::string& eintrag : Protokoll) {
            anzahl += eintrag.starts_with(was) ? 1 : 0;
        }
        return anzahl;
    }

    ssize_t Write(int fd, const void* daten, std::size_t anzahl) override {
        Protokoll.push_back("write@" + std::to_string(Jetzt));
        if (Platz == 0 || SchreibFehler != 0) {
            errno = SchreibFehler != 0 ? SchreibFehler : ENOSPC;
            return -1;
        }
        Platz -= Platz > 0 ? 1 : 0;
        return TEchteDateiAufrufe::Write(fd, daten, anzahl);
    }
    int Ftruncate(int fd, off_t laenge) override {
        if (KuerzenVerweigern) {
            errno = EPERM;
            return -1;
        }
        return TEchteDateiAufrufe::Ftruncate(fd, laenge);
    }
    int Fdatasync(int fd) override {
        Protokoll.push_back("fdatasync@" + std::to_string(Jetzt));
        if (SyncFehler != 0) {
            errno = SyncFehler;
            return -1;
        }
        return TEchteDateiAufrufe::Fdatasync(fd);
    }
    int Fsync(int fd) override {
        struct stat info {};
        if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
            Protokoll.push_back("fsync-ordner");
        }
        return TEchteDateiAufrufe::Fsync(fd);
    }
};
