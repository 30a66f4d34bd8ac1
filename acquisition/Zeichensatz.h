// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <string>
#include <string_view>

// The meter's text (code page 850: "µ" 0xE6, "°" 0xF8) as Windows-1252 bytes, the character set
// of the data file ("µ" 0xB5, "°" 0xB0). ASCII stays as it is; a character that Windows-1252
// lacks (the box-drawing characters) becomes "?".
std::string Cp850ZuWindows1252(std::string_view text);
