// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <string>
#include <string_view>

// The program's own texts of the about box (UTF-8).

inline constexpr std::string_view AboutVersion = "1.2";
inline constexpr std::string_view AboutVersionsdatum = "Mai 2004";

// The short text: which meters the program serves, which were tested, and a two-line notice on
// the rights. Its lines are separated by a carriage return alone.
std::string AboutKurztext();

// The window caption, "Über %s, Version %s" with `programmname` (the executable's file name
// without its directory) and the version.
std::string AboutTitel(std::string_view programmname);

// "Stand:  %s,   Version:  %s" with the date of the version and the version.
std::string AboutStand();
