// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "storage/DateiAufrufe.h"
#include "storage/DateiMeldung.h"
#include "storage/DateiOeffnen.h"
#include "storage/Rueckstau.h"
#include "storage/Uhr.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Where a file being written takes its system calls and clocks from; tests put in their own.
struct TSchreibUmgebung {
    TDateiAufrufe* Aufrufe = &EchteDateiAufrufe();
    TMonoUhr Mono; // empty: CLOCK_MONOTONIC
    TUhr Uhr;      // empty: the PC clock; stamps the start of a failure in its report
};

// A file that the program writes at its end, one unit at a time (a line of the data file, a
// record of a capture). Shared by the data file and the capture:
// - every unit goes out whole in one write, or not at all: a failure cuts the file back;
// - what is written reaches the disk within a second: Synchronisieren(), called from the
//   caller's event loop when SyncInMs() says, syncs at most once a second (group commit);
// - with Aufbewahren (off by default) a unit that cannot be written waits in memory and goes
//   out, before any newer one, as soon as a write works again; one report when the trouble
//   starts and one when it ends, fetched with MeldungenAbholen();
// - with Pfadpruefung, the file's name is checked to still name the open file (at most once a
//   second); when not, it is opened anew under its name.
class TSchreibdatei {
public:
    // The period of syncs, of retries of waiting units and of the name's check.
    static constexpr std::int64_t TaktNs = 1'000'000'000;

    // `zeilen`: the units are CR LF lines, so a broken one left in the file (when cutting back
    // failed) is ended before the next unit.
    TSchreibdatei(const TDateiWorte& worte, bool zeilen) noexcept
        : worte_(worte)
        , zeilen_(zeilen) {}
    // Syncs and closes quietly; waiting units are lost (call Schliessen() to hear of it).
    ~TSchreibdatei();
    TSchreibdatei(const TSchreibdatei&) = delete;
    TSchreibdatei& operator=(const TSchreibdatei&) = delete;

    void UmgebungSetzen(TSchreibUmgebung umgebung) { umgebung_ = std::move(umgebung); }

    // Keep up to `anzahl` units and `bytes` bytes that cannot be written (0: a failed write
    // raises EInOutError, as before).
    void Aufbewahren(std::size_t anzahl,
                     std::size_t bytes = std::numeric_limits<std::size_t>::max()) noexcept {
        rueckstau_ = TRueckstau(anzahl, bytes);
        aufbewahren_ = anzahl > 0;
    }
    // Makes the unit that marks where waiting units were lost, from their count, bytes and the
    // first unit after them; it is written before that one.
    using TLueckenEinheit = std::function<std::string(std::uint64_t anzahl, std::uint64_t bytes,
                                                      const std::string& naechste)>;
    void LueckenEinheitSetzen(TLueckenEinheit luecke) { luecke_ = std::move(luecke); }
    void Pfadpruefung(bool ein) noexcept { pfadpruefung_ = ein; }
    // Told of the bytes of every write that reached the file, in the file's order: a unit with
    // the line end written before it, a waiting unit written late, and the piece of a failed
    // write that could not be cut back off. It must not raise.
    void GeschriebenMelden(std::function<void(std::string_view)> melden) {
        geschrieben_ = std::move(melden);
    }

    // Opens `pfad` (an open file is closed quietly first). 0, or the errno of the failure
    // (see TGeoeffneteDatei::Fehler); nothing is created or changed on failure.
    int Oeffnen(const std::string& pfad, TAnlegen art);
    bool IstOffen() const noexcept { return datei_.Fd >= 0; }
    const std::string& Pfad() const noexcept { return pfad_; }
    // Of the last Oeffnen, also a refused one.
    const TGeoeffneteDatei& Geoeffnet() const noexcept { return datei_; }
    // Up to `anzahl` bytes from `stelle` (negative: from the end); fewer when the file is
    // shorter, none when it cannot be read.
    std::string Lesen(off_t stelle, std::size_t anzahl) const;

    // Writes `einheit` after the units still waiting. Returns the units that reached the file in
    // this call, waiting ones included. Raises EInOutError when the file is not open, and
    // without Aufbewahren when the write fails.
    std::size_t Schreiben(std::string_view einheit);

    enum class TPruefung { Unveraendert, NeuGeoeffnet };
    // With Pfadpruefung, at most once a second: whether the name still names the open file; when
    // not, reports it once and opens the name anew (NeuGeoeffnet: what follows goes to the file
    // found or created there).
    TPruefung PfadPruefen();

    // Milliseconds until Synchronisieren() has work (0: now), -1 when all is on the disk and
    // nothing waits.
    std::int64_t SyncInMs() const;
    // From the event loop: writes waiting units (a try a second) and syncs what was written when
    // the last sync lies a second back. Returns the units that reached the file.
    std::size_t Synchronisieren();

    // Syncs what was written now, when anything is not synced yet (for a file that must be on the
    // disk before another one is written). Raises EInOutError when the sync fails.
    void Sichern();

    std::vector<TDateiMeldung> MeldungenAbholen() { return std::exchange(meldungen_, {}); }
    std::size_t Wartend() const noexcept { return rueckstau_.Anzahl(); }

    // Writes what waits (one try), syncs and closes. Raises EInOutError when units had to be
    // given up or the sync or close fails; the file is closed then too.
    void Schliessen();

    // Sets what ends a broken line at the file's end before the next unit (the owner's check of
    // a file it opens).
    void AbschlussSetzen(std::string abschluss) { abschluss_ = std::move(abschluss); }

private:
    std::int64_t Jetzt() const { return MonoLesen(umgebung_.Mono); }
    std::optional<std::int64_t> Faellig() const;
    int Versuchen(std::string_view einheit);
    void Zurueckschneiden(std::string_view teil);
    void Melden(std::string_view geschrieben) const {
        if (geschrieben_) {
            geschrieben_(geschrieben);
        }
    }
    std::size_t Nachtragen();
    bool LueckeSchreiben();
    void Aufnehmen(std::string_view einheit, int fehler);
    void Syncen(std::int64_t jetzt);
    void Zuruecksetzen();
    int LeiseSchliessen() noexcept;

    TDateiWorte worte_;
    bool zeilen_;
    TSchreibUmgebung umgebung_;
    TGeoeffneteDatei datei_;
    std::string pfad_;
    std::string abschluss_; // written before the next unit: ends a broken line
    bool aufbewahren_ = false;
    TRueckstau rueckstau_{0, 0};
    TLueckenEinheit luecke_;
    std::function<void(std::string_view)> geschrieben_;
    bool pfadpruefung_ = false;
    std::int64_t naechstePruefung_ = std::numeric_limits<std::int64_t>::min();
    bool ersetztGemeldet_ = false;
    // Unsynced writes since `ungesichertSeit_`; the last sync.
    bool ungesichert_ = false;
    std::int64_t ungesichertSeit_ = 0;
    std::int64_t letzterSync_ = std::numeric_limits<std::int64_t>::min() / 2;
    bool syncGemeldet_ = false;
    // A failure in progress: since when, why, what was written late and lost in it.
    bool stoerung_ = false;
    int stoerungsFehler_ = 0;
    std::int64_t letzterVersuch_ = 0;
    std::uint64_t spaet_ = 0;
    std::uint64_t verloren_ = 0;
    std::vector<TDateiMeldung> meldungen_;
};

// What ends the file's last line when the file ends in `ende`: nothing after a line feed or in
// an empty file, "\n" after a lone carriage return, CR LF after anything else.
std::string ZeilenAbschluss(std::string_view ende);
