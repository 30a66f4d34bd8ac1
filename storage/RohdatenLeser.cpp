// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/RohdatenLeser.h"

#include "storage/EInOutError.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::size_t Puffergroesse = 64 * 1024;
// A longer header is no header of ours: the reader gives up instead of reading the whole file.
constexpr std::size_t HoechsteKopfgroesse = 1024 * 1024;

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
           art <= static_cast<unsigned char>(TRohArt::SpeichernAus);
}

void KopfwertSetzen(TRohKopf& kopf, std::string schluessel, std::string wert) {
    if (schluessel == RohSchluesselProgramm) {
        kopf.ProgrammVersion = std::move(wert);
    } else if (schluessel == RohSchluesselAnschluss) {
        kopf.Anschluss = std::move(wert);
    } else {
        kopf.Werte.emplace_back(std::move(schluessel), std::move(wert));
    }
}

} // namespace

TRohLeser::TRohLeser(const std::string& pfad)
    : datei_(Oeffnen(pfad))
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
            return gelesen + DirektLesen(datei_.Fd(), ziel + gelesen, anzahl - gelesen);
        }
        if (lesestelle_ == belegt_ && !Auffuellen()) {
            break;
        }
        const std::size_t stueck = std::min(anzahl - gelesen, belegt_ - lesestelle_);
        std::memcpy(ziel + gelesen, puffer_.data() + lesestelle_, stueck);
        lesestelle_ += stueck;
        gelesen += stueck;
    }
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

void TRohLeser::VersionLesen(const std::string& pfad) {
    std::string zeile;
    const bool ganz = ZeileLesen(zeile);
    if (!zeile.starts_with(RohMagie)) {
        throw ERohdatenFehler(pfad + " ist keine Rohdatenaufzeichnung von Quorlits");
    }
    const std::string_view version = std::string_view(zeile).substr(RohMagie.size());
    const char* ende = version.data() + version.size();
    int zahl = 0;
    const auto [rest, fehler] = std::from_chars(version.data(), ende, zahl);
    if (!ganz || fehler != std::errc() || rest != ende || zahl < 1) {
        throw ERohdatenFehler("Ungültige Formatversion der Rohdaten in " + pfad);
    }
    if (zahl > RohFormatVersion) {
        throw ERohdatenFehler(pfad + " hat die Rohdaten-Formatversion " + std::to_string(zahl) +
                              "; dieses Programm liest nur Version " +
                              std::to_string(RohFormatVersion) +
                              ". Bitte ein neueres Quorlits "
                              "verwenden.");
    }
    kopf_.FormatVersion = zahl;
}

void TRohLeser::KopfLesen(const std::string& pfad) {
    VersionLesen(pfad);
    std::string zeile;
    for (;;) {
        if (!ZeileLesen(zeile)) {
            throw ERohdatenFehler("Der Kopf der Rohdaten in " + pfad + " ist unvollständig");
        }
        if (zeile.empty()) {
            return;
        }
        const std::size_t gleich = zeile.find('=');
        if (gleich == std::string::npos || gleich == 0) {
            throw ERohdatenFehler("Ungültige Kopfzeile der Rohdaten in " + pfad + ": " +
                                  RohMaskieren(zeile));
        }
        KopfwertSetzen(kopf_, zeile.substr(0, gleich),
                       RohDemaskieren(std::string_view(zeile).substr(gleich + 1)));
    }
}

bool TRohLeser::Abbrechen() {
    ende_ = true;
    abgeschnitten_ = true;
    return false;
}

// Reads the next record whole and checked into satz_; false at the end or a bad record.
bool TRohLeser::SatzLesen() {
    satz_.resize(RohSatzAnfang);
    const std::size_t anfang = Lesen(satz_.data(), RohSatzAnfang);
    if (anfang == 0) {
        ende_ = true;
        return false;
    }
    if (anfang < RohSatzAnfang) {
        return Abbrechen();
    }
    const std::uint64_t laenge = RohZahlLesen(std::string_view(satz_).substr(RohStelleLaenge), 4);
    if (laenge > RohHoechsteLaenge) {
        return Abbrechen();
    }
    const std::size_t rest = static_cast<std::size_t>(laenge) + RohSatzPruefsumme;
    satz_.resize(RohSatzAnfang + rest);
    if (Lesen(satz_.data() + RohSatzAnfang, rest) < rest) {
        return Abbrechen();
    }
    const std::string_view inhalt =
        std::string_view(satz_).substr(0, satz_.size() - RohSatzPruefsumme);
    const std::uint64_t pruefsumme = RohZahlLesen(std::string_view(satz_).substr(inhalt.size()), 4);
    return Crc32(inhalt) == pruefsumme || Abbrechen();
}

bool TRohLeser::Naechster(TRohEintrag& eintrag) {
    while (!ende_ && SatzLesen()) {
        const auto art = static_cast<unsigned char>(satz_[0]);
        if (!IstBekannt(art)) {
            continue; // a kind added later: its length lets it be stepped over
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

bool IstRohdatenDatei(const std::string& pfad) {
    TDateideskriptor datei(Oeffnen(pfad));
    std::string anfang(RohMagie.size(), '\0');
    const std::size_t gelesen = DirektLesen(datei.Fd(), anfang.data(), anfang.size());
    datei.Schliessen();
    return gelesen == anfang.size() && anfang == RohMagie;
}
