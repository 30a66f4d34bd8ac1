// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/Schreibdatei.h"

#include "storage/Dateideskriptor.h"
#include "storage/EInOutError.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace {

// A sync of a file that cannot be synced (/dev/null, a read-only mount) is no failure.
bool SyncGescheitert(int ergebnis) {
    return ergebnis != 0 && errno != EINVAL && errno != EROFS;
}

} // namespace

std::string ZeilenAbschluss(std::string_view ende) {
    if (ende.empty() || ende.back() == '\n') {
        return {};
    }
    return ende.back() == '\r' ? "\n" : "\r\n";
}

TSchreibdatei::~TSchreibdatei() {
    LeiseSchliessen();
}

int TSchreibdatei::LeiseSchliessen() noexcept {
    if (datei_.Fd < 0) {
        return 0;
    }
    TDateiAufrufe& aufrufe = *umgebung_.Aufrufe;
    int fehler = SyncGescheitert(aufrufe.Fsync(datei_.Fd)) ? errno : 0;
    // Linux releases the descriptor even when close reports EINTR; never close twice.
    if (aufrufe.Close(datei_.Fd) != 0 && errno != EINTR && fehler == 0) {
        fehler = errno;
    }
    datei_.Fd = -1;
    return fehler;
}

void TSchreibdatei::Zuruecksetzen() {
    rueckstau_.AllesVerwerfen();
    rueckstau_.VerlusteVergessen();
    abschluss_.clear();
    ungesichert_ = false;
    stoerung_ = false;
    spaet_ = 0;
    verloren_ = 0;
    ersetztGemeldet_ = false;
    naechstePruefung_ = std::numeric_limits<std::int64_t>::min();
}

int TSchreibdatei::Oeffnen(const std::string& pfad, TAnlegen art) {
    LeiseSchliessen();
    Zuruecksetzen();
    pfad_ = pfad;
    datei_ = SchreibdateiOeffnen(*umgebung_.Aufrufe, pfad, art);
    if (datei_.OrdnerFehler != 0) {
        meldungen_.push_back(SyncMeldung(worte_, pfad_, datei_.OrdnerFehler));
    }
    return datei_.Fehler;
}

std::string TSchreibdatei::Lesen(off_t stelle, std::size_t anzahl) const {
    if (datei_.Fd < 0 || !datei_.Lesbar) {
        return {};
    }
    if (stelle < 0) {
        const off_t ende = umgebung_.Aufrufe->Lseek(datei_.Fd, 0, SEEK_END);
        stelle = std::max<off_t>(0, ende + stelle);
        anzahl = static_cast<std::size_t>(std::min<off_t>(static_cast<off_t>(anzahl), ende));
    }
    std::string text(anzahl, '\0');
    const ssize_t gelesen = umgebung_.Aufrufe->Pread(datei_.Fd, text.data(), anzahl, stelle);
    text.resize(gelesen > 0 ? static_cast<std::size_t>(gelesen) : 0);
    return text;
}

int TSchreibdatei::Versuchen(std::string_view einheit) {
    std::string mitAbschluss;
    if (!abschluss_.empty()) {
        mitAbschluss = abschluss_ + std::string(einheit);
        einheit = mitAbschluss;
    }
    std::size_t geschrieben = 0;
    const int fehler = AllesSchreibenMit(*umgebung_.Aufrufe, datei_.Fd, einheit, geschrieben);
    if (geschrieben > 0 && !ungesichert_) {
        ungesichert_ = true;
        ungesichertSeit_ = Jetzt();
    }
    if (fehler == 0) {
        abschluss_.clear();
        Melden(einheit);
    } else if (geschrieben > 0) {
        Zurueckschneiden(einheit.substr(0, geschrieben));
    }
    return fehler;
}

void TSchreibdatei::Zurueckschneiden(std::string_view teil) {
    TDateiAufrufe& aufrufe = *umgebung_.Aufrufe;
    // Written with O_APPEND, the piece lies at the end of the file.
    const off_t ende = aufrufe.Lseek(datei_.Fd, 0, SEEK_END);
    const off_t laenge = ende - static_cast<off_t>(teil.size());
    if (ende < 0 || laenge < 0 || aufrufe.Ftruncate(datei_.Fd, laenge) != 0) {
        // The piece stays: a line is ended before the next unit; a capture's reader steps over
        // a broken record.
        abschluss_ = zeilen_ ? ZeilenAbschluss(teil) : std::string();
        Melden(teil);
    }
}

std::size_t TSchreibdatei::Schreiben(std::string_view einheit) {
    if (datei_.Fd < 0) {
        throw EInOutError::AusErrno(EBADF);
    }
    std::size_t geschrieben = Nachtragen();
    if (!rueckstau_.Leer()) {
        rueckstau_.Anhaengen(einheit);
        return geschrieben;
    }
    const int fehler = Versuchen(einheit);
    if (fehler == 0) {
        return geschrieben + 1;
    }
    if (!aufbewahren_) {
        throw EInOutError::AusErrno(fehler);
    }
    Aufnehmen(einheit, fehler);
    return geschrieben;
}

void TSchreibdatei::Aufnehmen(std::string_view einheit, int fehler) {
    letzterVersuch_ = Jetzt();
    rueckstau_.Anhaengen(einheit);
    if (!stoerung_) {
        stoerung_ = true;
        stoerungsFehler_ = fehler;
        meldungen_.push_back(StoerungsMeldung(worte_, pfad_, UhrLesen(umgebung_.Uhr), fehler));
    }
}

bool TSchreibdatei::LueckeSchreiben() {
    if (!luecke_ || rueckstau_.Verloren() == 0) {
        return true;
    }
    if (Versuchen(
            luecke_(rueckstau_.Verloren(), rueckstau_.VerloreneBytes(), rueckstau_.Erste())) != 0) {
        return false;
    }
    verloren_ += rueckstau_.Verloren();
    rueckstau_.VerlusteVergessen();
    return true;
}

std::size_t TSchreibdatei::Nachtragen() {
    std::size_t geschrieben = 0;
    while (!rueckstau_.Leer()) {
        if (!LueckeSchreiben() || Versuchen(rueckstau_.Erste()) != 0) {
            letzterVersuch_ = Jetzt();
            return geschrieben;
        }
        rueckstau_.ErsteEntfernen();
        ++geschrieben;
        ++spaet_;
    }
    if (stoerung_) {
        meldungen_.push_back(
            BehobenMeldung(worte_, pfad_, spaet_, verloren_ + rueckstau_.Verloren()));
        rueckstau_.VerlusteVergessen();
        stoerung_ = false;
        spaet_ = 0;
        verloren_ = 0;
    }
    return geschrieben;
}

TSchreibdatei::TPruefung TSchreibdatei::PfadPruefen() {
    if (!pfadpruefung_ || datei_.Fd < 0 || !S_ISREG(datei_.Typ)) {
        return TPruefung::Unveraendert;
    }
    const std::int64_t jetzt = Jetzt();
    if (jetzt < naechstePruefung_) {
        return TPruefung::Unveraendert;
    }
    naechstePruefung_ = jetzt + TaktNs;
    struct stat info {};
    if (umgebung_.Aufrufe->Stat(pfad_.c_str(), info) == 0 && DieselbeDatei(datei_, info)) {
        ersetztGemeldet_ = false;
        return TPruefung::Unveraendert;
    }
    const TGeoeffneteDatei neu =
        SchreibdateiOeffnen(*umgebung_.Aufrufe, pfad_, TAnlegen::Anhaengen);
    if (neu.Fd < 0) {
        if (!ersetztGemeldet_) {
            meldungen_.push_back(ErsetztMeldung(worte_, pfad_, false, neu.Fehler));
            ersetztGemeldet_ = true;
        }
        return TPruefung::Unveraendert;
    }
    meldungen_.push_back(ErsetztMeldung(worte_, pfad_, neu.Angelegt, 0));
    ersetztGemeldet_ = false;
    LeiseSchliessen(); // the old file keeps what reached it
    datei_ = neu;
    abschluss_.clear();
    if (datei_.OrdnerFehler != 0) {
        meldungen_.push_back(SyncMeldung(worte_, pfad_, datei_.OrdnerFehler));
    }
    return TPruefung::NeuGeoeffnet;
}

std::optional<std::int64_t> TSchreibdatei::Faellig() const {
    std::optional<std::int64_t> zeitpunkt;
    if (ungesichert_) {
        zeitpunkt = std::max(ungesichertSeit_, letzterSync_ + TaktNs);
    }
    if (!rueckstau_.Leer()) {
        zeitpunkt = std::min(zeitpunkt.value_or(std::numeric_limits<std::int64_t>::max()),
                             letzterVersuch_ + TaktNs);
    }
    return zeitpunkt;
}

std::int64_t TSchreibdatei::SyncInMs() const {
    const std::optional<std::int64_t> zeitpunkt = Faellig();
    if (!zeitpunkt || datei_.Fd < 0) {
        return -1;
    }
    constexpr std::int64_t NsJeMs = 1'000'000;
    return std::max<std::int64_t>(0, (*zeitpunkt - Jetzt() + NsJeMs - 1) / NsJeMs);
}

std::size_t TSchreibdatei::Synchronisieren() {
    if (datei_.Fd < 0) {
        return 0;
    }
    const std::int64_t jetzt = Jetzt();
    std::size_t geschrieben = 0;
    if (!rueckstau_.Leer() && jetzt >= letzterVersuch_ + TaktNs) {
        geschrieben = Nachtragen();
    }
    if (ungesichert_ && jetzt >= std::max(ungesichertSeit_, letzterSync_ + TaktNs)) {
        Syncen(jetzt);
    }
    return geschrieben;
}

void TSchreibdatei::Syncen(std::int64_t jetzt) {
    ungesichert_ = false;
    letzterSync_ = jetzt;
    if (!SyncGescheitert(umgebung_.Aufrufe->Fdatasync(datei_.Fd))) {
        syncGemeldet_ = false;
        return;
    }
    if (!syncGemeldet_) {
        meldungen_.push_back(SyncMeldung(worte_, pfad_, errno));
        syncGemeldet_ = true;
    }
}

void TSchreibdatei::Sichern() {
    if (datei_.Fd < 0 || !ungesichert_) {
        return;
    }
    if (SyncGescheitert(umgebung_.Aufrufe->Fdatasync(datei_.Fd))) {
        throw EInOutError::AusErrno(errno);
    }
    ungesichert_ = false;
    letzterSync_ = Jetzt();
}

void TSchreibdatei::Schliessen() {
    if (datei_.Fd < 0) {
        return;
    }
    Nachtragen();
    const std::uint64_t verloren = rueckstau_.Anzahl();
    const int stoerungsFehler = stoerungsFehler_;
    Zuruecksetzen();
    const int fehler = LeiseSchliessen();
    if (verloren > 0) {
        throw EInOutError::MitText(stoerungsFehler,
                                   VerlustText(worte_, pfad_, verloren, stoerungsFehler));
    }
    if (fehler != 0) {
        throw EInOutError::AusErrno(fehler);
    }
}
