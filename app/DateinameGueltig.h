// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The check and composition of a file name typed in the program options. Names are byte
// strings (UTF-8 on this platform), so any letter outside ASCII makes a name invalid.

// True when `name` has at least one byte and every byte lies between 0x20 (blank) and 0x7A
// ("z") and is none of  " * / : < > ? \ |.
bool DateinameGueltig(std::string_view name);

// `text` without leading and trailing blanks and control characters (bytes up to 0x20).
std::string Trimmen(std::string_view text);

// The output file for the directory shown in the dialog and the text of its name field: both
// trimmed, the directory followed by "/" unless it already ends in one, then the name. Empty
// when the trimmed name is not a valid file name.
std::optional<std::string> NeueAusgabedatei(std::string_view verzeichnis, std::string_view name);
