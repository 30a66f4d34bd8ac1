// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "storage/RohdatenFormat.h"

#include <string>
#include <string_view>

// Reading the capture's text header, at the file's start and in a LaufBeginn record. `pfad`
// names the file in the messages. Everything raises ERohdatenFehler (German).

// The format version of the first line ("QUORLITS-ROHDATEN 1", without its line feed). Raises
// when the line is no capture's or the version is invalid or newer than this program's.
int RohVersionLesen(std::string_view zeile, const std::string& pfad);

// Adds one "Schluessel=Wert" line (without its line feed) to `kopf`.
void RohKopfzeileLesen(TRohKopf& kopf, std::string_view zeile, const std::string& pfad);

// The header as RohKopfText writes it: the version line, the key lines and the empty line.
TRohKopf RohKopfAusText(std::string_view text, const std::string& pfad);
