// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "reception/Empfang.h"
#include "storage/Rohaufzeichnung.h"
#include "storage/RohdatenEinstellungen.h"
#include "storage/Uhr.h"

#include <exception>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// When the measurements of a run are captured and what their captures hold. Either every
// measurement gets a capture of its own beside the data file (the setting "Rohdaten
// aufzeichnen"), or one file given at start takes every measurement of the run (--capture).
// Each step returns the error that stopped the capture, once, for the caller to report; a
// capture that failed never stops a measurement or its saving.
class TMessAufzeichnung {
public:
    explicit TMessAufzeichnung(TRohAufzeichnung::TMonoUhr monoUhr = {});

    // One file for the whole run, created at the first measurement (or, with Fortsetzen, an
    // existing capture continued with a new run) and kept open until Ende.
    void FesteDateiSetzen(std::string pfad, TRohOeffnung art = TRohOeffnung::Neu) {
        festeDatei_ = std::move(pfad);
        festeArt_ = art;
    }

    bool Aktiv() const noexcept { return roh_.Aktiv(); }
    // The capture being written, or the one tried last.
    const std::string& Pfad() const noexcept { return pfad_; }

    // A measurement of `art` ("RS232" or "WTW") has opened the port `anschluss` with the line
    // settings `leitung`. Starts a capture when one is wanted and none runs (a running saving
    // is noted first, so a replay saves from the start), then notes the start and the opening.
    [[nodiscard]] std::exception_ptr
    MessungBegonnen(bool gewuenscht, const TProgrammZustand& zustand, const std::string& anschluss,
                    const TRohWerte& leitung, std::string_view art, const TUhrzeit& jetzt);

    // From the event loop: milliseconds until Synchronisieren() has work (-1: none), the sync
    // itself, and the reports of a full disk that began or ended.
    std::int64_t SyncInMs() const { return roh_.SyncInMs(); }
    void Synchronisieren() { roh_.Synchronisieren(); }
    std::vector<TDateiMeldung> MeldungenAbholen() { return roh_.MeldungenAbholen(); }

    // One record while a capture runs; nothing otherwise. Cheap enough for every chunk.
    [[nodiscard]] std::exception_ptr Eintragen(TRohArt art, std::string_view daten,
                                               const TUhrzeit& jetzt) {
        return roh_.Eintragen(art, daten, jetzt);
    }

    // Saving started with the settings and data file of `zustand`. A measurement's capture
    // that was begun before any saving (an automatic name is made only when saving starts)
    // takes the name of this data file, so the two stay side by side.
    [[nodiscard]] std::exception_ptr SpeichernBegonnen(const TProgrammZustand& zustand,
                                                       const TUhrzeit& jetzt);

    // The measurement ended (`portOffen`: its port was still open, not lost). The capture of
    // this measurement ends with it; the run's file stays open.
    [[nodiscard]] std::exception_ptr MessungBeendet(bool portOffen, const TUhrzeit& jetzt);

    // The end of the run: a measurement still running is noted as ended, the file closed.
    [[nodiscard]] std::exception_ptr Ende(bool messungLaeuft, bool portOffen,
                                          const TUhrzeit& jetzt);

private:
    void Umbenennen(const std::string& datendatei);
    std::exception_ptr Beginnen(const TProgrammZustand& zustand, const std::string& anschluss,
                                const TRohWerte& leitung, const TUhrzeit& jetzt);

    TRohAufzeichnung roh_;
    std::string festeDatei_;
    TRohOeffnung festeArt_ = TRohOeffnung::Neu;
    std::string pfad_;
    // The run's file failed once: starting it again would empty what it holds.
    bool festeGescheitert_ = false;
    // The capture is named after the data file being saved, or is the run's file.
    bool benannt_ = false;
};

// The line settings as the payload of a Geoeffnet record: tab-separated Schluessel=Wert fields.
std::string LeitungText(const TRohWerte& leitung);

// The capture beside a data file: RohdateiName of the data file's absolute path (a relative name
// is taken in the current directory, as the data file is opened).
std::string RohdateiNeben(const std::string& datendatei);
