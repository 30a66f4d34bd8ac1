// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// A reading the collector stored for a data file: the line it was saved in and the chain head
// it carried (the bench's chain over everything written before that line).
struct TGespeicherteKette {
    std::int64_t Zeile = 0;
    std::string Kette;
};

// What the comparison of a data file with the collector's chain heads found.
struct TDatenbankVergleich {
    std::size_t Verglichen = 0; // readings within the file
    // The first line that may have been changed (1-based), 0 when every stored chain fits; and
    // the line of the first reading whose stored chain does not.
    std::size_t GeaendertAb = 0;
    std::size_t ErsterAbweichender = 0;
    std::size_t Datenzeilen = 0;            // in the file
    std::vector<std::int64_t> JenseitsEnde; // lines of readings beyond the file's end
};

// Compares the chain values of `daten` walked along `protokoll` (KetteAblaufen) with the chain
// heads the readings carried. A stored head fits when the walk took that value before the
// reading's line: then every line before that point is as it was when the reading was sent.
TDatenbankVergleich MitDatenbankVergleichen(std::string_view daten, std::string_view protokoll,
                                            const std::vector<TGespeicherteKette>& gespeichert);

// The German verdict, one line each: "geändert ab Zeile N …", "es fehlen Zeilen am Ende: …", or
// "stimmt mit der Datenbank überein: N Zeilen". 0 when it agrees, 4 otherwise.
int VergleichMelden(const TDatenbankVergleich& vergleich, const std::string& datei,
                    std::FILE* ausgabe);

// The readings of `datei` (data_file, an absolute path) with their line and chain head, from
// the readings table of `verbindung` (libpq), only those of `bench` unless it is empty. Raises
// std::runtime_error with a German text when the database cannot be reached or read.
std::vector<TGespeicherteKette> GespeicherteKetten(const std::string& verbindung,
                                                   const std::string& datei,
                                                   const std::string& bench);

// Whether the command line asks for the comparison (--verify).
bool SammlerPruefenVerlangt(const std::vector<std::string>& argumente);

// quorlits-sammler --verify DATEI --database VERBINDUNG [--bench NAME]: compares DATEI and
// DATEI.protokoll with the chain heads the collector stored for DATEI. 0 when they agree, 4 when
// they do not, 1 when the file or the database cannot be read, 2 for a wrong argument.
int SammlerPruefenBefehl(const std::vector<std::string>& argumente, std::FILE* ausgabe,
                         std::FILE* fehler);
