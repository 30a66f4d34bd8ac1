// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "storage/DateiAufrufe.h"

#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>

// How a file to be written is opened.
enum class TAnlegen {
    Anhaengen, // an existing file is continued, a missing one created
    Leeren,    // an existing file is emptied, a missing one created
    Neu,       // a missing file is created; an existing one is taken only when it is empty
};

// The outcome of SchreibdateiOeffnen.
struct TGeoeffneteDatei {
    int Fd = -1;
    // The errno when Fd < 0: EEXIST for a file with content that TAnlegen::Neu refuses, EISDIR
    // for a directory, EINVAL for any other file that is not a regular file.
    int Fehler = 0;
    mode_t Typ = 0;        // the S_IFMT bits of the file found, also of a refused one
    bool Angelegt = false; // this open created the file
    bool Lesbar = false;   // opened for reading as well (a write-only file is not)
    dev_t Geraet = 0;      // identity of the open file, to compare with its path later
    ino_t Inode = 0;
    int OrdnerFehler = 0; // the errno of a failed sync of a created file's folder
};

// Opens `pfad` to write at its end (O_APPEND, close-on-exec, never as controlling terminal).
// Only a regular file or one of the kernel's sinks /dev/null and /dev/full is taken; anything
// else (a serial device, a named pipe, a directory, a socket) is refused before it is opened to
// write, and checked again on the descriptor (O_NONBLOCK, so a pipe without a reader never
// blocks). The folder of a created file is synced once, so its name survives a power cut.
TGeoeffneteDatei SchreibdateiOeffnen(TDateiAufrufe& aufrufe, const std::string& pfad, TAnlegen art);

// Whether a file described by `info` may be written: a regular file, /dev/null or /dev/full.
bool ZumSchreibenErlaubt(const struct stat& info) noexcept;

// Whether the file is the one `info` describes.
bool DieselbeDatei(const TGeoeffneteDatei& datei, const struct stat& info) noexcept;

// What a file of type `typ` (S_IFMT bits) is, for messages: "ein Verzeichnis", "ein Gerät", ...
std::string_view DateitypText(mode_t typ);
