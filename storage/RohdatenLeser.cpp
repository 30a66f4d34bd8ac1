// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/RohdatenLeser.h"

#include "storage/DateiMeldung.h"
#include "storage/EInOutError.h"
#include "storage/RohdatenKopf.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t Puffergroesse = 64 * 1024;
// A longer header is no header of ours: the reader gives up instead of reading the whole file.
constexpr std::size_t HoechsteKopfgroesse = 1024 * 1024;
// The search for the next whole record after a damaged one looks at this many places at once.
constexpr std::size_t Suchfenster = 64 * 1024;
// No UTC offset in use lies further from UTC than a day and two hours.
constexpr std::int64_t HoechsterVersatz = 26 * 3600;
// The search takes no longer record: none is (a port's chunk is a few KiB, a header at most
// 1 MiB), and a damaged length field must not make it read megabytes at every byte.
constexpr std::uint64_t HoechsteGesuchteLaenge = 2 * 1024 * 1024;

int Oeffnen(const std::string& pfad) {
    const int fd = ::open(pfad.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw EInOutError::AusErrno(errno);
    }
    return fd;
}

// Reads into `ziel` until it is full or the file ends; returns the bytes read.
std::size_t DirektLesen(int fd, char* ziel, std::size_t anzahl) {
    std::size_t gelesen = 0;
    while (gelesen < anzahl) {
        const ssize_t ergebnis = ::read(fd, ziel + gelesen, anzahl - gelesen);
        if (ergebnis < 0 && errno == EINTR) {
            continue;
        }
        if (ergebnis < 0) {
            throw EInOutError::AusErrno(errno);
        }
        if (ergebnis == 0) {
            break;
        }
        gelesen += static_cast<std::size_t>(ergebnis);
    }
    return gelesen;
}

bool IstBekannt(unsigned char art) {
    return art >= static_cast<unsigned char>(TRohArt::Empfangen) &&
           art <= static_cast<unsigned char>(TRohArt::Angabe);
}

std::uint64_t Laenge(std::string_view satz) {
    return RohZahlLesen(satz.substr(RohStelleLaenge), 4);
}

bool PruefsummeStimmt(std::string_view satz) {
    const std::string_view inhalt = satz.substr(0, satz.size() - RohSatzPruefsumme);
    return Crc32(inhalt) == RohZahlLesen(satz.substr(inhalt.size()), 4);
}

// Whether the bytes at `kopf` can begin a record: a known kind, a length a record can have, a
// UTC offset a clock can have. Checked before the checksum, so the search after a damaged
// record reads few records that are none.
bool KannSatzSein(std::string_view kopf) {
    const auto versatz = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(RohZahlLesen(kopf.substr(RohStelleVersatz), 4)));
    return IstBekannt(static_cast<unsigned char>(kopf[0])) && Laenge(kopf) <= RohHoechsteLaenge &&
           versatz >= -HoechsterVersatz && versatz <= HoechsterVersatz;
}

// Whether a whole record that checks begins at `stelle`; `fenster` holds the file from
// `fensterAnfang` on, the file ends at `dateiende`.
bool SatzBeginntBei(int fd, std::string_view fenster, std::int64_t fensterAnfang,
                    std::int64_t stelle, std::int64_t dateiende) {
    const auto i = static_cast<std::size_t>(stelle - fensterAnfang);
    const std::string_view kopf = fenster.substr(i, RohSatzAnfang);
    if (!KannSatzSein(kopf) || Laenge(kopf) > HoechsteGesuchteLaenge) {
        return false;
    }
    const std::size_t gesamt =
        RohSatzAnfang + static_cast<std::size_t>(Laenge(kopf)) + RohSatzPruefsumme;
    if (stelle + static_cast<std::int64_t>(gesamt) > dateiende) {
        return false;
    }
    if (i + gesamt <= fenster.size()) {
        return PruefsummeStimmt(fenster.substr(i, gesamt));
    }
    const std::string satz = PositionLesen(fd, stelle, gesamt);
    return satz.size() == gesamt && PruefsummeStimmt(satz);
}

// Where the next whole record that checks begins at or after `von`; -1 when none does.
std::int64_t NaechsterSatz(int fd, std::int64_t von) {
    struct stat info {};
    const std::int64_t dateiende = ::fstat(fd, &info) == 0 ? info.st_size : 0;
    for (std::int64_t anfang = von;; anfang += static_cast<std::int64_t>(Suchfenster)) {
        const std::string fenster = PositionLesen(fd, anfang, Suchfenster + RohSatzAnfang - 1);
        if (fenster.size() < RohSatzAnfang) {
            return -1;
        }
        const std::size_t stellen = std::min(Suchfenster, fenster.size() - RohSatzAnfang + 1);
        for (std::size_t i = 0; i < stellen; ++i) {
            const std::int64_t stelle = anfang + static_cast<std::int64_t>(i);
            if (SatzBeginntBei(fd, fenster, anfang, stelle, dateiende)) {
                return stelle;
            }
        }
    }
}

} // namespace

TRohLeser::TRohLeser(const std::string& pfad)
    : datei_(Oeffnen(pfad))
    , pfad_(pfad)
    , puffer_(Puffergroesse) {
    KopfLesen(pfad);
}

bool TRohLeser::Auffuellen() {
    lesestelle_ = 0;
    belegt_ = DirektLesen(datei_.Fd(), puffer_.data(), puffer_.size());
    return belegt_ > 0;
}

std::size_t TRohLeser::Lesen(char* ziel, std::size_t anzahl) {
    std::size_t gelesen = 0;
    while (gelesen < anzahl) {
        if (lesestelle_ == belegt_ && anzahl - gelesen >= puffer_.size()) {
            // A large payload goes straight to its place.
            gelesen += DirektLesen(datei_.Fd(), ziel + gelesen, anzahl - gelesen);
            break;
        }
        if (lesestelle_ == belegt_ && !Auffuellen()) {
            break;
        }
        const std::size_t stueck = std::min(anzahl - gelesen, belegt_ - lesestelle_);
        std::memcpy(ziel + gelesen, puffer_.data() + lesestelle_, stueck);
        lesestelle_ += stueck;
        gelesen += stueck;
    }
    stelle_ += static_cast<std::int64_t>(gelesen);
    return gelesen;
}

// One header line without its line feed; false when the file ends before the line feed.
bool TRohLeser::ZeileLesen(std::string& zeile) {
    zeile.clear();
    char zeichen = 0;
    while (Lesen(&zeichen, 1) == 1) {
        if (++kopfBytes_ > HoechsteKopfgroesse) {
            throw ERohdatenFehler("Der Kopf der Rohdaten ist zu lang");
        }
        if (zeichen == '\n') {
            return true;
        }
        zeile.push_back(zeichen);
    }
    return false;
}

void TRohLeser::KopfLesen(const std::string& pfad) {
    std::string zeile;
    const bool ganz = ZeileLesen(zeile);
    kopf_.FormatVersion = RohVersionLesen(zeile, pfad);
    if (!ganz) {
        throw ERohdatenFehler("Ungültige Formatversion der Rohdaten in " + pfad);
    }
    for (;;) {
        if (!ZeileLesen(zeile)) {
            throw ERohdatenFehler("Der Kopf der Rohdaten in " + pfad + " ist unvollständig");
        }
        if (zeile.empty()) {
            return;
        }
        RohKopfzeileLesen(kopf_, zeile, pfad);
    }
}

void TRohLeser::SpringenNach(std::int64_t stelle) {
    if (::lseek(datei_.Fd(), static_cast<off_t>(stelle), SEEK_SET) < 0) {
        throw EInOutError::AusErrno(errno);
    }
    lesestelle_ = belegt_ = 0;
    stelle_ = stelle;
}

// The record at `anfang` is cut or damaged: goes on at the next whole one, or ends reading
// when none follows.
bool TRohLeser::Weitersuchen(std::int64_t anfang) {
    ++uebersprungen_;
    const std::int64_t naechster = NaechsterSatz(datei_.Fd(), anfang + 1);
    if (naechster < 0) {
        const off_t ende = ::lseek(datei_.Fd(), 0, SEEK_END);
        uebersprungeneBytes_ += std::max<std::int64_t>(0, ende - anfang);
        abgeschnitten_ = true;
        ende_ = true;
        return false;
    }
    uebersprungeneBytes_ += naechster - anfang;
    SpringenNach(naechster);
    return true;
}

bool TRohLeser::SatzPrueft() const {
    return PruefsummeStimmt(satz_);
}

// Reads the next record whole and checked into satz_, stepping over damaged ones; false at the
// end of the file.
bool TRohLeser::SatzLesen() {
    for (;;) {
        const std::int64_t anfang = stelle_;
        satz_.resize(RohSatzAnfang);
        const std::size_t kopf = Lesen(satz_.data(), RohSatzAnfang);
        if (kopf == 0) {
            ende_ = true;
            return false;
        }
        bool ganz = kopf == RohSatzAnfang && Laenge(satz_) <= RohHoechsteLaenge;
        if (ganz) {
            const std::size_t rest = static_cast<std::size_t>(Laenge(satz_)) + RohSatzPruefsumme;
            satz_.resize(RohSatzAnfang + rest);
            ganz = Lesen(satz_.data() + RohSatzAnfang, rest) == rest && SatzPrueft();
        }
        if (ganz) {
            return true;
        }
        if (!Weitersuchen(anfang)) {
            return false;
        }
    }
}

// Keeps count of runs, ends and gaps; false for a record that is not handed out.
bool TRohLeser::Bewerten(unsigned char art) {
    switch (static_cast<TRohArt>(art)) {
    case TRohArt::Ende:
        endeGelesen_ = true;
        return false;
    case TRohArt::LaufBeginn: {
        const std::string_view satz = satz_;
        TRohKopf kopf;
        try {
            kopf = RohKopfAusText(
                satz.substr(RohSatzAnfang, satz.size() - RohSatzAnfang - RohSatzPruefsumme), pfad_);
        } catch (const ERohdatenFehler&) {
            ++uebersprungen_;
            uebersprungeneBytes_ += static_cast<std::int64_t>(satz.size());
            return false;
        }
        ohneEnde_ += endeGelesen_ ? 0 : 1;
        kopf_ = std::move(kopf);
        break;
    }
    case TRohArt::Luecke:
        ++luecken_;
        break;
    default:
        break;
    }
    endeGelesen_ = false;
    return true;
}

bool TRohLeser::Naechster(TRohEintrag& eintrag) {
    while (!ende_ && SatzLesen()) {
        const auto art = static_cast<unsigned char>(satz_[0]);
        // A kind added later is stepped over by its length.
        if (!IstBekannt(art) || !Bewerten(art)) {
            continue;
        }
        const std::string_view satz = satz_;
        eintrag.Art = static_cast<TRohArt>(art);
        eintrag.MonoNs = static_cast<std::int64_t>(RohZahlLesen(satz.substr(RohStelleMonoNs), 8));
        eintrag.UtcMs = static_cast<std::int64_t>(RohZahlLesen(satz.substr(RohStelleUtcMs), 8));
        eintrag.UtcVersatz = static_cast<std::int32_t>(
            static_cast<std::uint32_t>(RohZahlLesen(satz.substr(RohStelleVersatz), 4)));
        eintrag.Daten.assign(
            satz.substr(RohSatzAnfang, satz.size() - RohSatzAnfang - RohSatzPruefsumme));
        return true;
    }
    return false;
}

std::int64_t TRohLeser::LaeufeOhneEnde() const {
    return ohneEnde_ + (ende_ && !endeGelesen_ ? 1 : 0);
}

bool IstRohdatenDatei(const std::string& pfad) {
    TDateideskriptor datei(Oeffnen(pfad));
    std::string anfang(RohMagie.size(), '\0');
    const std::size_t gelesen = DirektLesen(datei.Fd(), anfang.data(), anfang.size());
    datei.Schliessen();
    return gelesen == anfang.size() && anfang == RohMagie;
}

std::vector<std::string> RohLeseHinweise(const TRohLeser& leser, const std::string& pfad) {
    std::vector<std::string> hinweise;
    const std::string datei = InAnfuehrung(pfad);
    if (const std::int64_t anzahl = leser.UebersprungeneEintraege(); anzahl > 0) {
        const auto bytes = static_cast<std::uint64_t>(leser.UebersprungeneBytes());
        hinweise.push_back("In " + datei + " " + (anzahl == 1 ? "wurde " : "wurden ") +
                           AnzahlText(static_cast<std::uint64_t>(anzahl),
                                      "beschädigter oder abgeschnittener Eintrag",
                                      "beschädigte oder abgeschnittene Einträge") +
                           " (" + AnzahlText(bytes, "Byte", "Bytes") + ") übersprungen" +
                           (leser.Abgeschnitten() ? ", zuletzt am Dateiende." : "."));
    }
    if (const std::int64_t luecken = leser.Luecken(); luecken > 0) {
        hinweise.push_back(datei + " hat " +
                           AnzahlText(static_cast<std::uint64_t>(luecken), "Lücke", "Lücken") +
                           ": dort gingen Einträge verloren, weil die Datei nicht beschreibbar "
                           "war.");
    }
    if (const std::int64_t ohneEnde = leser.LaeufeOhneEnde(); ohneEnde > 0) {
        hinweise.push_back(
            "In " + datei + " " + (ohneEnde == 1 ? "endet " : "enden ") +
            AnzahlText(static_cast<std::uint64_t>(ohneEnde), "Lauf", "Läufe") +
            " ohne Schlusseintrag: das Programm wurde nicht ordentlich beendet, oder eine ältere "
            "Version hat die Aufzeichnung geschrieben.");
    }
    return hinweise;
}
