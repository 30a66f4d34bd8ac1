// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/Rohaufzeichnung.h"

#include <filesystem>
#include <time.h>
#include <utility>

namespace {

std::int64_t MonotonJetzt() {
    timespec jetzt{};
    ::clock_gettime(CLOCK_MONOTONIC, &jetzt);
    return std::int64_t{jetzt.tv_sec} * 1'000'000'000 + jetzt.tv_nsec;
}

} // namespace

TRohAufzeichnung::TRohAufzeichnung(TMonoUhr monoUhr)
    : monoUhr_(monoUhr ? std::move(monoUhr) : TMonoUhr(MonotonJetzt)) {}

TRohAufzeichnung::~TRohAufzeichnung() = default;

void TRohAufzeichnung::Beginnen(const std::string& pfad, const TRohKopf& kopf) {
    schreiber_.reset();
    pfad_ = pfad;
    schreiber_ = std::make_unique<TRohSchreiber>(pfad, kopf);
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
    try {
        schreiber_->Schreiben(eintrag_);
    } catch (...) {
        return Abbrechen();
    }
    return nullptr;
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
