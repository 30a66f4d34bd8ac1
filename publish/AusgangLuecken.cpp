// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The outbox at its limit: dropping whole oldest segments, and the gap records written in
// their place.
#include "mqtt/VeroeffentlichenEinstellungen.h"
#include "publish/Ausgang.h"
#include "storage/EInOutError.h"

#include <cerrno>

namespace {

std::string SeqText(std::uint64_t von, std::uint64_t bis) {
    return "seq " + std::to_string(von) + " bis " + std::to_string(bis) +
           " verworfen: Ausgang voll";
}

} // namespace

// Drops whole oldest segments until `noetig` more bytes and the gap records for what was
// dropped fit under the limit.
void TAusgang::PlatzSchaffen(std::uint64_t noetig) {
    const std::size_t vorher = luecken_.size();
    // Each record to write may need a new segment.
    const auto mehr = [&] {
        return noetig + LueckenGroesse() + (luecken_.size() + 1) * VorspannGroesse();
    };
    while (!segmente_.empty() && groesse_ + mehr() > grenze_) {
        if (segmente_.size() == 1) {
            if (segmente_.begin()->second.Wartend == 0) {
                break; // nothing left to drop
            }
            NeuesSegment();
        }
        AeltestesSegmentVerwerfen();
    }
    VorneAufraeumen();
    if (luecken_.size() > vorher) {
        VollMelden(vorher);
    }
}

// The waiting records of the oldest segment go. A gap record never handed out joins the new
// gap (the collector cannot know it); one handed out goes again as it was, since the
// collector may have stored it under its first seq.
void TAusgang::AeltestesSegmentVerwerfen() {
    const std::uint64_t segment = segmente_.begin()->first;
    for (std::size_t i = 0; i < eintraege_.size() && eintraege_[i].Segment <= segment; ++i) {
        TEintrag& eintrag = eintraege_[i];
        if (eintrag.Erledigt || eintrag.Segment != segment) {
            continue;
        }
        messungen_[eintrag.Messung].Offen.erase({eintrag.Seq, basis_ + i});
        if (eintrag.Luecke && eintrag.Gesendet) {
            std::optional<TAusgangsSatz> satz = AusgangsSatzLesen(SatzLesen(eintrag));
            if (!satz) {
                throw EInOutError::AusErrno(EIO);
            }
            luecken_.push_back(TLuecke{eintrag.Messung, eintrag.VonSeq, eintrag.Seq, satz});
        } else {
            verworfen_ += eintrag.Luecke ? 0 : 1;
            Verwerfen(eintrag.Messung, eintrag.VonSeq, eintrag.Seq);
        }
        Erledigt(eintrag);
    }
    if (segmente_.contains(segment)) {
        SegmentLoeschen(segment);
    }
    VorigeLueckenAufnehmen();
}

// A gap record not yet handed out that ends right before a new gap joins it, so the outbox
// holds one gap per measurement while nothing goes out, however often it drops.
void TAusgang::VorigeLueckenAufnehmen() {
    for (TLuecke& luecke : luecken_) {
        if (luecke.Satz) {
            continue;
        }
        auto& offen = messungen_[luecke.Messung].Offen;
        for (auto vorige = offen.lower_bound({luecke.Von - 1, 0});
             vorige != offen.end() && vorige->first + 1 == luecke.Von;
             vorige = offen.lower_bound({luecke.Von - 1, 0})) {
            const std::uint64_t nummer = vorige->second;
            TEintrag& eintrag = Eintrag(nummer);
            if (!eintrag.Luecke || eintrag.Gesendet) {
                break;
            }
            luecke.Von = eintrag.VonSeq;
            offen.erase(vorige);
            Erledigt(eintrag);
        }
    }
}

// Adds the seqs `von` to `bis` of `messung` to its gap that waits to be written, where they
// join it, else to a new one.
void TAusgang::Verwerfen(std::uint32_t messung, std::uint64_t von, std::uint64_t bis) {
    for (auto luecke = luecken_.rbegin(); luecke != luecken_.rend(); ++luecke) {
        if (luecke->Messung != messung || luecke->Satz) {
            continue;
        }
        if (luecke->Bis + 1 == von) {
            luecke->Bis = bis;
            return;
        }
        if (bis + 1 == luecke->Von) {
            luecke->Von = von;
            return;
        }
        break;
    }
    luecken_.push_back(TLuecke{messung, von, bis, std::nullopt});
}

void TAusgang::VollMelden(std::size_t ab) {
    if (vollGemeldet_) {
        return;
    }
    vollGemeldet_ = true;
    std::string verworfen;
    for (std::size_t i = ab; i < luecken_.size(); ++i) {
        if (!luecken_[i].Satz) {
            verworfen += (verworfen.empty() ? "" : "; ") + std::string("Messung ") +
                         messungen_[luecken_[i].Messung].Name + ": " +
                         SeqText(luecken_[i].Von, luecken_[i].Bis);
        }
    }
    if (BeiVoll && !verworfen.empty()) {
        // Exact, also for a limit below 1 MB (which the MB alone would show as 0).
        const std::string grenze = GroesseText(grenze_);
        BeiVoll("Der Ausgang " + pfad_.string() + " ist voll (Grenze " + grenze +
                (grenze.ends_with('B') ? "" : " Bytes") +
                ", OutboxGrenze); die ältesten Nachrichten gehen nicht an den Server (" +
                verworfen + "). Das Speichern läuft weiter.");
    }
}

TAusgangsSatz TAusgang::LueckenSatz(const TLuecke& luecke) const {
    if (luecke.Satz) {
        return *luecke.Satz;
    }
    TAusgangsSatz satz{
        TAusgangsArt::Luecke, messungen_[luecke.Messung].Name, luecke.Bis, {}, {}, luecke.Von};
    if (LueckeBauen) {
        LueckeBauen(satz);
    }
    return satz;
}

std::uint64_t TAusgang::LueckenGroesse() const {
    std::uint64_t groesse = 0;
    for (const TLuecke& luecke : luecken_) {
        groesse += AusgangsSatzText(LueckenSatz(luecke)).size();
    }
    return groesse;
}

void TAusgang::LueckenSchreiben() {
    while (!luecken_.empty()) {
        Schreiben(LueckenSatz(luecken_.front()));
        luecken_.erase(luecken_.begin());
    }
}
