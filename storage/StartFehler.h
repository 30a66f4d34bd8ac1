// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <string>
#include <string_view>
#include <sys/types.h>

// Why a start of saving failed, in the words the error box shows (German, UTF-8). Every text
// begins with "Speichern nicht möglich: " and names the path in „…“, so that a user who
// believed readings were being saved learns what to change.

// The data file `pfad` could not be opened; `fehler` is the errno of the failure and `typ` the
// S_IFMT bits of a file that was refused for not being a regular file. A missing directory,
// missing write permission, a read-only file system, a directory or a device in place of the
// file get a text of their own; any other error is told by its input/output message with the
// German text of the system error.
std::string OeffnenFehlerText(const std::string& pfad, int fehler, mode_t typ = 0);

// The text of OeffnenFehlerText when `pfad` names something that is no file to write to (a
// directory, a device, a pipe, a socket); empty when it is a regular file, a sink or missing.
// For a check before "the file exists already" is asked.
std::string UngeeigneteDatei(const std::string& pfad);

// No generated name of `basis` in `verzeichnis` was free. When the names could not even be
// examined (the directory is missing or not searchable) that error is told instead, since then
// not a single name is really taken.
std::string NamenFehlerText(std::string_view basis, std::string_view verzeichnis);
