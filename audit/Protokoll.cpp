// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "audit/Protokoll.h"

#include "audit/Kettenlauf.h"
#include "audit/Protokollzeile.h"
#include "audit/Pruefen.h"
#include "audit/VorhandeneDatei.h"
#include "storage/Angaben.h"
#include "storage/DateiOeffnen.h"
#include "storage/Dateideskriptor.h"
#include "storage/EInOutError.h"

#include <cerrno>
#include <cstdio>
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

// Keeps the trail of a data file that was overwritten on purpose beside it under the first free
// name DATEI.protokoll.1, .2, …; returns that name.
std::string Beiseitelegen(const std::string& pfad) {
    for (int nummer = 1; nummer < 10000; ++nummer) {
        const std::string neu = pfad + "." + std::to_string(nummer);
        if (::renameat2(AT_FDCWD, pfad.c_str(), AT_FDCWD, neu.c_str(), RENAME_NOREPLACE) == 0) {
            return neu;
        }
        if (errno != EEXIST) {
            throw EInOutError::AusErrno(errno);
        }
    }
    throw EInOutError::MitText(EEXIST, "Für das bisherige Prüfprotokoll " + pfad +
                                           " ist kein freier Name mehr da.");
}

// "Kette bis <value>": the value a trail's chain ended with ("0" for a trail without one).
std::string KetteBis(const std::optional<TKette>& kette) {
    return "Kette bis " + (kette ? kette->Hex() : std::string("0"));
}

// The whole lines of `daten`, and the piece of a line at its end.
std::pair<std::string_view, std::string_view> GanzeZeilen(std::string_view daten) {
    const std::size_t ende = daten.rfind('\n');
    const std::size_t laenge = ende == std::string_view::npos ? 0 : ende + 1;
    return {daten.substr(0, laenge), daten.substr(laenge)};
}

} // namespace

TProtokollWer ProtokollWerDesSystems() {
    return {AnmeldeName(), HostName()};
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
        ungesichert_ = true;
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
    std::string protokoll = VorhandeneDateiLesen(pfad_).value_or(std::string());
    if (std::exchange(ueberschrieben_, false) && !protokoll.empty()) {
        // The new trail names the old one and the value its chain ended with.
        const std::string letzte = KetteBis(KetteAblaufen({}, protokoll).LetzteKette);
        beiseite_ = Beiseitelegen(pfad_) + "; " + letzte;
        protokoll.clear();
    }
    Oeffnen();
    gebunden_ = datendatei;
    try {
        KetteFortsetzen(datendatei, neu, protokoll);
        VorgemerkteSchreiben();
    } catch (...) {
        Schliessen();
        throw;
    }
}

void TProtokoll::Oeffnen() {
    // A trail made here has its folder synced, so its name survives a power cut.
    const TGeoeffneteDatei datei = SchreibdateiOeffnen(*aufrufe_, pfad_, TAnlegen::Anhaengen);
    if (datei.Fd < 0) {
        throw EInOutError::AusErrno(datei.Fehler);
    }
    fd_ = datei.Fd;
    if (datei.OrdnerFehler != 0) {
        Schliessen();
        throw EInOutError::AusErrno(datei.OrdnerFehler);
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

void TProtokoll::KetteFortsetzen(const std::string& datendatei, std::string_view neu,
                                 const std::string& protokoll) {
    const std::string inhalt = VorhandeneDateiLesen(datendatei).value_or(std::string());
    std::string_view daten = inhalt;
    if (daten.ends_with(neu)) {
        daten.remove_suffix(neu.size());
    }
    // A line cut off (by a crash) is hashed once its end is written.
    const auto [ganz, stueck] = GanzeZeilen(daten);
    offen_ = stueck;
    const TKettenlauf lauf = KetteAblaufen(ganz, protokoll);
    const std::vector<std::string_view> zeilen = ZeilenTeilen(ganz);
    const TPruefung& pruefung = lauf.Pruefung;
    if (pruefung.Befund == TPruefBefund::ProtokollFehlt) {
        kette_ = TKette();
        const std::string ueberschrieben =
            beiseite_.empty()
                ? std::string()
                : "; die Datei wurde überschrieben, das bisherige Protokoll ist " + beiseite_;
        Beginnen(zeilen, KetteBegonnen,
                 std::to_string(zeilen.size()) + " Zeilen der Datendatei übernommen" +
                     ueberschrieben);
        beiseite_.clear();
    } else if (pruefung.Befund == TPruefBefund::Unveraendert ||
               (pruefung.Befund == TPruefBefund::Hinzugefuegt && pruefung.ProtokollZeile == 0)) {
        Weiterfuehren(lauf, zeilen);
    } else {
        if (!protokoll.empty() && protokoll.back() != '\n') {
            ZeileSchreiben("\n"); // a line cut off by a crash stays; the new part has its own
        }
        kette_ = lauf.LetzteKette.value_or(TKette());
        Beginnen(zeilen,
                 std::string(KetteUnterbrochen) + " ab Zeile " + std::to_string(pruefung.AbZeile),
                 "die Datendatei passt nicht mehr zum Protokoll (" + PruefText(pruefung) + "); " +
                     KetteBis(lauf.LetzteKette) + "; " + std::to_string(zeilen.size()) +
                     " Zeilen der Datendatei übernommen");
    }
}

void TProtokoll::Weiterfuehren(const TKettenlauf& lauf,
                               const std::vector<std::string_view>& zeilen) {
    kette_ = *lauf.LetzteKette;
    datenzeilen_ = lauf.Gedeckt;
    for (std::size_t z = lauf.Gedeckt; z < zeilen.size(); ++z) {
        kette_.Anhaengen(zeilen[z]);
        ++datenzeilen_;
        ungesichert_ = true;
    }
    if (pfad_ == fortgesetzt_ && datenzeilen_ == lauf.Gedeckt) {
        return; // the trail this run writes, opened again: nothing to tell
    }
    std::string details = "die Datendatei passt zum Protokoll; " + KetteBis(lauf.LetzteKette);
    if (datenzeilen_ > lauf.Gedeckt) {
        details += "; " + ZeilenBereich(lauf.Gedeckt + 1, datenzeilen_) +
                   " ohne Protokolleintrag übernommen";
    }
    Schreiben(KetteFortgesetzt, details, UhrLesen(uhr_));
}

void TProtokoll::Beginnen(const std::vector<std::string_view>& zeilen, std::string_view ereignis,
                          const std::string& details) {
    datenzeilen_ = 0;
    for (const std::string_view zeile : zeilen) {
        kette_.Anhaengen(zeile);
        ++datenzeilen_;
    }
    ungesichert_ = datenzeilen_ > 0;
    Schreiben(ereignis, details, UhrLesen(uhr_));
}

void TProtokoll::Schreiben(std::string_view ereignis, std::string_view details,
                           const TUhrzeit& zeit) {
    if (ungesichert_ && sichern_) {
        sichern_(); // the data lines this line covers go onto the disk first
    }
    ungesichert_ = false;
    const TProtokollZeile zeile{
        ProtokollZeit(zeit),  wer_.Login,   wer_.Host, std::string(ereignis),
        std::string(details), datenzeilen_, {}};
    const std::string anfang = ZeilenAnfang(zeile);
    TKette neu = kette_;
    neu.Anhaengen(anfang);
    ZeileSchreiben(anfang + neu.Hex() + '\n');
    kette_ = neu;
    fortgesetzt_ = pfad_;
}

void TProtokoll::ZeileSchreiben(const std::string& text) {
    TDateiAufrufe& aufrufe = *aufrufe_;
    const off_t vorher = aufrufe.Lseek(fd_, 0, SEEK_END);
    if (vorher < 0) {
        throw EInOutError::AusErrno(errno);
    }
    std::size_t geschrieben = 0;
    int fehler = AllesSchreibenMit(aufrufe, fd_, text, geschrieben);
    if (fehler == 0 && aufrufe.Fdatasync(fd_) != 0 && errno != EINVAL && errno != EROFS) {
        fehler = errno;
    }
    if (fehler == 0) {
        return;
    }
    // Only whole, synced lines stay: the line is cut off again and stays out of the chain, so
    // the event, still waiting, goes in with the next line. When even that fails, the next line
    // reads the trail anew instead of trusting the chain in memory.
    if (aufrufe.Ftruncate(fd_, vorher) != 0) {
        Schliessen();
    }
    throw EInOutError::AusErrno(fehler);
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
