// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "settings/Konfiguration.h"

#include <filesystem>

// Reads the seven persisted settings from the file at `pfad`. A file that cannot be opened
// (missing, no access, no regular file) leaves every setting as it is, without a message; a
// file with fewer lines sets only the fields of the lines it has. A read error after opening
// raises EInOutError and leaves `konf` unchanged.
void KonfLoad(TKonfiguration& konf, const std::filesystem::path& pfad);

// Writes the seven persisted settings to the file at `pfad`, creating its directory when
// missing. When the file cannot be created nothing happens and nothing is reported; an error
// while writing or closing raises EInOutError and keeps the previous file.
void KonfSave(const TKonfiguration& konf, const std::filesystem::path& pfad);
