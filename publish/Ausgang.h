// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "publish/AusgangSatz.h"
#include "storage/DateiAufrufe.h"
#include "storage/Dateideskriptor.h"
#include "storage/Uhr.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The outbox of one bench and meter: every message lies on disk before it is handed to the
// broker, and stays there until the collector has acknowledged it. The outbox is a folder of
// segment files (AusgangOrdner.h); a message is appended to the newest, and a segment goes as
// soon as nothing in it waits any more, so nothing is ever rewritten. After a crash each segment
// is read up to its last whole record (a torn record at the end of the newest is cut off; a
// damaged one elsewhere has the rest of its segment moved aside), so a restarted program sends
// again everything that was not acknowledged, from the first one on.
//
// Messages go out a limited number at a time: at most `hoechstens` are handed out and not yet
// acknowledged.
// A full outbox (its limit in bytes over all segments) drops its oldest segments, writes for
// each measurement that lost messages one gap record "seq F bis T" in their place (which goes
// out like a message, so the collector counts them as settled), tells so once through BeiVoll,
// and takes the new one; saving readings never waits for it. When a write fails, the outbox
// waits before it writes again (5 s, doubling up to 5 min); messages meanwhile are dropped and
// become a gap record once a write works.
class TAusgang {
public:
    // Opens or creates the outbox (and its folder); an outbox file of an earlier version at
    // `pfad` is taken over. Raises EInOutError when the system refuses, EMeldung when another
    // program holds it. `aufrufe` and `mono` stand for the system's file calls and monotonic
    // clock.
    explicit TAusgang(std::filesystem::path pfad,
                      std::uint64_t grenze = 1024ULL * 1024ULL * 1024ULL,
                      TDateiAufrufe& aufrufe = EchteDateiAufrufe(), TMonoUhr mono = {});
    ~TAusgang();
    TAusgang(const TAusgang&) = delete;
    TAusgang& operator=(const TAusgang&) = delete;

    // The folder.
    const std::filesystem::path& Pfad() const noexcept { return pfad_; }

    // Appends a message (a record of kind Nachricht), after the gap records that wait to be
    // written. Raises EInOutError when it cannot be written: nothing of it stays in the outbox
    // then, and it is no gap. While the outbox waits after such a failure, the message is
    // dropped instead (Verworfen counts it; it becomes part of a gap record).
    void Ablegen(const TAusgangsSatz& nachricht);

    // Takes the collector's acknowledgement of every message of `messung` up to `seq`: they go.
    // Returns how many went; an acknowledgement that drops nothing writes nothing.
    std::size_t QuittungNehmen(const std::string& messung, std::uint64_t seq);

    // The next messages and gap records to hand out, in order, so that at most `hoechstens`
    // are out and unacknowledged; each is handed out once until Zuruecksetzen.
    std::vector<TAusgangsSatz> Naechste(std::size_t hoechstens);

    // Everything unacknowledged is to go out again, from the first (after a reconnect, or when
    // acknowledgements stopped coming).
    void Zuruecksetzen();

    // Brings what was written since the last successful call onto the disk (fdatasync), so a
    // power cut loses at most that; a crash of the program loses nothing written. Raises
    // EInOutError, and again on every call until a sync succeeds.
    void Synchronisieren();

    std::size_t Wartend() const noexcept { return wartend_; }        // not acknowledged
    bool Ungesichert() const noexcept { return ungesichert_; }       // written, not yet synced
    std::size_t Unterwegs() const noexcept { return unterwegs_; }    // handed out, not acknowledged
    std::uint64_t Dateigroesse() const noexcept { return groesse_; } // of all segments
    std::size_t Segmente() const noexcept { return segmente_.size(); }
    // Messages dropped (the limit, or while writing failed), since it was opened.
    std::uint64_t Verworfen() const noexcept { return verworfen_; }
    // What opening found damaged and moved aside (German), empty when nothing.
    const std::string& Schaden() const noexcept { return schaden_; }

    // Told once (German) when the full outbox first drops messages; again only after it was
    // empty in between.
    std::function<void(const std::string&)> BeiVoll;
    // Gives a gap record (measurement, VonSeq, Seq set) its topic and payload; without it the
    // record has neither.
    std::function<void(TAusgangsSatz&)> LueckeBauen;

private:
    struct TEintrag {
        std::uint64_t Segment;
        std::uint64_t Stelle;  // of the record in its segment
        std::uint32_t Laenge;  // of the whole record
        std::uint32_t Messung; // index into messungen_
        std::uint64_t Seq;
        std::uint64_t VonSeq; // of a gap; Seq for a message
        bool Luecke = false;
        bool Gesendet = false; // handed out, or read from the disk: the collector may have it
        bool Erledigt = false; // acknowledged or dropped
        bool Draussen = false; // handed out
    };
    struct TMessungsStand {
        std::string Name;
        std::set<std::pair<std::uint64_t, std::uint64_t>> Offen; // seq and entry still waiting
        std::uint64_t Quittiert = 0;                             // the highest acknowledged seq
        std::uint64_t LetztesSegment = 0;                        // holding its newest record
    };
    struct TSegment {
        std::uint64_t Groesse = 0;
        std::size_t Wartend = 0;
    };
    // Dropped messages of a measurement, not yet written as a gap record; `Satz` holds a gap
    // record that was itself in a dropped segment and goes again as it was.
    struct TLuecke {
        std::uint32_t Messung;
        std::uint64_t Von;
        std::uint64_t Bis;
        std::optional<TAusgangsSatz> Satz;
    };

    void Einlesen();
    void SegmentEinlesen(std::uint64_t nummer, bool neuestes);
    std::size_t SaetzeUebernehmen(std::uint64_t segment, std::string_view daten,
                                  std::uint64_t stelle, bool& kaputt);
    void Beschaedigt(const std::filesystem::path& pfad, int fd, std::uint64_t ab);
    void SatzUebernehmen(const TAusgangsSatz& satz, std::uint64_t segment, std::uint64_t stelle,
                         std::uint32_t laenge);
    void Schreiben(const TAusgangsSatz& satz);
    void Anfuegen(const std::string& text);
    void SegmentBereit(std::size_t laenge);
    void NeuesSegment();
    std::vector<std::string> Vorspann() const;
    std::uint64_t VorspannGroesse() const;
    void SegmentLoeschen(std::uint64_t nummer);
    void LeereSegmenteLoeschen();
    std::uint32_t MessungsNummer(const std::string& name);
    std::size_t Erledigen(TMessungsStand& stand, std::uint64_t seq);
    void Erledigt(TEintrag& eintrag);
    void VorneAufraeumen();
    void Leeren();
    void PlatzSchaffen(std::uint64_t noetig);
    void AeltestesSegmentVerwerfen();
    void VollMelden(std::size_t ab);
    void VorigeLueckenAufnehmen();
    void Verwerfen(std::uint32_t messung, std::uint64_t von, std::uint64_t bis);
    void Ueberdecken(TMessungsStand& stand, std::uint64_t von, std::uint64_t bis);
    TAusgangsSatz LueckenSatz(const TLuecke& luecke) const;
    std::uint64_t LueckenGroesse() const;
    void LueckenSchreiben();
    void Gestoert();
    std::string SatzLesen(const TEintrag& eintrag);
    TEintrag& Eintrag(std::uint64_t nummer) { return eintraege_[nummer - basis_]; }

    std::filesystem::path pfad_;
    std::uint64_t grenze_;
    std::uint64_t segmentGroesse_;
    TDateiAufrufe& aufrufe_;
    TMonoUhr mono_;
    std::unique_ptr<TDateideskriptor> sperre_;
    std::map<std::uint64_t, TSegment> segmente_;
    std::unique_ptr<TDateideskriptor> schreiben_; // the newest segment; none: a new one is due
    std::uint64_t schreibNummer_ = 0;
    std::uint64_t ersteStelle_ = 0; // of the newest segment's first message
    bool abgebrochen_ = false;      // a write to the newest segment left a piece: a new one is due
    std::unique_ptr<TDateideskriptor> lesen_; // the segment read last
    std::uint64_t leseNummer_ = 0;
    std::uint64_t groesse_ = 0;      // of all segments
    std::deque<TEintrag> eintraege_; // in file order; the first ones done are dropped
    std::uint64_t basis_ = 0;        // the absolute number of eintraege_.front()
    std::uint64_t naechste_ = 0;     // the absolute number of the next to hand out
    std::vector<TMessungsStand> messungen_;
    std::map<std::string, std::uint32_t> messungsNummern_;
    std::vector<TLuecke> luecken_;
    std::size_t wartend_ = 0;
    std::size_t unterwegs_ = 0;
    std::uint64_t verworfen_ = 0;
    std::string schaden_;
    bool geladen_ = false;
    bool vollGemeldet_ = false;
    bool ungesichert_ = false;    // written since the last successful Synchronisieren
    std::int64_t wiederAbNs_ = 0; // after a failed write: no write before this
    std::int64_t pauseNs_ = 0;    // the wait after the last failed write; 0 while writes work
};

// $XDG_STATE_HOME/quorlits/ausgang/<bench>/<meter> (~/.local/state when unset), with bench and
// meter escaped as topic levels; `zustandsOrdner` stands for $XDG_STATE_HOME's folder.
std::filesystem::path AusgangsPfad(const std::filesystem::path& zustandsOrdner,
                                   const std::string& bench, const std::string& meter);

// $XDG_STATE_HOME, or ~/.local/state; relative names in the environment are ignored.
std::filesystem::path ZustandsOrdner();
