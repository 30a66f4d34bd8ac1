// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "audit/Kette.h"
#include "audit/Kettenlauf.h"
#include "audit/Protokollzeile.h"
#include "storage/DateiAufrufe.h"
#include "storage/Uhr.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Who writes the trail: the login name and the machine.
struct TProtokollWer {
    std::string Login;
    std::string Host;
};

// The user the program runs as and the machine's host name.
TProtokollWer ProtokollWerDesSystems();

// The audit trail beside the current data file, and the hash chain over both. Every event goes
// to the trail of the data file that `datendatei` names at that moment; when the name changes
// the trail of the new file is opened and its chain continued. Each line is written whole or
// not at all and synced (fdatasync) before the call returns; a line whose write or sync fails
// is cut off again and stays out of the chain. Writing raises EInOutError.
//
// While `datendatei` names no file (none was opened yet), or while the trail cannot be written
// (a full disk), events wait in memory with their times (the newest Vorgemerkt of them) and go
// into the trail, in their order, with the next event that can be written; a run that never
// opens a data file leaves no trail. The event that could not be written still raises.
//
// Data lines are hashed when they are whole: a piece of a line (a write cut short) waits for
// the rest of its line, so the chain covers exactly the lines the file holds. An audit line that
// covers data lines not yet synced is written only after the sync (SichernSetzen): a power cut
// never leaves a trail ahead of its data file.
//
// When the trail is opened, the data file is walked along the whole trail (KetteAblaufen):
// - no trail yet: the chain begins ("Kette begonnen"), covering the lines already in the file;
// - every part of the chain fits: the chain goes on ("Kette fortgesetzt"), taking over lines
//   written after the trail's last line (a run that ended without its closing events);
// - a part no longer fits (lines changed, removed or the file rewritten behind the program's
//   back): "Kette unterbrochen ab Zeile N", which goes on from the trail's last value and takes
//   over the lines the file holds now; --verify reports the file changed from then on;
// - the file was emptied on purpose (DateiGeoeffnet with `ueberschrieben`): the old trail is
//   kept beside it as DATEI.protokoll.1 (or .2, …) and a new trail begins.
class TProtokoll {
public:
    static constexpr std::size_t Vorgemerkt = 1000;

    TProtokoll(std::function<std::string()> datendatei, TUhr uhr, TProtokollWer wer);
    ~TProtokoll();
    TProtokoll(const TProtokoll&) = delete;
    TProtokoll& operator=(const TProtokoll&) = delete;

    // Writes one event with its details (UTF-8; tabs and line breaks are escaped).
    void Eintragen(std::string_view ereignis, std::string_view details);

    // `text` was written to the data file, exactly as written (TDatendatei::Beobachten). Its
    // whole lines extend the chain; the next event's line carries the value.
    void DatenGeschrieben(std::string_view text);

    // The data file was opened for saving (perhaps emptied, renamed, or opened anew under its
    // name): the next event or line checks again whether the chain still fits it.
    // `ueberschrieben`: it was emptied on purpose (saving that overwrites the file).
    void DateiGeoeffnet(bool ueberschrieben = false) noexcept {
        gebunden_.clear();
        ueberschrieben_ = ueberschrieben;
    }

    // What brings the data lines written so far onto the disk (the outbox first, see
    // TVorlauf); it runs before a line covering unsynced data lines is written, and may raise.
    void SichernSetzen(std::function<void()> sichern) { sichern_ = std::move(sichern); }
    // The system calls for the trail; tests put in their own.
    void AufrufeSetzen(TDateiAufrufe& aufrufe) noexcept { aufrufe_ = &aufrufe; }

    void ProgrammStart(std::string_view version);
    void ProgrammEnde();
    // A setting changed in `dialog`: "Name: alt → neu".
    void EinstellungGeaendert(std::string_view dialog, std::string_view name, std::string_view alt,
                              std::string_view neu);
    // "Probe", "Bediener" or "Elektrode" changed, with an optional reason.
    void AngabeGeaendert(std::string_view feld, std::string_view alt, std::string_view neu,
                         std::string_view grund = {});

    // The chain's value now (over the lines written so far), for the published readings; empty
    // while no trail is open.
    std::string KettenKopf() const { return gebunden_.empty() ? std::string() : kette_.Hex(); }
    std::uint64_t Datenzeilen() const noexcept { return datenzeilen_; }
    const std::string& Pfad() const noexcept { return pfad_; }
    // The data file the next event belongs to.
    std::string Datendatei() const { return datendatei_(); }

private:
    // Makes sure the trail of the current data file is open and its chain fits the file;
    // `neu`, written just now, is left out of the lines a new chain takes over.
    void Binden(std::string_view neu = {});
    void Oeffnen();
    void KetteFortsetzen(const std::string& datendatei, std::string_view neu,
                         const std::string& protokoll);
    // Goes on with the chain of a trail the data file fits, taking over lines written after it.
    void Weiterfuehren(const TKettenlauf& lauf, const std::vector<std::string_view>& zeilen);
    // A new part of the chain over `zeilen` (all whole lines of the data file), from kette_.
    void Beginnen(const std::vector<std::string_view>& zeilen, std::string_view ereignis,
                  const std::string& details);
    void ZeilenAnhaengen(std::string_view text);
    void Schreiben(std::string_view ereignis, std::string_view details, const TUhrzeit& zeit);
    void ZeileSchreiben(const std::string& text);
    void VorgemerkteSchreiben();
    void Schliessen() noexcept;

    struct TVormerkung {
        TUhrzeit Zeit;
        std::string Ereignis;
        std::string Details;
    };

    std::function<std::string()> datendatei_;
    TUhr uhr_;
    TProtokollWer wer_;
    TDateiAufrufe* aufrufe_ = &EchteDateiAufrufe();
    std::function<void()> sichern_;
    std::string gebunden_; // the data file whose trail is open
    std::string pfad_;     // that trail
    int fd_ = -1;
    TKette kette_;
    std::uint64_t datenzeilen_ = 0;
    bool ungesichert_ = false;    // data lines in the chain that may not be on the disk yet
    bool ueberschrieben_ = false; // the data file was emptied on purpose since the last binding
    std::string beiseite_;        // where the trail of a file overwritten on purpose was put
    std::string fortgesetzt_;     // the trail this object last wrote a line to
    std::string offen_;           // the start of a data line whose end is not written yet
    std::deque<TVormerkung> vorgemerkt_;
    std::uint64_t nichtVorgemerkt_ = 0; // events beyond Vorgemerkt that went
};
