// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "audit/Kettenlauf.h"

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

// Checks `daten` (a data file's bytes) against `protokoll` (its trail's bytes), the whole trail
// with every part of its chain (KetteAblaufen). The first part where they differ is reported.
TPruefung DatendateiPruefen(std::string_view daten, std::string_view protokoll);

// "Zeile 4" or "Zeilen 4–7".
std::string ZeilenBereich(std::size_t von, std::size_t bis);

// The German verdict: "unverändert: N Zeilen, Kette bis <time>" or where file and chain part.
std::string PruefText(const TPruefung& pruefung);

// quorlits --verify DATEI: checks `datei` against DATEI.protokoll and prints the verdict to
// `ausgabe`. 0 when unchanged, 4 when the file or its trail differ from the chain, 1 when
// the data file cannot be read.
int PruefenBefehl(const std::string& datei, std::FILE* ausgabe);

// A data file's bytes and its trail's (empty without a trail), for the checks of a file.
struct TDateiMitProtokoll {
    std::string Daten;
    std::string Protokoll;
};
// Both of `datei`; nothing, with "DATEI: Datei nicht gefunden" on `ausgabe`, when the data file
// is missing. Raises EInOutError when either cannot be read.
std::optional<TDateiMitProtokoll> DateiMitProtokollLesen(const std::string& datei,
                                                         std::FILE* ausgabe);
