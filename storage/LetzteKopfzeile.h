// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <string>
#include <string_view>

// Whether the last header line of the data file `pfad` is `kopfzeile` (a whole line with its
// CR LF, as KopfZeile gives it). A header line is a line that begins with "PC-Datum" and a
// tab. Only the last 16 MiB are searched (some 300,000 lines): a header further back counts as
// none. False when the file is missing, unreadable, no regular file or holds no header line.
bool LetzteKopfzeileGleich(const std::string& pfad, std::string_view kopfzeile);
