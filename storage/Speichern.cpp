// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/Speichern.h"

#include "storage/Dateinamen.h"
#include "storage/LetzteKopfzeile.h"
#include "storage/PCZeit.h"
#include "storage/StartFehler.h"

#include <algorithm>
#include <limits>

namespace {

void Zaehlen(TSpeicherZustand& zustand, std::size_t anzahl) {
    constexpr std::int32_t Hoechstens = std::numeric_limits<std::int32_t>::max();
    const std::size_t platz = static_cast<std::size_t>(Hoechstens - zustand.AnzahlGespeichert);
    zustand.AnzahlGespeichert += static_cast<std::int32_t>(std::min(anzahl, platz));
}

// The header line due before the next record, or nothing.
std::string Kopf(TSpeicherZustand& zustand, const TMesswert& messwert, TWertArt art) {
    if (zustand.Datendatei.PfadPruefen()) {
        zustand.KopfzeileFaellig = true;
    }
    const bool erster = zustand.AnzahlGespeichert == 0 && zustand.Datendatei.Wartend() == 0;
    if (!erster && !zustand.KopfzeileFaellig) {
        return {};
    }
    std::string kopf = KopfZeile(art, messwert.Gerahmt);
    if (zustand.AngabenSchreiben) {
        AngabenKopfAnhaengen(kopf);
    }
    if (zustand.GleicheKopfzeileAuslassen &&
        LetzteKopfzeileGleich(zustand.Datendatei.Pfad(), kopf)) {
        return {};
    }
    return kopf;
}

} // namespace

void SchreibeDatensatz(TSpeicherZustand& zustand, const TMesswert& messwert, TWertArt art,
                       std::string_view pcZeit, double wert, double temp,
                       const TVorDemSchreiben& vorher) {
    std::string text = Kopf(zustand, messwert, art);
    const bool mitKopf = !text.empty();
    std::string zeile = DatenZeile(messwert, pcZeit, wert, temp);
    if (zustand.AngabenSchreiben) {
        AngabenAnhaengen(zeile, zustand.Angaben);
    }
    text += zeile;
    if (vorher) {
        // Lines that wait for a full disk are counted already, and are written before this one.
        const std::optional<std::int64_t> bisher = zustand.Datendatei.Zeilen();
        vorher(bisher ? std::optional<std::int64_t>(*bisher +
                                                    std::count(text.begin(), text.end(), '\n'))
                      : std::nullopt);
    }
    // Header and record go to the file in one call, which writes them whole or not at all. A
    // header that did not reach the file goes with the next record written.
    std::size_t geschrieben = 0;
    try {
        geschrieben = zustand.Datendatei.Schreiben(text);
    } catch (...) {
        zustand.KopfzeileFaellig = zustand.KopfzeileFaellig || mitKopf;
        Zaehlen(zustand, 1);
        throw;
    }
    zustand.KopfzeileFaellig = false;
    Zaehlen(zustand, geschrieben);
}

void SpeicherSynchronisieren(TSpeicherZustand& zustand) {
    Zaehlen(zustand, zustand.Datendatei.Synchronisieren());
}

void SpeichereWert(TSpeicherZustand& zustand, const TMesswert& messwert,
                   const TVorDemSchreiben& vorher) {
    SchreibeDatensatz(zustand, messwert, TWertArt::Messwert, messwert.PCZeit, messwert.Wert,
                      messwert.Temp, vorher);
}

bool SpeichernStarten(TSpeicherZustand& zustand, TKonfiguration& konfiguration,
                      const TZeitpunkt& heute) {
    zustand.StartFehler.clear();
    zustand.NameErzeugt = false;
    if (konfiguration.Ueberschreiben || konfiguration.AutoDateiname) {
        zustand.AnzahlGespeichert = 0;
    }
    if (konfiguration.AutoDateiname) {
        const std::string basis = ZeichenEntfernen(DatumText(heute), '.');
        const std::string verzeichnis = VerzeichnisTeil(konfiguration.Ausgabedatei);
        const auto name = DateinameErzeugen(basis, verzeichnis);
        if (!name) {
            zustand.StartFehler = NamenFehlerText(basis, verzeichnis);
            return false;
        }
        konfiguration.Ausgabedatei = *name;
        zustand.NameErzeugt = true;
    }
    const TOeffnungsArt art =
        konfiguration.Ueberschreiben ? TOeffnungsArt::Neuschreiben : TOeffnungsArt::Anhaengen;
    if (!zustand.Datendatei.Oeffnen(konfiguration.Ausgabedatei, art)) {
        zustand.StartFehler =
            OeffnenFehlerText(konfiguration.Ausgabedatei, zustand.Datendatei.OeffnenFehler(),
                              zustand.Datendatei.OeffnenDateityp());
        return false;
    }
    return true;
}
