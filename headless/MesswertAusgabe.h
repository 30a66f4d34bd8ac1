// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "acquisition/Messwert.h"
#include "storage/Angaben.h"

#include <string>

// The fields that the data file holds for `messwert`, in its order and with its number format,
// tab-separated, as UTF-8 with a line feed: the data file's line decoded from its
// Windows-1252; with `angaben` sample, operator and electrode after them, as the data file
// holds them when they are switched on (control characters as spaces, in UTF-8).
std::string MesswertZeileUtf8(const TMesswert& messwert, const TAngaben* angaben = nullptr);
