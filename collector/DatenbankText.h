// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <string>
#include <string_view>

// PostgreSQL's text holds valid UTF-8 without NUL only, and a bench may send any bytes. These
// turn what came into text the tables take, so no message can hold up its batch for ever.

// `text` with every byte that is not part of valid UTF-8 replaced by U+FFFD and every NUL by
// U+2400 ("␀"); unchanged when it is clean.
std::string DatenbankText(std::string_view text);

// jsonb refuses the escape \u0000: it becomes \u2400, so such a reading is still stored.
std::string OhneNul(std::string_view json);

// Appends `feld` to a line of COPY's text format, its backslashes and line breaks escaped.
void KopieFeld(std::string& zeile, std::string_view feld);
