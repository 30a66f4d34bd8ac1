// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "storage/Uhr.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One line of the audit trail: UTF-8, seven fields separated by one tab, ended by LF:
// time, login name, host, event, details, the number of data-file lines the chain covers, and
// the chain value after those lines and this line. Tabs, line breaks and backslashes inside a
// field are written as \t, \n, \r and \\, so a line never breaks.
struct TProtokollZeile {
    std::string Zeit;
    std::string Login;
    std::string Host;
    std::string Ereignis;
    std::string Details;
    std::uint64_t Datenzeilen = 0;
    std::string Kette; // 64 hexadecimal digits
};

// The trail of a data file: "DATEI.protokoll" beside it.
std::string ProtokollPfad(const std::string& datendatei);

// The event that starts a trail's chain at 32 zero bytes; its data lines are counted from the
// file's first line. Trails of earlier versions also began a chain anew with it later on.
inline constexpr std::string_view KetteBegonnen = "Kette begonnen";
// The event that starts a new part of the chain when the data file no longer fits the trail:
// "Kette unterbrochen ab Zeile N", N the first data line that no longer fits. The chain goes on
// from the value of the line before; its data lines are counted from the file's first line.
inline constexpr std::string_view KetteUnterbrochen = "Kette unterbrochen";
// A later run goes on with the chain of a data file that still fits its trail.
inline constexpr std::string_view KetteFortgesetzt = "Kette fortgesetzt";

// "2026-12-06T16:53:34+01:00": the local time of `zeit` with its offset from UTC.
std::string ProtokollZeit(const TUhrzeit& zeit);

// The line to write up to and including the tab before the chain field, its fields escaped:
// the bytes the chain hashes.
std::string ZeilenAnfang(const TProtokollZeile& zeile);

// A line of the trail without its LF; nothing when it does not hold seven well-formed fields.
// The fields stay escaped, as they stand in the file; the chain hashes the line's bytes up to
// and including its last tab.
std::optional<TProtokollZeile> ProtokollZeileLesen(std::string_view zeile);

// `text` cut into its lines, each with its line end; a last line without one is kept as well.
std::vector<std::string_view> ZeilenTeilen(std::string_view text);
