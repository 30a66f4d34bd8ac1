// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/Rohaufzeichnung.h"

#include "storage/EInOutError.h"

#include <filesystem>
#include <utility>

TRohAufzeichnung::TRohAufzeichnung(TMonoUhr monoUhr)
    : monoUhr_(monoUhr ? std::move(monoUhr) : TMonoUhr(MonotonJetzt)) {}

TRohAufzeichnung::~TRohAufzeichnung() = default;

void TRohAufzeichnung::Beginnen(const std::string& pfad, const TRohKopf& kopf, TRohOeffnung art) {
    schreiber_.reset();
    pfad_ = pfad;
    TSchreibUmgebung umgebung = umgebung_;
    umgebung.Uhr = [this] { return zeit_; };
    schreiber_ = std::make_unique<TRohSchreiber>(pfad, kopf, art, std::move(umgebung));
    schreiber_->Datei().Aufbewahren(RohRueckstauEintraege, RohRueckstauBytes);
}

std::exception_ptr TRohAufzeichnung::Eintragen(TRohArt art, std::string_view daten,
                                               const TUhrzeit& zeit) {
    if (!schreiber_) {
        return nullptr;
    }
    eintrag_.Art = art;
    eintrag_.MonoNs = monoUhr_();
    eintrag_.UtcMs = zeit.UtcMs;
    eintrag_.UtcVersatz = zeit.UtcVersatz;
    eintrag_.Daten.assign(daten);
    zeit_ = zeit;
    try {
        schreiber_->Schreiben(eintrag_);
    } catch (...) {
        return Abbrechen();
    }
    return MeldungenUebernehmen();
}

// Keeps the reports of the file; returns the start of a write failure as an error to report.
std::exception_ptr TRohAufzeichnung::MeldungenUebernehmen() {
    std::exception_ptr stoerung;
    for (TDateiMeldung& meldung : schreiber_->Datei().MeldungenAbholen()) {
        if (meldung.Art == TDateiMeldung::TArt::Stoerung && !stoerung) {
            stoerung =
                std::make_exception_ptr(EInOutError::MitText(meldung.SystemFehler, meldung.Text));
        } else {
            meldungen_.push_back(std::move(meldung));
        }
    }
    return stoerung;
}

void TRohAufzeichnung::Sammeln() {
    for (TDateiMeldung& meldung : schreiber_->Datei().MeldungenAbholen()) {
        meldungen_.push_back(std::move(meldung));
    }
}

void TRohAufzeichnung::Synchronisieren() {
    if (schreiber_) {
        schreiber_->Datei().Synchronisieren();
        Sammeln();
    }
}

std::exception_ptr TRohAufzeichnung::Beenden() {
    if (!schreiber_) {
        return nullptr;
    }
    try {
        schreiber_->Schliessen();
    } catch (...) {
        return Abbrechen();
    }
    Sammeln();
    schreiber_.reset();
    return nullptr;
}

std::exception_ptr TRohAufzeichnung::Abbrechen() {
    // The descriptor closes quietly: its own close error would be a second report of one fault.
    schreiber_.reset();
    return std::current_exception();
}

std::string RohdateiName(const std::string& datendatei) {
    std::string name = datendatei + ".roh";
    std::error_code fehler;
    for (int nummer = 2; std::filesystem::exists(name, fehler); ++nummer) {
        name = datendatei + "-" + std::to_string(nummer) + ".roh";
    }
    return name;
}
