// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <string>
#include <string_view>

// The display text of a received chunk: printable bytes (0x21 and above) as themselves, a blank
// as "_", known control bytes by name ("<CR>", "<XON>", ...; a line feed as "<LF>" followed by
// CR LF so the memo starts a new line), any other control byte as "<n>" with n in decimal.
std::string SteuerzeichenText(std::string_view chunk);
