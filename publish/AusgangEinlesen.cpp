// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// Reading the outbox's segments when it is opened.
#include "publish/Ausgang.h"
#include "publish/AusgangOrdner.h"
#include "storage/EInOutError.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr std::size_t Lesehappen = 1024 * 1024;
// A record's length field beyond this is damage, not a record still being written.
constexpr std::size_t GroessterSatz = AusgangHoechsteLaenge + 9;

// How much to ask for at `gelesen`: what the file still holds (and a byte more, so the end shows
// at once), at least a page, at most Lesehappen; a small segment does not cost a megabyte of
// buffer. Without the file's size, Lesehappen (the read itself reports a failing file).
std::size_t Happen(TDateiAufrufe& aufrufe, int fd, std::uint64_t gelesen) {
    struct stat info {};
    if (aufrufe.Fstat(fd, info) != 0 || info.st_size < 0 ||
        static_cast<std::uint64_t>(info.st_size) < gelesen) {
        return Lesehappen;
    }
    const std::uint64_t rest = static_cast<std::uint64_t>(info.st_size) - gelesen + 1;
    return static_cast<std::size_t>(std::clamp<std::uint64_t>(rest, 4096, Lesehappen));
}

// Up to Lesehappen more bytes of `fd` after `gelesen`; how many came (0 at the end).
std::size_t Nachlesen(TDateiAufrufe& aufrufe, int fd, std::string& puffer, std::uint64_t& gelesen) {
    const std::size_t alt = puffer.size();
    const std::size_t happen = Happen(aufrufe, fd, gelesen);
    puffer.resize(alt + happen);
    ssize_t n = 0;
    do {
        n = aufrufe.Pread(fd, puffer.data() + alt, happen, static_cast<off_t>(gelesen));
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        throw EInOutError::AusErrno(errno);
    }
    puffer.resize(alt + static_cast<std::size_t>(n));
    gelesen += static_cast<std::uint64_t>(n);
    return static_cast<std::size_t>(n);
}

// The state of a segment's header at the start of `puffer`.
enum class TKopf { Ganz, Unvollstaendig, Fremd };

TKopf KopfPruefen(const std::string& puffer) {
    const std::size_t kopf = std::min(puffer.size(), AusgangMagie.size());
    if (puffer.compare(0, kopf, AusgangMagie.substr(0, kopf)) != 0) {
        return TKopf::Fremd;
    }
    return kopf < AusgangMagie.size() ? TKopf::Unvollstaendig : TKopf::Ganz;
}

} // namespace

void TAusgang::Einlesen() {
    const std::vector<std::uint64_t> nummern = SegmentNummern(pfad_);
    for (std::size_t i = 0; i < nummern.size(); ++i) {
        SegmentEinlesen(nummern[i], i + 1 == nummern.size());
    }
    geladen_ = true;
    LeereSegmenteLoeschen();
    VorneAufraeumen();
}

void TAusgang::SegmentEinlesen(std::uint64_t nummer, bool neuestes) {
    const std::filesystem::path pfad = SegmentPfad(pfad_, nummer);
    const int fd = aufrufe_.Open(pfad.c_str(), O_RDWR | O_APPEND | O_CLOEXEC, 0);
    if (fd < 0) {
        throw EInOutError::AusErrno(errno);
    }
    auto datei = std::make_unique<TDateideskriptor>(fd);
    segmente_[nummer] = TSegment{};
    std::string puffer;
    std::uint64_t gelesen = 0; // bytes of the file read so far
    std::uint64_t ganz = 0;    // the end of the last whole record
    bool kaputt = false;
    for (;;) {
        const std::size_t neu = Nachlesen(aufrufe_, fd, puffer, gelesen);
        if (ganz == 0) {
            const TKopf kopf = KopfPruefen(puffer);
            kaputt = kopf == TKopf::Fremd;
            if (kopf != TKopf::Ganz) {
                if (kaputt || neu == 0) {
                    break;
                }
                continue;
            }
            puffer.erase(0, AusgangMagie.size());
            ganz = AusgangMagie.size();
        }
        const std::size_t genommen = SaetzeUebernehmen(nummer, puffer, ganz, kaputt);
        puffer.erase(0, genommen);
        ganz += genommen;
        if (kaputt || neu == 0) {
            break;
        }
    }
    // A record cut by a crash at the end of the newest segment is cut off; anything else that
    // cannot be read is kept aside, and what follows it in later segments stays.
    if (kaputt || (ganz < gelesen && !neuestes && ganz > 0)) {
        Beschaedigt(pfad, fd, ganz);
    } else if (ganz < gelesen && aufrufe_.Ftruncate(fd, static_cast<off_t>(ganz)) != 0) {
        throw EInOutError::AusErrno(errno);
    }
    if (ganz < AusgangMagie.size()) {
        // Empty, or cut in its header: it is written anew.
        std::size_t geschrieben = 0;
        if (aufrufe_.Ftruncate(fd, 0) != 0) {
            throw EInOutError::AusErrno(errno);
        }
        if (const int fehler = AllesSchreibenMit(aufrufe_, fd, AusgangMagie, geschrieben)) {
            throw EInOutError::AusErrno(fehler);
        }
        ganz = AusgangMagie.size();
    }
    segmente_[nummer].Groesse = ganz;
    groesse_ += ganz;
    if (neuestes) {
        schreiben_ = std::move(datei);
        schreibNummer_ = nummer;
        ersteStelle_ = AusgangMagie.size();
    }
}

// Takes the whole records at the start of `daten` (the first at `stelle` in the segment);
// returns their bytes. Stops before a record not yet all there, and at a damaged one
// (`kaputt`).
std::size_t TAusgang::SaetzeUebernehmen(std::uint64_t segment, std::string_view daten,
                                        std::uint64_t stelle, bool& kaputt) {
    std::size_t genommen = 0;
    for (;;) {
        const std::string_view rest = daten.substr(genommen);
        const std::optional<std::size_t> laenge = AusgangsSatzLaenge(rest);
        if (!laenge) {
            break;
        }
        if (*laenge > GroessterSatz) {
            kaputt = true;
            break;
        }
        if (rest.size() < *laenge) {
            break;
        }
        const std::optional<TAusgangsSatz> satz = AusgangsSatzLesen(rest.substr(0, *laenge));
        if (!satz) {
            kaputt = true;
            break;
        }
        SatzUebernehmen(*satz, segment, stelle + genommen, static_cast<std::uint32_t>(*laenge));
        genommen += *laenge;
    }
    return genommen;
}

void TAusgang::Beschaedigt(const std::filesystem::path& pfad, int fd, std::uint64_t ab) {
    const std::filesystem::path beiseite = RestBeiseiteLegen(aufrufe_, pfad, fd, ab);
    schaden_ += (schaden_.empty() ? "" : " ") + std::string("Der Ausgang ") + pfad_.string() +
                " war beschädigt: der Rest von " + pfad.filename().string() + " ab Byte " +
                std::to_string(ab) + " liegt jetzt in " + beiseite.filename().string() +
                "; diese Nachrichten gehen nicht an den Server.";
}
