// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "publish/Ausgang.h"

#include "mqtt/Themen.h"
#include "publish/AusgangOrdner.h"
#include "storage/EInOutError.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

namespace {

// A segment takes an eighth of the limit, at most this: dropping one for the limit drops no
// more than needed, and deleting one is quick.
constexpr std::uint64_t GroesstesSegment = 4ULL * 1024ULL * 1024ULL;
constexpr std::int64_t ErstePauseNs = 5'000'000'000;
constexpr std::int64_t LaengstePauseNs = 300'000'000'000;

std::uint64_t SegmentGroesseFuer(std::uint64_t grenze) {
    return std::clamp<std::uint64_t>(grenze / 8, 1, GroesstesSegment);
}

} // namespace

TAusgang::TAusgang(std::filesystem::path pfad, std::uint64_t grenze, TDateiAufrufe& aufrufe,
                   TMonoUhr mono)
    : pfad_(std::move(pfad))
    , grenze_(grenze)
    , segmentGroesse_(SegmentGroesseFuer(grenze))
    , aufrufe_(aufrufe)
    , mono_(std::move(mono)) {
    sperre_ = AusgangsOrdnerOeffnen(aufrufe_, pfad_);
    Einlesen();
}

TAusgang::~TAusgang() = default;

std::uint32_t TAusgang::MessungsNummer(const std::string& name) {
    const auto [stelle, neu] =
        messungsNummern_.emplace(name, static_cast<std::uint32_t>(messungen_.size()));
    if (neu) {
        messungen_.push_back(TMessungsStand{name, {}});
    }
    return stelle->second;
}

void TAusgang::SatzUebernehmen(const TAusgangsSatz& satz, std::uint64_t segment,
                               std::uint64_t stelle, std::uint32_t laenge) {
    if (satz.Art == TAusgangsArt::Quittung) {
        if (const auto nummer = messungsNummern_.find(satz.Messung);
            nummer != messungsNummern_.end()) {
            TMessungsStand& stand = messungen_[nummer->second];
            Erledigen(stand, satz.Seq);
            stand.Quittiert = std::max(stand.Quittiert, satz.Seq);
        }
        return;
    }
    const bool luecke = satz.Art == TAusgangsArt::Luecke;
    const std::uint32_t messung = MessungsNummer(satz.Messung);
    TMessungsStand& stand = messungen_[messung];
    if (luecke && !geladen_) {
        Ueberdecken(stand, satz.VonSeq, satz.Seq);
    }
    stand.Offen.emplace(satz.Seq, basis_ + eintraege_.size());
    stand.LetztesSegment = segment;
    // What was on the disk before may have gone out before.
    eintraege_.push_back(TEintrag{segment, stelle, laenge, messung, satz.Seq,
                                  luecke ? satz.VonSeq : satz.Seq, luecke, !geladen_});
    ++wartend_;
    ++segmente_[segment].Wartend;
}

// A gap read from the disk covers the records of its range read before it: gaps it took in
// when it was written, and messages dropped for it whose segment a crash kept from going.
void TAusgang::Ueberdecken(TMessungsStand& stand, std::uint64_t von, std::uint64_t bis) {
    for (auto eintrag = stand.Offen.lower_bound({von, 0});
         eintrag != stand.Offen.end() && eintrag->first <= bis;) {
        TEintrag& alt = Eintrag(eintrag->second);
        if (alt.VonSeq < von) {
            ++eintrag;
            continue;
        }
        const std::uint64_t nummer = eintrag->second;
        eintrag = stand.Offen.erase(eintrag);
        Erledigt(Eintrag(nummer));
    }
}

void TAusgang::Anfuegen(const std::string& text) {
    const int fd = schreiben_->Fd();
    TSegment& segment = segmente_[schreibNummer_];
    std::size_t geschrieben = 0;
    const int fehler = AllesSchreibenMit(aufrufe_, fd, text, geschrieben);
    if (fehler != 0) {
        // No piece of a record stays behind; where it cannot be cut off, the next record
        // goes into a new segment, and reading this one later moves the piece aside.
        if (geschrieben > 0 && aufrufe_.Ftruncate(fd, static_cast<off_t>(segment.Groesse)) != 0) {
            abgebrochen_ = true;
        }
        throw EInOutError::AusErrno(fehler);
    }
    segment.Groesse += text.size();
    groesse_ += text.size();
    ungesichert_ = true;
}

void TAusgang::Schreiben(const TAusgangsSatz& satz) {
    const std::string text = AusgangsSatzText(satz);
    SegmentBereit(text.size());
    const std::uint64_t stelle = segmente_[schreibNummer_].Groesse;
    Anfuegen(text);
    SatzUebernehmen(satz, schreibNummer_, stelle, static_cast<std::uint32_t>(text.size()));
}

void TAusgang::SegmentBereit(std::size_t laenge) {
    if (schreiben_ && !abgebrochen_) {
        const std::uint64_t groesse = segmente_[schreibNummer_].Groesse;
        if (groesse <= ersteStelle_ || groesse + laenge <= segmentGroesse_) {
            return;
        }
    }
    NeuesSegment();
}

void TAusgang::NeuesSegment() {
    const std::uint64_t alt = schreibNummer_;
    if (schreiben_ && ungesichert_ && aufrufe_.Fdatasync(schreiben_->Fd()) != 0) {
        throw EInOutError::AusErrno(errno); // stays "ungesichert" until a sync succeeds
    }
    PlatzPruefen(aufrufe_, pfad_, 2 * std::max(segmentGroesse_, GroesstesSegment / 4));
    const std::uint64_t nummer = segmente_.empty() ? 1 : segmente_.rbegin()->first + 1;
    const std::filesystem::path pfad = SegmentPfad(pfad_, nummer);
    const int fd =
        aufrufe_.Open(pfad.c_str(), O_RDWR | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) {
        throw EInOutError::AusErrno(errno);
    }
    auto datei = std::make_unique<TDateideskriptor>(fd);
    try {
        std::size_t geschrieben = 0;
        if (const int fehler = AllesSchreibenMit(aufrufe_, fd, AusgangMagie, geschrieben)) {
            throw EInOutError::AusErrno(fehler);
        }
        OrdnerSynchronisieren(aufrufe_, pfad_);
    } catch (const EInOutError&) {
        datei.reset();
        ::unlink(pfad.c_str()); // what is left of it; a file that stays is read as empty
        throw;
    }
    const std::vector<std::string> vorspann = Vorspann();
    segmente_[nummer].Groesse = AusgangMagie.size();
    groesse_ += AusgangMagie.size();
    schreiben_ = std::move(datei);
    schreibNummer_ = nummer;
    ersteStelle_ = AusgangMagie.size();
    abgebrochen_ = false;
    ungesichert_ = true;
    if (const auto vorher = segmente_.find(alt);
        vorher != segmente_.end() && vorher->second.Wartend == 0) {
        SegmentLoeschen(alt);
    }
    for (const std::string& quittung : vorspann) {
        Anfuegen(quittung);
    }
    ersteStelle_ = segmente_[nummer].Groesse;
}

// A new segment begins with the acknowledgements that still concern older segments: an older
// segment whose acknowledgements lay in a segment deleted since is then still read right.
std::vector<std::string> TAusgang::Vorspann() const {
    std::vector<std::string> quittungen;
    if (segmente_.empty()) {
        return quittungen;
    }
    const std::uint64_t aeltestes = segmente_.begin()->first;
    for (const TMessungsStand& stand : messungen_) {
        if (stand.Quittiert > 0 && stand.LetztesSegment >= aeltestes) {
            quittungen.push_back(AusgangsSatzText(
                TAusgangsSatz{TAusgangsArt::Quittung, stand.Name, stand.Quittiert, {}, {}}));
        }
    }
    return quittungen;
}

// What a new segment takes before its first message.
std::uint64_t TAusgang::VorspannGroesse() const {
    std::uint64_t groesse = AusgangMagie.size();
    for (const std::string& quittung : Vorspann()) {
        groesse += quittung.size();
    }
    return groesse;
}

void TAusgang::SegmentLoeschen(std::uint64_t nummer) {
    const auto segment = segmente_.find(nummer);
    groesse_ -= segment->second.Groesse;
    segmente_.erase(segment);
    if (leseNummer_ == nummer) {
        lesen_.reset();
    }
    if (::unlink(SegmentPfad(pfad_, nummer).c_str()) != 0 && errno != ENOENT) {
        throw EInOutError::AusErrno(errno);
    }
}

void TAusgang::LeereSegmenteLoeschen() {
    std::vector<std::uint64_t> leer;
    for (const auto& [nummer, segment] : segmente_) {
        if (segment.Wartend == 0 && nummer != schreibNummer_) {
            leer.push_back(nummer);
        }
    }
    for (const std::uint64_t nummer : leer) {
        SegmentLoeschen(nummer);
    }
}

void TAusgang::Synchronisieren() {
    if (!ungesichert_ || !schreiben_) {
        return;
    }
    if (aufrufe_.Fdatasync(schreiben_->Fd()) != 0) {
        throw EInOutError::AusErrno(errno);
    }
    ungesichert_ = false;
}

void TAusgang::Ablegen(const TAusgangsSatz& nachricht) {
    TAusgangsSatz satz = nachricht;
    satz.Art = TAusgangsArt::Nachricht;
    satz.VonSeq = 0;
    if (pauseNs_ > 0 && MonoLesen(mono_) < wiederAbNs_) {
        ++verworfen_;
        Verwerfen(MessungsNummer(satz.Messung), satz.Seq, satz.Seq);
        return;
    }
    try {
        PlatzSchaffen(AusgangsSatzText(satz).size());
        LueckenSchreiben();
        Schreiben(satz);
    } catch (const EInOutError&) {
        Gestoert();
        throw;
    }
    pauseNs_ = 0;
}

void TAusgang::Gestoert() {
    pauseNs_ = pauseNs_ == 0 ? ErstePauseNs : std::min(pauseNs_ * 2, LaengstePauseNs);
    wiederAbNs_ = MonoLesen(mono_) + pauseNs_;
}

std::size_t TAusgang::QuittungNehmen(const std::string& messung, std::uint64_t seq) {
    const auto nummer = messungsNummern_.find(messung);
    if (nummer == messungsNummern_.end()) {
        return 0;
    }
    TMessungsStand& stand = messungen_[nummer->second];
    const std::size_t weg = Erledigen(stand, seq);
    stand.Quittiert = std::max(stand.Quittiert, seq);
    if (weg == 0) {
        return 0;
    }
    VorneAufraeumen();
    if (wartend_ == 0) {
        Leeren();
    } else if (pauseNs_ == 0) {
        const std::string text =
            AusgangsSatzText(TAusgangsSatz{TAusgangsArt::Quittung, messung, seq, {}, {}});
        SegmentBereit(text.size());
        Anfuegen(text);
    }
    return weg;
}

// Nothing waits: the newest segment starts over, and a full outbox may be told of again.
void TAusgang::Leeren() {
    vollGemeldet_ = false;
    std::vector<std::uint64_t> aeltere;
    for (const auto& eintrag : segmente_) {
        if (eintrag.first != schreibNummer_) {
            aeltere.push_back(eintrag.first);
        }
    }
    for (const std::uint64_t nummer : aeltere) {
        SegmentLoeschen(nummer);
    }
    if (!schreiben_ || abgebrochen_) {
        return;
    }
    if (aufrufe_.Ftruncate(schreiben_->Fd(), static_cast<off_t>(AusgangMagie.size())) != 0) {
        throw EInOutError::AusErrno(errno);
    }
    groesse_ = AusgangMagie.size();
    segmente_[schreibNummer_].Groesse = groesse_;
    ersteStelle_ = groesse_;
}

std::size_t TAusgang::Erledigen(TMessungsStand& stand, std::uint64_t seq) {
    std::size_t weg = 0;
    while (!stand.Offen.empty() && stand.Offen.begin()->first <= seq) {
        const std::uint64_t nummer = stand.Offen.begin()->second;
        stand.Offen.erase(stand.Offen.begin());
        Erledigt(Eintrag(nummer));
        ++weg;
    }
    return weg;
}

// A segment goes once nothing in it waits (the newest stays, appends go there).
void TAusgang::Erledigt(TEintrag& eintrag) {
    eintrag.Erledigt = true;
    --wartend_;
    if (eintrag.Draussen) {
        --unterwegs_;
    }
    const auto segment = segmente_.find(eintrag.Segment);
    if (segment != segmente_.end() && --segment->second.Wartend == 0 && geladen_ &&
        eintrag.Segment != schreibNummer_) {
        SegmentLoeschen(eintrag.Segment);
    }
}

void TAusgang::VorneAufraeumen() {
    while (!eintraege_.empty() && eintraege_.front().Erledigt) {
        eintraege_.pop_front();
        ++basis_;
    }
    naechste_ = std::max(naechste_, basis_);
}

std::vector<TAusgangsSatz> TAusgang::Naechste(std::size_t hoechstens) {
    std::vector<TAusgangsSatz> saetze;
    while (unterwegs_ < hoechstens && naechste_ < basis_ + eintraege_.size()) {
        TEintrag& eintrag = Eintrag(naechste_++);
        if (eintrag.Erledigt) {
            continue;
        }
        std::optional<TAusgangsSatz> satz = AusgangsSatzLesen(SatzLesen(eintrag));
        if (!satz) {
            throw EInOutError::AusErrno(EIO); // the file changed under the program
        }
        eintrag.Draussen = true;
        eintrag.Gesendet = true;
        ++unterwegs_;
        saetze.push_back(std::move(*satz));
    }
    return saetze;
}

void TAusgang::Zuruecksetzen() {
    for (std::uint64_t nummer = basis_; nummer < naechste_; ++nummer) {
        Eintrag(nummer).Draussen = false;
    }
    unterwegs_ = 0;
    naechste_ = basis_;
}

std::string TAusgang::SatzLesen(const TEintrag& eintrag) {
    int fd = -1;
    if (schreiben_ && eintrag.Segment == schreibNummer_) {
        fd = schreiben_->Fd();
    } else {
        if (!lesen_ || leseNummer_ != eintrag.Segment) {
            lesen_.reset();
            const std::filesystem::path pfad = SegmentPfad(pfad_, eintrag.Segment);
            const int neu = aufrufe_.Open(pfad.c_str(), O_RDONLY | O_CLOEXEC, 0);
            if (neu < 0) {
                throw EInOutError::AusErrno(errno);
            }
            lesen_ = std::make_unique<TDateideskriptor>(neu);
            leseNummer_ = eintrag.Segment;
        }
        fd = lesen_->Fd();
    }
    std::string satz = PositionLesen(fd, static_cast<off_t>(eintrag.Stelle), eintrag.Laenge);
    if (satz.size() != eintrag.Laenge) {
        throw EInOutError::AusErrno(EIO);
    }
    return satz;
}

std::filesystem::path AusgangsPfad(const std::filesystem::path& zustandsOrdner,
                                   const std::string& bench, const std::string& meter) {
    return zustandsOrdner / "quorlits" / "ausgang" / ThemenEbene(bench) / ThemenEbene(meter);
}

std::filesystem::path ZustandsOrdner() {
    const char* zustand = std::getenv("XDG_STATE_HOME");
    if (zustand != nullptr && std::filesystem::path(zustand).is_absolute()) {
        return zustand;
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || !std::filesystem::path(home).is_absolute()) {
        const passwd* eintrag = ::getpwuid(::getuid());
        home = eintrag != nullptr ? eintrag->pw_dir : "/tmp";
    }
    return std::filesystem::path(home) / ".local" / "state";
}
