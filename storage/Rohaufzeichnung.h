// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "storage/DateiMeldung.h"
#include "storage/RohdatenFormat.h"
#include "storage/RohdatenSchreiber.h"
#include "storage/Uhr.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// What a running capture keeps in memory while its file cannot be written.
inline constexpr std::size_t RohRueckstauEintraege = 100'000;
inline constexpr std::size_t RohRueckstauBytes = 16 * 1024 * 1024;

// The capture of a running measurement. A capture must never cost a reading: a record that
// cannot be written (a full disk) waits in memory and goes out as soon as writing works again
// (records lost beyond RohRueckstauEintraege or RohRueckstauBytes are marked by a Luecke
// record); the start of such trouble is handed to the caller once, to be reported, its end comes
// with MeldungenAbholen(). Other errors stop the capture and are handed over once; the
// reception and the saving go on as if no capture had been asked for.
class TRohAufzeichnung {
public:
    using TMonoUhr = ::TMonoUhr;

    explicit TRohAufzeichnung(TMonoUhr monoUhr = {});
    ~TRohAufzeichnung();
    TRohAufzeichnung(const TRohAufzeichnung&) = delete;
    TRohAufzeichnung& operator=(const TRohAufzeichnung&) = delete;

    // System calls and the clock of syncs for the files begun from now on; tests put in their
    // own. (The start of a write failure is stamped with the time of the record that met it.)
    void UmgebungSetzen(TSchreibUmgebung umgebung) { umgebung_ = std::move(umgebung); }

    bool Aktiv() const noexcept { return schreiber_ != nullptr; }
    // The file being written, or the last one written.
    const std::string& Pfad() const noexcept { return pfad_; }

    // Begins the capture `pfad` with `kopf` (TRohOeffnung: a new file, or an existing capture
    // continued with a new run). Raises EInOutError when the system refuses or the file is
    // refused (German text naming it), ERohdatenFehler on a header that cannot be written;
    // then no capture runs and the file is as it was.
    void Beginnen(const std::string& pfad, const TRohKopf& kopf,
                  TRohOeffnung art = TRohOeffnung::Neu);

    // One record stamped with `zeit` and the monotonic clock now; nothing while no capture
    // runs. Returns, once, the error that stopped the capture or, once per episode, the report
    // that the file cannot be written since now (an EInOutError; records wait meanwhile).
    [[nodiscard]] std::exception_ptr Eintragen(TRohArt art, std::string_view daten,
                                               const TUhrzeit& zeit);

    // From the event loop: milliseconds until Synchronisieren() has work (-1: none), and the
    // work itself: waiting records written, what was written synced at most once a second.
    std::int64_t SyncInMs() const { return schreiber_ ? schreiber_->Datei().SyncInMs() : -1; }
    void Synchronisieren();

    // Reports besides those Eintragen returns: writing works again, a sync failed.
    std::vector<TDateiMeldung> MeldungenAbholen() { return std::exchange(meldungen_, {}); }

    // Writes the end record and closes the file; returns a closing error, like Eintragen.
    [[nodiscard]] std::exception_ptr Beenden();

private:
    std::exception_ptr Abbrechen();
    std::exception_ptr MeldungenUebernehmen();
    void Sammeln();

    TMonoUhr monoUhr_;
    TSchreibUmgebung umgebung_;
    std::unique_ptr<TRohSchreiber> schreiber_;
    std::string pfad_;
    TRohEintrag eintrag_; // reused, so a chunk's record costs no allocation once warm
    TUhrzeit zeit_;       // of the last record: stamps the start of a write failure
    std::vector<TDateiMeldung> meldungen_;
};

// The capture's file name for the data file `datendatei`: the same name with ".roh" added, in
// the same folder. An existing capture is never overwritten: then "-2.roh", "-3.roh" and so on.
std::string RohdateiName(const std::string& datendatei);
