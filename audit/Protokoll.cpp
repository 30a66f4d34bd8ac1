// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "audit/Protokoll.h"

#include "audit/Protokollzeile.h"
#include "audit/VorhandeneDatei.h"
#include "storage/Angaben.h"
#include "storage/Dateideskriptor.h"
#include "storage/EInOutError.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

std::string HostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) {
        return "?";
    }
    return name;
}

// The chain of a trail's last line, when that line is whole and covers `datenzeilen` lines.
std::optional<TKette> LetzteKette(std::string_view protokoll, std::uint64_t datenzeilen) {
    const std::vector<std::string_view> zeilen = ZeilenTeilen(protokoll);
    if (zeilen.empty() || zeilen.back().back() != '\n') {
        return std::nullopt;
    }
    std::string_view letzte = zeilen.back();
    letzte.remove_suffix(1);
    const auto gelesen = ProtokollZeileLesen(letzte);
    const auto wert = gelesen ? TKette::AusHex(gelesen->Kette) : std::nullopt;
    if (!wert || gelesen->Datenzeilen != datenzeilen) {
        return std::nullopt;
    }
    return TKette(*wert);
}

} // namespace

TProtokollWer ProtokollWerDesSystems() {
    return {AnmeldeName(), HostName()};
}

std::string ProtokollPfad(const std::string& datendatei) {
    return datendatei + ".protokoll";
}

TProtokoll::TProtokoll(std::function<std::string()> datendatei, TUhr uhr, TProtokollWer wer)
    : datendatei_(std::move(datendatei))
    , uhr_(std::move(uhr))
    , wer_(std::move(wer)) {}

TProtokoll::~TProtokoll() {
    Schliessen();
}

void TProtokoll::Schliessen() noexcept {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    gebunden_.clear();
}

void TProtokoll::Eintragen(std::string_view ereignis, std::string_view details) {
    // Every event waits in line first: one that cannot be written now (no data file yet, a full
    // disk) is written, in its order and with its time, by the next event that gets through.
    vorgemerkt_.push_back({UhrLesen(uhr_), std::string(ereignis), std::string(details)});
    if (vorgemerkt_.size() > Vorgemerkt) {
        vorgemerkt_.pop_front();
        ++nichtVorgemerkt_;
    }
    if (datendatei_().empty()) {
        return;
    }
    Binden();
    VorgemerkteSchreiben();
}

void TProtokoll::DatenGeschrieben(std::string_view text) {
    if (datendatei_().empty()) {
        return; // a file that keeps nothing (/dev/null) has no trail
    }
    Binden(text);
    ZeilenAnhaengen(text);
}

void TProtokoll::ZeilenAnhaengen(std::string_view text) {
    for (const std::string_view zeile : ZeilenTeilen(text)) {
        if (!zeile.ends_with('\n')) {
            offen_ += zeile; // only the last piece can lack its line end
            return;
        }
        if (offen_.empty()) {
            kette_.Anhaengen(zeile);
        } else {
            offen_ += zeile;
            kette_.Anhaengen(offen_);
            offen_.clear();
        }
        ++datenzeilen_;
    }
}

void TProtokoll::Binden(std::string_view neu) {
    const std::string datendatei = datendatei_();
    if (fd_ >= 0 && datendatei == gebunden_) {
        return;
    }
    if (datendatei.empty()) {
        throw EInOutError::MitText(ENOENT, "Das Prüfprotokoll hat noch keine Datendatei.");
    }
    Schliessen();
    pfad_ = ProtokollPfad(datendatei);
    const int fd =
        ::open(pfad_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOCTTY, 0644);
    if (fd < 0) {
        throw EInOutError::AusErrno(errno);
    }
    fd_ = fd;
    gebunden_ = datendatei;
    try {
        KetteFortsetzen(datendatei, neu);
        VorgemerkteSchreiben();
    } catch (...) {
        Schliessen();
        throw;
    }
}

void TProtokoll::VorgemerkteSchreiben() {
    if (nichtVorgemerkt_ > 0) {
        Schreiben("Ereignisse verworfen",
                  std::to_string(nichtVorgemerkt_) +
                      " frühere Ereignisse, die nicht geschrieben werden konnten, sind nicht "
                      "aufbewahrt",
                  vorgemerkt_.front().Zeit);
        nichtVorgemerkt_ = 0;
    }
    while (!vorgemerkt_.empty()) {
        const TVormerkung& v = vorgemerkt_.front();
        Schreiben(v.Ereignis, v.Details, v.Zeit);
        vorgemerkt_.pop_front();
    }
}

void TProtokoll::KetteFortsetzen(const std::string& datendatei, std::string_view neu) {
    const std::string inhalt = VorhandeneDateiLesen(datendatei).value_or(std::string());
    std::string_view daten = inhalt;
    if (daten.ends_with(neu)) {
        daten.remove_suffix(neu.size());
    }
    std::vector<std::string_view> zeilen = ZeilenTeilen(daten);
    offen_.clear();
    if (!zeilen.empty() && !zeilen.back().ends_with('\n')) {
        // A line cut off (by a crash) is hashed once its end is written.
        offen_ = zeilen.back();
        zeilen.pop_back();
    }
    const std::string protokoll = VorhandeneDateiLesen(pfad_).value_or(std::string());
    if (const auto kette = LetzteKette(protokoll, zeilen.size())) {
        kette_ = *kette;
        datenzeilen_ = zeilen.size();
        return;
    }
    if (!protokoll.empty() && protokoll.back() != '\n') {
        // A line cut off by a crash stays as it is; the new chain starts on a line of its own.
        AllesSchreiben(fd_, "\n");
    }
    kette_ = TKette();
    datenzeilen_ = 0;
    for (const std::string_view zeile : zeilen) {
        kette_.Anhaengen(zeile);
        ++datenzeilen_;
    }
    std::string details = std::to_string(zeilen.size()) + " Zeilen der Datendatei übernommen";
    if (!protokoll.empty()) {
        details += "; das Protokoll passte nicht mehr zur Datendatei";
    }
    Schreiben(KetteBegonnen, details, UhrLesen(uhr_));
}

void TProtokoll::Schreiben(std::string_view ereignis, std::string_view details,
                           const TUhrzeit& zeit) {
    const TProtokollZeile zeile{
        ProtokollZeit(zeit),  wer_.Login,   wer_.Host, std::string(ereignis),
        std::string(details), datenzeilen_, {}};
    const std::string anfang = ZeilenAnfang(zeile);
    TKette neu = kette_;
    neu.Anhaengen(anfang);
    const std::string text = anfang + neu.Hex() + '\n';
    std::size_t geschrieben = 0;
    try {
        AllesSchreiben(fd_, text, &geschrieben);
    } catch (...) {
        // Only whole lines stay: a part that went out is cut off again.
        if (geschrieben > 0) {
            const off_t ende = ::lseek(fd_, 0, SEEK_END);
            if (ende >= static_cast<off_t>(geschrieben)) {
                (void)::ftruncate(fd_, ende - static_cast<off_t>(geschrieben));
            }
        }
        throw;
    }
    if (::fdatasync(fd_) != 0 && errno != EINVAL && errno != EROFS) {
        throw EInOutError::AusErrno(errno);
    }
    kette_ = neu;
}

void TProtokoll::ProgrammStart(std::string_view version) {
    Eintragen("Programmstart", "Quorlits " + std::string(version));
}

void TProtokoll::ProgrammEnde() {
    Eintragen("Programmende", "");
}

void TProtokoll::EinstellungGeaendert(std::string_view dialog, std::string_view name,
                                      std::string_view alt, std::string_view neu) {
    Eintragen("Einstellung", std::string(dialog) + ": " + std::string(name) + ": " +
                                 std::string(alt) + " → " + std::string(neu));
}

void TProtokoll::AngabeGeaendert(std::string_view feld, std::string_view alt, std::string_view neu,
                                 std::string_view grund) {
    std::string details = std::string(alt) + " → " + std::string(neu);
    if (!grund.empty()) {
        details += " (Grund: " + std::string(grund) + ")";
    }
    Eintragen(feld, details);
}
