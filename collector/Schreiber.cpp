// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "collector/Schreiber.h"

#include <new>
#include <utility>

TSchreiber::TSchreiber(std::string verbindung, std::function<void()> fertig)
    : datenbank_(std::move(verbindung))
    , fertig_(std::move(fertig))
    , faden_([this] { Laufen(); }) {}

TSchreiber::~TSchreiber() {
    Anhalten();
}

bool TSchreiber::Frei() const {
    const std::lock_guard<std::mutex> sperre(schutz_);
    return !beschaeftigt_;
}

void TSchreiber::Uebergeben(std::vector<TEingang> stapel) {
    {
        const std::lock_guard<std::mutex> sperre(schutz_);
        auftrag_ = std::move(stapel);
        beschaeftigt_ = true;
    }
    wecker_.notify_one();
}

std::optional<TSchreibErgebnis> TSchreiber::Abholen() {
    const std::lock_guard<std::mutex> sperre(schutz_);
    std::optional<TSchreibErgebnis> ergebnis = std::move(ergebnis_);
    ergebnis_.reset();
    if (ergebnis) {
        beschaeftigt_ = false;
    }
    return ergebnis;
}

void TSchreiber::Anhalten() {
    {
        const std::lock_guard<std::mutex> sperre(schutz_);
        ende_ = true;
    }
    wecker_.notify_one();
    if (faden_.joinable()) {
        faden_.join();
    }
}

TSchreibErgebnis TSchreiber::Schreiben(std::vector<TEingang> stapel) {
    TSchreibErgebnis ergebnis;
    try {
        ergebnis.Staende = datenbank_.Schreiben(stapel);
    } catch (const ESchemaZuNeu& fehler) {
        ergebnis.Fehler = fehler.what();
        ergebnis.SchemaZuNeu = true;
    } catch (const EDatenbank& fehler) {
        ergebnis.Fehler = fehler.what();
    } catch (const std::bad_alloc&) {
        ergebnis.Fehler = "Kein Speicher mehr für den Stapel";
    }
    if (!ergebnis.Fehler.empty()) {
        ergebnis.Stapel = std::move(stapel);
    }
    return ergebnis;
}

void TSchreiber::Laufen() {
    std::unique_lock<std::mutex> sperre(schutz_);
    for (;;) {
        wecker_.wait(sperre, [this] { return ende_ || auftrag_.has_value(); });
        if (!auftrag_) {
            return; // ende_; a batch handed over before is written first
        }
        std::vector<TEingang> stapel = std::move(*auftrag_);
        auftrag_.reset();
        sperre.unlock();
        TSchreibErgebnis ergebnis = Schreiben(std::move(stapel));
        sperre.lock();
        ergebnis_ = std::move(ergebnis);
        sperre.unlock();
        fertig_();
        sperre.lock();
    }
}
