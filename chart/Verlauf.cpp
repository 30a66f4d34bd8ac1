// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "chart/Verlauf.h"

#include "acquisition/Messart.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <utility>

void TPunktFolge::push_back(const TVerlaufPunkt& punkt, bool lueckeDavor) {
    if (lueckeDavor) {
        luecken_.push_back(entfernt_ + anzahl_);
    }
    const std::size_t j = anfang_ + anzahl_;
    if (j / BlockGroesse == bloecke_.size()) {
        bloecke_.push_back(std::make_unique<TBlock>());
    }
    (*bloecke_[j / BlockGroesse])[j % BlockGroesse] = punkt;
    ++anzahl_;
}

void TPunktFolge::pop_front() {
    if (anzahl_ == 0) {
        return;
    }
    --anzahl_;
    if (!luecken_.empty() && luecken_.front() == entfernt_) {
        luecken_.erase(luecken_.begin()); // the break before the reading that goes
    }
    ++entfernt_;
    if (++anfang_ == BlockGroesse) {
        bloecke_.erase(bloecke_.begin());
        anfang_ = 0;
    }
}

void TPunktFolge::clear() {
    bloecke_.clear();
    luecken_.clear();
    entfernt_ = 0;
    anfang_ = 0;
    anzahl_ = 0;
}

std::size_t TPunktFolge::ErsterAb(std::int64_t utcMs) const {
    std::size_t von = 0;
    std::size_t bis = anzahl_;
    while (von < bis) {
        const std::size_t mitte = von + (bis - von) / 2;
        if ((*this)[mitte].UtcMs < utcMs) {
            von = mitte + 1;
        } else {
            bis = mitte;
        }
    }
    return von;
}

bool TPunktFolge::LueckeVor(std::size_t i) const {
    return std::binary_search(luecken_.begin(), luecken_.end(), entfernt_ + i);
}

std::size_t TPunktFolge::Speicher() const noexcept {
    return bloecke_.size() * sizeof(TBlock) + luecken_.capacity() * sizeof(std::uint64_t) +
           bloecke_.capacity() * sizeof(std::unique_ptr<TBlock>) + sizeof(*this);
}

namespace {

// A reading whose quantity the meter does not name goes to the series of its unit.
const std::string& GroesseVon(const TVerlaufEingang& eingang) {
    return eingang.Messgroesse.empty() || eingang.Messgroesse == "?" ? eingang.Einheit
                                                                     : eingang.Messgroesse;
}

// How a reading of `messgroesse` and `einheit` is drawn in `reihe`, by the rule of the moving
// average; nothing when it belongs to another series.
std::optional<TUmrechnung> InReihe(const TVerlaufReihe& reihe, const std::string& messgroesse,
                                   const std::string& einheit) {
    return Umrechnung(TMessart{messgroesse, einheit}, TMessart{reihe.Messgroesse, reihe.Einheit});
}

} // namespace

int Nachkommastellen(const TVerlaufReihe& reihe) {
    if (reihe.Messgroesse != "Lf") {
        return 2;
    }
    return 2 + 6 + LeitwertZehnerpotenz(reihe.Einheit);
}

TVerlauf::TVerlauf(std::size_t hoechstzahl)
    : hoechstzahl_(std::max<std::size_t>(hoechstzahl, 1)) {}

void TVerlauf::Leeren() {
    reihen_.clear();
    letzteReihe_ = -1;
    letzteMs_ = 0;
    letzteReiheSeitMs_ = 0;
    ++leerungen_;
    anzahl_ = 0;
    verworfen_ = 0;
    unterbrochen_ = false;
    marken_.clear();
    ++stand_;
}

void TVerlauf::ProbeMarkieren(std::int64_t utcMs, std::string text) {
    marken_.push_back({utcMs, std::move(text)});
    if (marken_.size() > HoechstMarken) {
        marken_.pop_front();
    }
    ++stand_;
}

int TVerlauf::ReiheFuer(const std::string& messgroesse, const std::string& einheit,
                        double& faktor) {
    faktor = 1.0;
    for (std::size_t i = 0; i < reihen_.size(); ++i) {
        if (const auto umrechnung = InReihe(reihen_[i], messgroesse, einheit)) {
            faktor = (*umrechnung)(1.0);
            return static_cast<int>(i);
        }
    }
    reihen_.push_back(TVerlaufReihe{messgroesse, einheit, {}});
    return static_cast<int>(reihen_.size() - 1);
}

bool TVerlauf::IstLuecke(const TPunktFolge& punkte, std::int64_t utcMs) const {
    if (punkte.empty()) {
        return false;
    }
    const std::int64_t abstand = utcMs - punkte.back().UtcMs;
    if (abstand < MindestLueckeMs) {
        return false;
    }
    std::array<std::int64_t, MedianUeber> abstaende{};
    std::size_t n = 0;
    for (std::size_t i = punkte.size() - 1; i > 0 && n < MedianUeber; --i, ++n) {
        abstaende[n] = punkte[i].UtcMs - punkte[i - 1].UtcMs;
    }
    if (n == 0) {
        return false; // one reading says nothing about the pace
    }
    const auto mitte = abstaende.begin() + static_cast<std::ptrdiff_t>(n / 2);
    std::nth_element(abstaende.begin(), mitte, abstaende.begin() + static_cast<std::ptrdiff_t>(n));
    return abstand > LueckeFaktor * *mitte;
}

void TVerlauf::Hinzufuegen(const TVerlaufEingang& eingang) {
    double faktor = 1.0;
    const int nummer = ReiheFuer(GroesseVon(eingang), eingang.Einheit, faktor);
    TPunktFolge& punkte = reihen_[static_cast<std::size_t>(nummer)].Punkte;
    TVerlaufPunkt punkt;
    punkt.UtcMs = eingang.UtcMs;
    punkt.Wert = static_cast<float>(eingang.Wert * faktor);
    punkt.Temp = eingang.MitTemperatur ? static_cast<float>(eingang.Temp) : std::nanf("");
    punkt.Mittel = static_cast<float>(eingang.Mittel * faktor);
    punkte.push_back(punkt, unterbrochen_ || IstLuecke(punkte, eingang.UtcMs));
    unterbrochen_ = false;
    if (nummer != letzteReihe_) {
        letzteReiheSeitMs_ = eingang.UtcMs;
    }
    letzteReihe_ = nummer;
    letzteMs_ = eingang.UtcMs;
    ++anzahl_;
    ++stand_;
    if (anzahl_ > hoechstzahl_) {
        AeltestenVerwerfen();
    }
}

// The oldest reading of all series goes.
void TVerlauf::AeltestenVerwerfen() {
    TPunktFolge* aelteste = nullptr;
    for (TVerlaufReihe& reihe : reihen_) {
        if (!reihe.Punkte.empty() &&
            (aelteste == nullptr || reihe.Punkte[0].UtcMs < (*aelteste)[0].UtcMs)) {
            aelteste = &reihe.Punkte;
        }
    }
    if (aelteste != nullptr) {
        aelteste->pop_front();
        --anzahl_;
        ++verworfen_;
    }
}

std::size_t TVerlauf::Speicher() const noexcept {
    std::size_t summe = 0;
    for (const TVerlaufReihe& reihe : reihen_) {
        summe += reihe.Punkte.Speicher();
    }
    return summe;
}
