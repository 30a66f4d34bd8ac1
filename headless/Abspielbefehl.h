// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <cstdio>
#include <string>

// "quorlits --replay AUFNAHME --data-file DATEI [--append]": replays the capture through the
// reception and saving of a live run into the data file, without a port or a display. An
// existing data file is continued only with `anhaengen`. Says on `meldungen` what it did (the
// records and readings) or why it failed, and notes a capture cut short, which is replayed up
// to its last whole record. Returns the exit code: 0, or 1 on an error.
int AufnahmeAbspielenBefehl(const std::string& aufnahme, const std::string& datendatei,
                            bool anhaengen, std::FILE* meldungen);
