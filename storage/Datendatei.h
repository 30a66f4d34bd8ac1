// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "storage/DateiMeldung.h"
#include "storage/Schreibdatei.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

// How the data file is opened.
enum class TOeffnungsArt {
    Anhaengen,    // continue at the end of an existing file, create a missing one
    Neuschreiben, // create, or empty an existing file at once
};

// The lines a data file keeps in memory while it cannot be written (ZeilenAufbewahren).
inline constexpr std::size_t DatendateiRueckstau = 100'000;

// The data file. Every line written reaches the operating system at once (no buffer of its
// own, so a crash of the program loses no reading already handled) and the disk within a
// second (Synchronisieren). Only a regular file (or /dev/null, /dev/full) is taken. A file
// continued whose last line was cut off (a power cut, a killed program) gets its line end
// before the next line. Opening reports failure by its result; writing and closing raise
// EInOutError.
class TDatendatei {
public:
    TDatendatei();

    // Opens `pfad` (an open file is closed quietly first). False when it cannot be opened;
    // OeffnenFehler() then tells why and nothing was created or changed.
    bool Oeffnen(const std::string& pfad, TOeffnungsArt art);

    // The errno of the last failed Oeffnen, 0 after a successful one: EISDIR for a directory,
    // EINVAL for any other file that is no regular file (OeffnenDateityp() tells what it is).
    int OeffnenFehler() const noexcept { return datei_.Geoeffnet().Fehler; }
    mode_t OeffnenDateityp() const noexcept { return datei_.Geoeffnet().Typ; }

    // Off (the default): a line that cannot be written raises EInOutError. On: it waits in
    // memory (up to DatendateiRueckstau lines, then the oldest go) and is written before any
    // newer line as soon as a write works again; the start and the end of such trouble are
    // reported once each through MeldungenAbholen(), and nothing is raised.
    void ZeilenAufbewahren(bool ein) noexcept { datei_.Aufbewahren(ein ? DatendateiRueckstau : 0); }

    // Writes `text` (whole lines) completely or not at all, after the lines still waiting.
    // Returns the texts that reached the file in this call (waiting ones included). Without
    // ZeilenAufbewahren a failure cuts the file back to its length before the write and raises
    // EInOutError; the file stays open. When even cutting back is impossible, the next text
    // starts on a new line, so it is never glued to the broken one.
    std::size_t Schreiben(std::string_view text);

    // At most once a second: whether the file's name still names the open file. When it no
    // longer does (deleted, moved, replaced), the change is reported and the name is opened
    // anew; true then, and the next line written should carry a header line.
    bool PfadPruefen();

    // Milliseconds until Synchronisieren() has work (0: now), -1 when everything written is on
    // the disk and nothing waits. Synchronisieren() writes waiting lines (a try a second) and
    // syncs the file at most once a second; it returns the lines that reached the file.
    std::int64_t SyncInMs() const { return datei_.SyncInMs(); }
    std::size_t Synchronisieren() { return datei_.Synchronisieren(); }

    // Syncs what was written now (TSchreibdatei::Sichern); raises EInOutError when that fails.
    void Sichern() { datei_.Sichern(); }

    std::vector<TDateiMeldung> MeldungenAbholen() { return datei_.MeldungenAbholen(); }
    std::size_t Wartend() const noexcept { return datei_.Wartend(); }

    // Writes what waits (one try), syncs and closes the file; nothing happens when it is not
    // open. The file is closed also when this fails; the failure raises EInOutError afterwards.
    void Schliessen() { datei_.Schliessen(); }

    bool IstOffen() const noexcept { return datei_.IstOffen(); }
    // Whether the last Oeffnen emptied the file (TOeffnungsArt::Neuschreiben).
    bool Geleert() const noexcept { return geleert_; }
    const std::string& Pfad() const noexcept { return datei_.Pfad(); }
    // The regular file opened last (also when it is closed again); empty before one was, and
    // after /dev/null or /dev/full, which keep nothing to look back at.
    const std::string& LetzteDatei() const noexcept { return letzte_; }

    // Whoever keeps account of the file (the audit trail): `geschrieben` hears the bytes of every
    // write that reached it, in its order (see TSchreibdatei::GeschriebenMelden), `geoeffnet`
    // every time a file was opened, also anew under its name by PfadPruefen. Neither may raise.
    void Beobachten(std::function<void(std::string_view)> geschrieben,
                    std::function<void()> geoeffnet);

    // The lines of the open file up to its last text handed to Schreiben (the line of the
    // reading just saved): counted from the file at the first call after opening, then kept up
    // by each text written. Empty when the file cannot be read back (a pipe).
    std::optional<std::int64_t> Zeilen() const;

    // System calls and clocks; tests put in their own.
    void UmgebungSetzen(TSchreibUmgebung umgebung) { datei_.UmgebungSetzen(std::move(umgebung)); }

private:
    void ZeilenendePruefen();
    void Geoeffnet();

    TSchreibdatei datei_{DatendateiWorte, true};
    mutable std::optional<std::int64_t> zeilen_; // once counted
    mutable bool gezaehlt_ = false;
    std::string letzte_;
    bool geleert_ = false;
    std::function<void()> geoeffnet_;
};
