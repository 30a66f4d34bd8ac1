// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "reception/Messaufzeichnung.h"

#include <fcntl.h>
#include <filesystem>
#include <stdio.h>
#include <utility>

TMessAufzeichnung::TMessAufzeichnung(TRohAufzeichnung::TMonoUhr monoUhr)
    : roh_(std::move(monoUhr)) {}

std::exception_ptr TMessAufzeichnung::MessungBegonnen(bool gewuenscht,
                                                      const TProgrammZustand& zustand,
                                                      const std::string& anschluss,
                                                      const TRohWerte& leitung,
                                                      std::string_view art, const TUhrzeit& jetzt) {
    if (!roh_.Aktiv() && (gewuenscht || !festeDatei_.empty())) {
        if (std::exception_ptr fehler = Beginnen(zustand, anschluss, leitung, jetzt)) {
            return fehler;
        }
    }
    if (std::exception_ptr fehler = Eintragen(TRohArt::MessungBeginn, art, jetzt)) {
        return fehler;
    }
    return Eintragen(TRohArt::Geoeffnet, LeitungText(leitung), jetzt);
}

std::exception_ptr TMessAufzeichnung::Beginnen(const TProgrammZustand& zustand,
                                               const std::string& anschluss,
                                               const TRohWerte& leitung, const TUhrzeit& jetzt) {
    if (!festeDatei_.empty() && festeGescheitert_) {
        return nullptr;
    }
    pfad_ = festeDatei_.empty() ? RohdateiNeben(zustand.Konfiguration.Ausgabedatei) : festeDatei_;
    try {
        roh_.Beginnen(pfad_, RohKopfErstellen(anschluss, leitung, zustand.Konfiguration),
                      festeDatei_.empty() ? TRohOeffnung::Neu : festeArt_);
    } catch (...) {
        festeGescheitert_ = !festeDatei_.empty();
        return std::current_exception();
    }
    const TSpeicherZustand& speicher = zustand.Speicher;
    const bool speichert = speicher.Art != TSpeicherArt::Aus;
    benannt_ = !festeDatei_.empty() || speichert;
    if (speichert) {
        return SpeichernBegonnen(zustand, jetzt);
    }
    return nullptr;
}

namespace {

std::string Absolut(const std::string& datei) {
    std::error_code fehler;
    const std::filesystem::path absolut = std::filesystem::absolute(datei, fehler);
    return fehler ? datei : absolut.string();
}

// Whether `rohdatei` is one of the names RohdateiName gives for `datendatei`: ".roh" or
// "-N.roh" after it.
bool NameVon(std::string_view rohdatei, std::string_view datendatei) {
    if (!rohdatei.starts_with(datendatei) || !rohdatei.ends_with(".roh")) {
        return false;
    }
    std::string_view mitte = rohdatei.substr(datendatei.size());
    mitte.remove_suffix(4);
    if (mitte.empty()) {
        return true;
    }
    return mitte.size() >= 2 && mitte.front() == '-' &&
           mitte.find_first_not_of("0123456789", 1) == std::string_view::npos;
}

} // namespace

void TMessAufzeichnung::Umbenennen(const std::string& datendatei) {
    benannt_ = true;
    if (NameVon(pfad_, Absolut(datendatei))) {
        return;
    }
    const std::string neu = RohdateiNeben(datendatei);
    // Never over another file; when the name cannot be taken, the capture stays whole under
    // the name it was created with, which the header and the records do not depend on.
    if (::renameat2(AT_FDCWD, pfad_.c_str(), AT_FDCWD, neu.c_str(), RENAME_NOREPLACE) == 0) {
        pfad_ = neu;
    }
}

std::exception_ptr TMessAufzeichnung::SpeichernBegonnen(const TProgrammZustand& zustand,
                                                        const TUhrzeit& jetzt) {
    if (!roh_.Aktiv()) {
        return nullptr;
    }
    if (!benannt_) {
        Umbenennen(zustand.Konfiguration.Ausgabedatei);
    }
    TSpeicherBeginn beginn;
    beginn.Automatisch = zustand.Speicher.Art == TSpeicherArt::Auto;
    beginn.Datei = zustand.Konfiguration.Ausgabedatei;
    beginn.Konfiguration = zustand.Konfiguration;
    beginn.Speicherbeginn = zustand.AutoSpeicher.Speicherbeginn;
    beginn.Speicherende = zustand.AutoSpeicher.Speicherende;
    if (zustand.Speicher.AngabenSchreiben) {
        beginn.Angaben = zustand.Speicher.Angaben;
    }
    return roh_.Eintragen(TRohArt::SpeichernEin, SpeicherBeginnText(beginn), jetzt);
}

std::exception_ptr TMessAufzeichnung::MessungBeendet(bool portOffen, const TUhrzeit& jetzt) {
    if (portOffen) {
        if (std::exception_ptr fehler = Eintragen(TRohArt::Geschlossen, {}, jetzt)) {
            return fehler;
        }
    }
    if (std::exception_ptr fehler = Eintragen(TRohArt::MessungEnde, {}, jetzt)) {
        return fehler;
    }
    return festeDatei_.empty() ? roh_.Beenden() : nullptr;
}

std::exception_ptr TMessAufzeichnung::Ende(bool messungLaeuft, bool portOffen,
                                           const TUhrzeit& jetzt) {
    if (messungLaeuft) {
        if (std::exception_ptr fehler = MessungBeendet(portOffen, jetzt)) {
            return fehler;
        }
    }
    return roh_.Beenden();
}

std::string LeitungText(const TRohWerte& leitung) {
    std::string text;
    for (const auto& [schluessel, wert] : leitung) {
        if (!text.empty()) {
            text += '\t';
        }
        text += schluessel;
        text += '=';
        text += wert;
    }
    return text;
}

std::string RohdateiNeben(const std::string& datendatei) {
    return RohdateiName(Absolut(datendatei));
}
