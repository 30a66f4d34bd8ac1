// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "settings/Einstellungen.h"

#include <filesystem>

// quorlits.conf beside `konfigurationsDatei` (PHRX.CFG).
std::filesystem::path EinstellungenPfad(const std::filesystem::path& konfigurationsDatei);

// The settings of `datei`; defaults for a file that is missing, unreadable or holds something
// else than a setting expects.
TEinstellungen EinstellungenLesen(const std::filesystem::path& datei);

// Writes `einstellungen` to `datei`, keeping keys of other programs' versions; raises
// EInOutError when the file cannot be written.
void EinstellungenSchreiben(const std::filesystem::path& datei,
                            const TEinstellungen& einstellungen);
