// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <string>
#include <vector>

// libpq's keywords and their values, as PQconnectdbParams takes them.
struct TVerbindungsangaben {
    std::vector<std::string> Namen;
    std::vector<std::string> Werte;
};

// How long a connection attempt may take when the connection string does not say.
inline constexpr int VerbindungsfristS = 10;

// The settings of libpq's connection string or URI `verbindung`, with connect_timeout added
// when it names none, so an unreachable server fails the attempt instead of holding it for
// ever. The string is parsed by libpq, never pieced together. Raises EDatenbank when libpq
// cannot read it.
TVerbindungsangaben VerbindungsangabenLesen(const std::string& verbindung);
