// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "publish/Ausgang.h"

#include "framework/Meldung.h"
#include "mqtt/Themen.h"
#include "mqtt/VeroeffentlichenEinstellungen.h"
#include "storage/EInOutError.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// Acknowledged records are cut out of the file once they are this many bytes and more than
// the waiting ones: rewriting costs as much as it saves.
constexpr std::uint64_t VerdichtenAb = 16ULL * 1024ULL * 1024ULL;
constexpr std::size_t Lesehappen = 1024 * 1024;

int Oeffne(const std::filesystem::path& pfad, int zusatz) {
    const int fd = ::open(pfad.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | zusatz, 0600);
    if (fd < 0) {
        throw EInOutError::AusErrno(errno);
    }
    return fd;
}

void Sperren(int fd, const std::filesystem::path& pfad) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        return;
    }
    const int fehler = errno;
    if (fehler == EWOULDBLOCK) {
        throw EMeldung("Der Ausgang " + pfad.string() +
                           " wird schon von einem anderen Quorlits benutzt (gleicher Arbeitsplatz "
                           "und gleiches Messgerät).",
                       DateiBezug(pfad.string(), fehler));
    }
    throw EInOutError::AusErrno(fehler);
}

void AllesLesen(int fd, char* ziel, std::size_t laenge, std::uint64_t stelle) {
    while (laenge > 0) {
        const ssize_t n = ::pread(fd, ziel, laenge, static_cast<off_t>(stelle));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            throw EInOutError::AusErrno(n < 0 ? errno : EIO);
        }
        ziel += n;
        laenge -= static_cast<std::size_t>(n);
        stelle += static_cast<std::uint64_t>(n);
    }
}

void Kuerzen(int fd, std::uint64_t laenge) {
    if (::ftruncate(fd, static_cast<off_t>(laenge)) != 0) {
        throw EInOutError::AusErrno(errno);
    }
}

void DateiSynchronisieren(int fd) {
    if (::fsync(fd) != 0) {
        throw EInOutError::AusErrno(errno);
    }
}

// After a rename: the folder's entry on the disk too.
void OrdnerSynchronisieren(const std::filesystem::path& ordner) {
    const TDateideskriptor fd(::open(ordner.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Fd() >= 0) {
        ::fsync(fd.Fd());
    }
}

} // namespace

TAusgang::TAusgang(std::filesystem::path pfad, std::uint64_t grenze)
    : pfad_(std::move(pfad))
    , grenze_(grenze) {
    Oeffnen();
    Einlesen();
}

TAusgang::~TAusgang() = default;

void TAusgang::Oeffnen() {
    std::error_code fehler;
    std::filesystem::create_directories(pfad_.parent_path(), fehler);
    if (fehler) {
        throw EInOutError::AusErrno(fehler.value());
    }
    datei_ = std::make_unique<TDateideskriptor>(Oeffne(pfad_, O_APPEND));
    Sperren(datei_->Fd(), pfad_);
    // What a rewrite that was cut short left behind; the outbox itself is still whole.
    std::filesystem::remove(pfad_.string() + ".neu", fehler);
}

// Up to Lesehappen more bytes of the file after `gelesen`; how many came (0 at the end).
std::size_t TAusgang::Nachlesen(std::string& puffer, std::uint64_t& gelesen) const {
    const std::size_t alt = puffer.size();
    puffer.resize(alt + Lesehappen);
    ssize_t n = 0;
    do {
        n = ::pread(datei_->Fd(), puffer.data() + alt, Lesehappen, static_cast<off_t>(gelesen));
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        throw EInOutError::AusErrno(errno);
    }
    puffer.resize(alt + static_cast<std::size_t>(n));
    gelesen += static_cast<std::uint64_t>(n);
    return static_cast<std::size_t>(n);
}

// The header at the start of `puffer`, taken off it; false while it is not all there (an
// empty file, or one cut in its header: then it is written anew). Another file is refused.
bool TAusgang::KopfAbnehmen(std::string& puffer) const {
    const std::size_t kopf = std::min(puffer.size(), AusgangMagie.size());
    if (puffer.compare(0, kopf, AusgangMagie.substr(0, kopf)) != 0) {
        throw EMeldung("Die Datei " + pfad_.string() + " ist kein Ausgang von Quorlits.",
                       DateiBezug(pfad_.string()));
    }
    if (puffer.size() < AusgangMagie.size()) {
        return false;
    }
    puffer.erase(0, AusgangMagie.size());
    return true;
}

// Takes the whole records at the start of `puffer` (the first at `ganz` in the file) and
// drops them from it; false at a damaged record.
bool TAusgang::SaetzeUebernehmen(std::string& puffer, std::uint64_t& ganz) {
    std::size_t stelle = 0;
    bool heil = true;
    for (;;) {
        const std::string_view rest = std::string_view(puffer).substr(stelle);
        const std::optional<std::size_t> laenge = AusgangsSatzLaenge(rest);
        if (!laenge || rest.size() < *laenge) {
            break;
        }
        const std::optional<TAusgangsSatz> satz = AusgangsSatzLesen(rest.substr(0, *laenge));
        if (!satz) {
            heil = false;
            break;
        }
        SatzUebernehmen(*satz, ganz, static_cast<std::uint32_t>(*laenge));
        ganz += *laenge;
        stelle += *laenge;
    }
    puffer.erase(0, stelle);
    return heil;
}

void TAusgang::Einlesen() {
    std::string puffer;
    std::uint64_t gelesen = 0; // bytes of the file read so far
    std::uint64_t ganz = 0;    // the end of the last whole record
    for (bool weiter = true; weiter;) {
        const std::size_t neu = Nachlesen(puffer, gelesen);
        if (ganz == 0) {
            if (!KopfAbnehmen(puffer)) {
                break;
            }
            ganz = AusgangMagie.size();
        }
        weiter = SaetzeUebernehmen(puffer, ganz) && neu > 0;
    }
    const int fd = datei_->Fd();
    if (ganz == 0) {
        Kuerzen(fd, 0);
        AllesSchreiben(fd, AusgangMagie);
        ganz = AusgangMagie.size();
    } else if (ganz < gelesen) {
        // A record cut by a crash, or damaged: the next one follows the last whole record.
        Kuerzen(fd, ganz);
    }
    groesse_ = ganz;
    VorneAufraeumen();
}

std::uint32_t TAusgang::MessungsNummer(const std::string& name) {
    const auto [stelle, neu] =
        messungsNummern_.emplace(name, static_cast<std::uint32_t>(messungen_.size()));
    if (neu) {
        messungen_.push_back(TMessungsStand{name, {}});
    }
    return stelle->second;
}

void TAusgang::SatzUebernehmen(const TAusgangsSatz& satz, std::uint64_t stelle,
                               std::uint32_t laenge) {
    if (satz.Art == TAusgangsArt::Quittung) {
        if (const auto nummer = messungsNummern_.find(satz.Messung);
            nummer != messungsNummern_.end()) {
            Erledigen(messungen_[nummer->second], satz.Seq);
        }
        return;
    }
    const std::uint32_t messung = MessungsNummer(satz.Messung);
    messungen_[messung].Offen.push_back(basis_ + eintraege_.size());
    eintraege_.push_back(TEintrag{stelle, laenge, messung, satz.Seq});
    ++wartend_;
    lebend_ += laenge;
}

void TAusgang::Anfuegen(const std::string& text) {
    std::size_t geschrieben = 0;
    try {
        AllesSchreiben(datei_->Fd(), text, &geschrieben);
    } catch (const EInOutError&) {
        if (geschrieben > 0) {
            Kuerzen(datei_->Fd(), groesse_); // no piece of a record stays behind
        }
        throw;
    }
    groesse_ += text.size();
    ungesichert_ = true;
}

void TAusgang::Synchronisieren() {
    if (ungesichert_) {
        ungesichert_ = false;
        if (::fdatasync(datei_->Fd()) != 0) {
            throw EInOutError::AusErrno(errno);
        }
    }
}

void TAusgang::Ablegen(const TAusgangsSatz& nachricht) {
    TAusgangsSatz satz = nachricht;
    satz.Art = TAusgangsArt::Nachricht;
    const std::string text = AusgangsSatzText(satz);
    if (groesse_ + text.size() > grenze_) {
        PlatzSchaffen(text.size());
    }
    const std::uint64_t stelle = groesse_;
    Anfuegen(text);
    SatzUebernehmen(satz, stelle, static_cast<std::uint32_t>(text.size()));
}

std::size_t TAusgang::QuittungNehmen(const std::string& messung, std::uint64_t seq) {
    const auto nummer = messungsNummern_.find(messung);
    if (nummer == messungsNummern_.end()) {
        return 0;
    }
    const std::size_t weg = Erledigen(messungen_[nummer->second], seq);
    if (weg == 0) {
        return 0;
    }
    VorneAufraeumen();
    if (wartend_ == 0) {
        // Nothing waits: the file starts over, and a full outbox may be told of again.
        Kuerzen(datei_->Fd(), AusgangMagie.size());
        groesse_ = AusgangMagie.size();
        vollGemeldet_ = false;
    } else if (groesse_ - lebend_ > std::max(VerdichtenAb, lebend_)) {
        Verdichten();
    } else {
        Anfuegen(AusgangsSatzText(TAusgangsSatz{TAusgangsArt::Quittung, messung, seq, {}, {}}));
    }
    return weg;
}

std::size_t TAusgang::Erledigen(TMessungsStand& stand, std::uint64_t seq) {
    std::size_t weg = 0;
    while (!stand.Offen.empty() && Eintrag(stand.Offen.front()).Seq <= seq) {
        TEintrag& eintrag = Eintrag(stand.Offen.front());
        stand.Offen.pop_front();
        if (!eintrag.Erledigt) {
            Erledigt(eintrag);
            ++weg;
        }
    }
    return weg;
}

void TAusgang::Erledigt(TEintrag& eintrag) {
    eintrag.Erledigt = true;
    --wartend_;
    lebend_ -= eintrag.Laenge;
    if (eintrag.Draussen) {
        --unterwegs_;
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

std::string TAusgang::SatzLesen(const TEintrag& eintrag) const {
    std::string satz(eintrag.Laenge, '\0');
    AllesLesen(datei_->Fd(), satz.data(), satz.size(), eintrag.Stelle);
    return satz;
}

void TAusgang::PlatzSchaffen(std::uint64_t noetig) {
    // Room for a quarter of the limit, so the file is not rewritten for every message.
    const std::uint64_t ziel = grenze_ / 4 * 3;
    std::uint64_t weg = 0;
    for (TEintrag& eintrag : eintraege_) {
        if (AusgangMagie.size() + lebend_ + noetig <= ziel) {
            break;
        }
        if (eintrag.Erledigt) {
            continue;
        }
        std::deque<std::uint64_t>& offen = messungen_[eintrag.Messung].Offen;
        offen.pop_front(); // the oldest of the outbox is the oldest of its measurement
        Erledigt(eintrag);
        ++weg;
    }
    verworfen_ += weg;
    VorneAufraeumen();
    if (weg > 0 && !vollGemeldet_) {
        vollGemeldet_ = true;
        if (BeiVoll) {
            // Exact, also for a limit below 1 MB (which the MB alone would show as 0).
            const std::string grenze = GroesseText(grenze_);
            BeiVoll("Der Ausgang " + pfad_.string() + " ist voll (Grenze " + grenze +
                    (grenze.ends_with('B') ? "" : " Bytes") + ", OutboxGrenze); die " +
                    std::to_string(weg) +
                    " ältesten Nachrichten gehen nicht an den Server. Das Speichern läuft weiter.");
        }
    }
    Verdichten();
}

void TAusgang::Verdichten() {
    // The waiting records go into a new file, which then takes the outbox's place in one step:
    // a crash meanwhile leaves the old outbox whole.
    const std::filesystem::path neu = pfad_.string() + ".neu";
    auto datei = std::make_unique<TDateideskriptor>(Oeffne(neu, O_TRUNC | O_APPEND));
    Sperren(datei->Fd(), neu);
    std::string puffer(AusgangMagie);
    std::uint64_t stelle = 0; // of puffer's start in the new file
    std::vector<std::uint64_t> stellen(eintraege_.size());
    for (std::size_t i = 0; i < eintraege_.size(); ++i) {
        if (eintraege_[i].Erledigt) {
            continue;
        }
        stellen[i] = stelle + puffer.size();
        puffer += SatzLesen(eintraege_[i]);
        if (puffer.size() >= Lesehappen) {
            AllesSchreiben(datei->Fd(), puffer);
            stelle += puffer.size();
            puffer.clear();
        }
    }
    AllesSchreiben(datei->Fd(), puffer);
    DateiSynchronisieren(datei->Fd());
    if (::rename(neu.c_str(), pfad_.c_str()) != 0) {
        throw EInOutError::AusErrno(errno);
    }
    OrdnerSynchronisieren(pfad_.parent_path());
    for (std::size_t i = 0; i < eintraege_.size(); ++i) {
        eintraege_[i].Stelle = stellen[i];
    }
    datei_ = std::move(datei);
    groesse_ = stelle + puffer.size();
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
