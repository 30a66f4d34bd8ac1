// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "acquisition/GleitMittel.h"

#include <algorithm>
#include <numeric>

namespace {

double Mittel(const TGleitPuffer& puffer, std::size_t n) {
    const double summe =
        std::accumulate(puffer.begin(), puffer.begin() + static_cast<long>(n), 0.0);
    return summe / static_cast<double>(n);
}

} // namespace

std::size_t GleitFenster(std::int64_t anzahlGleitMittel) {
    const auto groesste = static_cast<std::int64_t>(GleitPufferGroesse);
    return static_cast<std::size_t>(std::clamp<std::int64_t>(anzahlGleitMittel, 1, groesste));
}

void GleitPuffernSchieben(TGleitPuffer& puffer, std::int64_t n, double x) {
    const std::size_t fenster = GleitFenster(n);
    std::copy(puffer.begin() + 1, puffer.begin() + static_cast<long>(fenster), puffer.begin());
    puffer[fenster - 1] = x;
}

void GleitPufferLoeschen(TGleitPuffer& puffer) {
    puffer.fill(0.0);
}

void GleitMittelZuruecksetzen(TGleitMittel& gleitMittel) {
    GleitPufferLoeschen(gleitMittel.GleitWerte);
    GleitPufferLoeschen(gleitMittel.GleitTemps);
    gleitMittel.GleitMittelWert = 0.0;
    gleitMittel.GleitMittelTemp = 0.0;
}

void GleitMittelAktualisieren(TGleitMittel& gleitMittel, std::int64_t anzahlGleitMittel,
                              double wert, double temp) {
    const std::size_t n = GleitFenster(anzahlGleitMittel);
    GleitPuffernSchieben(gleitMittel.GleitWerte, anzahlGleitMittel, wert);
    GleitPuffernSchieben(gleitMittel.GleitTemps, anzahlGleitMittel, temp);
    gleitMittel.GleitMittelWert = Mittel(gleitMittel.GleitWerte, n);
    gleitMittel.GleitMittelTemp = Mittel(gleitMittel.GleitTemps, n);
}
