// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Generated data-file names ("06122001.000" to "06122001.999") and the path helpers around
// them. The path delimiter is "/". Texts are byte strings.

// `text` without any occurrence of `zeichen`.
std::string ZeichenEntfernen(std::string_view text, char zeichen);

// `text` with only the characters that may stand in a generated name: the digits 0-9, the ASCII
// letters a-z and A-Z, "_" and "-". Everything else (blanks, points, delimiters, bytes above
// 127) is dropped, so a name never leaves its directory nor needs quoting in a shell.
std::string NamenFiltern(std::string_view text);

// The generated name number `nummer` (0 to 999), "<verzeichnis>/<basis>.nnn": the base without
// blanks, filtered by NamenFiltern, cut to eight characters and filled up with "_" to eight; the
// directory gets a trailing "/" when it is not empty and lacks one.
std::string GenerierterName(std::string_view basis, std::string_view verzeichnis, int nummer);

// The first free name of GenerierterName with nnn from 000 to 999. A name is taken when anything
// of that name exists (a dangling symbolic link too). Empty when all thousand names are taken.
std::optional<std::string> DateinameErzeugen(std::string_view basis, std::string_view verzeichnis);

// The number of names DateinameErzeugen tries.
inline constexpr int AnzahlGenerierterNamen = 1000;

// The directory part of a path: everything up to and including the last "/" (empty for a bare
// name).
std::string VerzeichnisTeil(std::string_view pfad);

// The file name part of a path: everything after the last "/".
std::string DateinamenTeil(std::string_view pfad);

// A path for display in at most `laenge` bytes: unchanged when it fits; otherwise the start of
// the directory part, "../" and the file name part, exactly `laenge` bytes, when the file name
// part is shorter than `laenge` - 3; otherwise the file name part alone, even when longer. The
// directory part is never cut inside a UTF-8 character, which may make the text shorter.
std::string PfadKuerzen(std::string_view pfad, int laenge);
