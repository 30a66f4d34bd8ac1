// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "storage/Dateideskriptor.h"
#include "storage/RohdatenFormat.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Reads a raw-data capture record by record. Records of kinds it does not know are skipped,
// header keys it does not know are kept. A damaged record (its checksum or length does not
// fit) is stepped over: the reader searches on for the next record that checks, and counts
// what it skipped. A capture that ends in the middle of a record (the program died while
// writing) is read up to the last whole record. A capture continued by further runs is read
// through all of them.
class TRohLeser {
public:
    // Opens the file and reads its header. Raises EInOutError when the system refuses,
    // ERohdatenFehler when the file is no capture, its header is cut or malformed, or its
    // format version is newer than this reader.
    explicit TRohLeser(const std::string& pfad);

    // The header of the run being read: the file's own, from a LaufBeginn record on the one
    // that record carries.
    const TRohKopf& Kopf() const { return kopf_; }

    // The next whole record of a known kind, LaufBeginn and Luecke included (Ende records are
    // kept to the reader); false at the end of the file. Raises EInOutError on a read error.
    bool Naechster(TRohEintrag& eintrag);

    // Whether the file ended in a cut or damaged record rather than after a whole one.
    bool Abgeschnitten() const { return abgeschnitten_; }
    // Damaged or cut pieces skipped so far, and their bytes.
    std::int64_t UebersprungeneEintraege() const { return uebersprungen_; }
    std::int64_t UebersprungeneBytes() const { return uebersprungeneBytes_; }
    // Luecke records read so far: records the writer lost while the file could not be written.
    std::int64_t Luecken() const { return luecken_; }
    // Runs that ended without their Ende record (the program did not close the capture): known
    // for every run but the last at its LaufBeginn, for the last at the end of the file.
    std::int64_t LaeufeOhneEnde() const;

private:
    std::size_t Lesen(char* ziel, std::size_t anzahl);
    bool Auffuellen();
    void KopfLesen(const std::string& pfad);
    bool ZeileLesen(std::string& zeile);
    bool SatzLesen();
    bool SatzPrueft() const;
    bool Weitersuchen(std::int64_t anfang);
    void SpringenNach(std::int64_t stelle);
    bool Bewerten(unsigned char art);

    TDateideskriptor datei_;
    std::string pfad_;
    std::vector<char> puffer_;
    std::size_t lesestelle_ = 0;
    std::size_t belegt_ = 0;
    std::int64_t stelle_ = 0; // the file offset of the next byte Lesen delivers
    std::size_t kopfBytes_ = 0;
    TRohKopf kopf_;
    std::string satz_; // the record being read, reused
    bool ende_ = false;
    bool abgeschnitten_ = false;
    std::int64_t uebersprungen_ = 0;
    std::int64_t uebersprungeneBytes_ = 0;
    std::int64_t luecken_ = 0;
    std::int64_t ohneEnde_ = 0;
    bool endeGelesen_ = false; // the run being read has its Ende record
};

// Whether the file begins with the capture's mark (RohMagie); false for any other file,
// including shorter ones. Raises EInOutError when the file cannot be opened or read.
bool IstRohdatenDatei(const std::string& pfad);

// What a replay of `pfad` should tell about the capture after reading it whole (German
// sentences naming the file): skipped damaged records, gaps, runs without their end. Empty
// for a capture read whole.
std::vector<std::string> RohLeseHinweise(const TRohLeser& leser, const std::string& pfad);
