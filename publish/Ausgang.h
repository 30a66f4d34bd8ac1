// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "publish/AusgangSatz.h"
#include "storage/Dateideskriptor.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// The outbox of one bench and meter: every message lies on disk before it is handed to the
// broker, and stays there until the collector has acknowledged it. After a crash the file is
// read up to its last whole record (a torn record at its end is cut off), so a restarted
// program sends again everything that was not acknowledged, from the first one on.
//
// Messages go out a limited number at a time: at most `hoechstens` are handed out and not yet
// acknowledged.
// A full outbox (its limit in bytes) drops its oldest messages, tells so once through
// BeiVoll, and takes the new one; saving readings never waits for it.
class TAusgang {
public:
    // Opens or creates the outbox (and its folder). Raises EInOutError when the system refuses,
    // EMeldung when another program holds it.
    explicit TAusgang(std::filesystem::path pfad,
                      std::uint64_t grenze = 1024ULL * 1024ULL * 1024ULL);
    ~TAusgang();
    TAusgang(const TAusgang&) = delete;
    TAusgang& operator=(const TAusgang&) = delete;

    const std::filesystem::path& Pfad() const noexcept { return pfad_; }

    // Appends a message (a record of kind Nachricht); raises EInOutError when it cannot be
    // written (nothing of it stays in the file then).
    void Ablegen(const TAusgangsSatz& nachricht);

    // Takes the collector's acknowledgement of every message of `messung` up to `seq`: they go.
    // Returns how many went; an acknowledgement that drops nothing writes nothing.
    std::size_t QuittungNehmen(const std::string& messung, std::uint64_t seq);

    // The next messages to hand out, in order, so that at most `hoechstens` are out and
    // unacknowledged; each is handed out once until Zuruecksetzen.
    std::vector<TAusgangsSatz> Naechste(std::size_t hoechstens);

    // Everything unacknowledged is to go out again, from the first (after a reconnect, or when
    // acknowledgements stopped coming).
    void Zuruecksetzen();

    // Brings what was written since the last call onto the disk (fdatasync), so a power cut
    // loses at most that; a crash of the program loses nothing written. Raises EInOutError.
    void Synchronisieren();

    std::size_t Wartend() const noexcept { return wartend_; }     // not acknowledged
    bool Ungesichert() const noexcept { return ungesichert_; }    // written since Synchronisieren
    std::size_t Unterwegs() const noexcept { return unterwegs_; } // handed out, not acknowledged
    std::uint64_t Dateigroesse() const noexcept { return groesse_; }
    // Messages dropped because the outbox was full, since it was opened.
    std::uint64_t Verworfen() const noexcept { return verworfen_; }

    // Told once (German) when the full outbox first drops messages; again only after it was
    // empty in between.
    std::function<void(const std::string&)> BeiVoll;

private:
    struct TEintrag {
        std::uint64_t Stelle;  // of the record in the file
        std::uint32_t Laenge;  // of the whole record
        std::uint32_t Messung; // index into messungen_
        std::uint64_t Seq;
        bool Erledigt = false; // acknowledged or dropped
        bool Draussen = false; // handed out
    };
    struct TMessungsStand {
        std::string Name;
        std::deque<std::uint64_t> Offen; // absolute numbers of its entries still waiting
    };

    void Oeffnen();
    void Einlesen();
    std::size_t Nachlesen(std::string& puffer, std::uint64_t& gelesen) const;
    bool KopfAbnehmen(std::string& puffer) const;
    bool SaetzeUebernehmen(std::string& puffer, std::uint64_t& ganz);
    void SatzUebernehmen(const TAusgangsSatz& satz, std::uint64_t stelle, std::uint32_t laenge);
    void Anfuegen(const std::string& text);
    std::uint32_t MessungsNummer(const std::string& name);
    std::size_t Erledigen(TMessungsStand& stand, std::uint64_t seq);
    void Erledigt(TEintrag& eintrag);
    void VorneAufraeumen();
    void PlatzSchaffen(std::uint64_t noetig);
    void Verdichten();
    std::string SatzLesen(const TEintrag& eintrag) const;
    TEintrag& Eintrag(std::uint64_t nummer) { return eintraege_[nummer - basis_]; }

    std::filesystem::path pfad_;
    std::uint64_t grenze_;
    std::unique_ptr<TDateideskriptor> datei_;
    std::uint64_t groesse_ = 0;      // of the file
    std::uint64_t lebend_ = 0;       // bytes of the records still waiting
    std::deque<TEintrag> eintraege_; // in file order; the first ones done are dropped
    std::uint64_t basis_ = 0;        // the absolute number of eintraege_.front()
    std::uint64_t naechste_ = 0;     // the absolute number of the next to hand out
    std::vector<TMessungsStand> messungen_;
    std::map<std::string, std::uint32_t> messungsNummern_;
    std::size_t wartend_ = 0;
    std::size_t unterwegs_ = 0;
    std::uint64_t verworfen_ = 0;
    bool vollGemeldet_ = false;
    bool ungesichert_ = false; // written since the last Synchronisieren
};

// $XDG_STATE_HOME/quorlits/ausgang/<bench>/<meter> (~/.local/state when unset), with bench and
// meter escaped as topic levels; `zustandsOrdner` stands for $XDG_STATE_HOME's folder.
std::filesystem::path AusgangsPfad(const std::filesystem::path& zustandsOrdner,
                                   const std::string& bench, const std::string& meter);

// $XDG_STATE_HOME, or ~/.local/state; relative names in the environment are ignored.
std::filesystem::path ZustandsOrdner();
