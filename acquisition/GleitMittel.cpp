// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "acquisition/GleitMittel.h"

#include <algorithm>
#include <numeric>

namespace {

// The first of the last `anzahl` entries.
template <typename Puffer>
auto Letzte(Puffer& puffer, std::size_t anzahl) {
    return puffer.end() - static_cast<std::ptrdiff_t>(anzahl);
}

double Mittel(const TGleitPuffer& puffer, std::size_t anzahl) {
    const double summe = std::accumulate(Letzte(puffer, anzahl), puffer.end(), 0.0);
    return summe / static_cast<double>(anzahl);
}

// Brings the readings held to the kind of the new reading: converted to its unit, or dropped
// when they cannot be.
void ArtUebernehmen(TGleitMittel& gleitMittel, const TMessart& neu) {
    const std::optional<TUmrechnung> umrechnung = Umrechnung(gleitMittel.Messart, neu);
    if (!umrechnung) {
        gleitMittel.Anzahl = 0;
    } else if (umrechnung->Zehnerpotenz != 0) {
        TGleitPuffer& werte = gleitMittel.GleitWerte;
        std::transform(Letzte(werte, gleitMittel.Anzahl), werte.end(),
                       Letzte(werte, gleitMittel.Anzahl), *umrechnung);
    }
    gleitMittel.Messart = neu;
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
    gleitMittel.Anzahl = 0;
    gleitMittel.Messart = TMessart{};
    gleitMittel.GleitMittelWert = 0.0;
    gleitMittel.GleitMittelTemp = 0.0;
}

void GleitMittelAktualisieren(TGleitMittel& gleitMittel, std::int64_t anzahlGleitMittel,
                              const TMesswert& messwert) {
    ArtUebernehmen(gleitMittel, MessartVon(messwert));
    // The whole history moves, whatever the window, so a window made larger during a
    // measurement takes in the readings received before.
    GleitPuffernSchieben(gleitMittel.GleitWerte, GleitPufferGroesse, messwert.Wert);
    GleitPuffernSchieben(gleitMittel.GleitTemps, GleitPufferGroesse, messwert.Temp);
    gleitMittel.Anzahl = std::min(gleitMittel.Anzahl + 1, GleitPufferGroesse);
    const std::size_t n = std::min(GleitFenster(anzahlGleitMittel), gleitMittel.Anzahl);
    gleitMittel.GleitMittelWert = Mittel(gleitMittel.GleitWerte, n);
    gleitMittel.GleitMittelTemp = Mittel(gleitMittel.GleitTemps, n);
}
