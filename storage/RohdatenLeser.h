// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "storage/Dateideskriptor.h"
#include "storage/RohdatenFormat.h"

#include <cstddef>
#include <string>
#include <vector>

// Reads a raw-data capture record by record. Records of kinds it does not know are skipped,
// header keys it does not know are kept. A capture that ends in the middle of a record (the
// program died while writing) or has a damaged record is read up to the last whole record
// before it.
class TRohLeser {
public:
    // Opens the file and reads its header. Raises EInOutError when the system refuses,
    // ERohdatenFehler when the file is no capture, its header is cut or malformed, or its
    // format version is newer than this reader.
    explicit TRohLeser(const std::string& pfad);

    const TRohKopf& Kopf() const { return kopf_; }

    // The next whole record of a known kind; false at the end of the file and at the first
    // record that is cut or damaged (then Abgeschnitten() tells so). Raises EInOutError on a
    // read error.
    bool Naechster(TRohEintrag& eintrag);

    // Whether reading stopped at a cut or damaged record rather than at the clean end.
    bool Abgeschnitten() const { return abgeschnitten_; }

private:
    std::size_t Lesen(char* ziel, std::size_t anzahl);
    bool Auffuellen();
    void KopfLesen(const std::string& pfad);
    void VersionLesen(const std::string& pfad);
    bool ZeileLesen(std::string& zeile);
    bool SatzLesen();
    bool Abbrechen();

    TDateideskriptor datei_;
    std::vector<char> puffer_;
    std::size_t lesestelle_ = 0;
    std::size_t belegt_ = 0;
    std::size_t kopfBytes_ = 0;
    TRohKopf kopf_;
    std::string satz_; // the record being read, reused
    bool ende_ = false;
    bool abgeschnitten_ = false;
};

// Whether the file begins with the capture's mark (RohMagie); false for any other file,
// including shorter ones. Raises EInOutError when the file cannot be opened or read.
bool IstRohdatenDatei(const std::string& pfad);
