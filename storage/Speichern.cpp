// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/Speichern.h"

#include "storage/Dateinamen.h"
#include "storage/PCZeit.h"
#include "storage/StartFehler.h"

#include <limits>

void SchreibeDatensatz(TSpeicherZustand& zustand, const TMesswert& messwert, TWertArt art,
                       std::string_view pcZeit, double wert, double temp) {
    if (zustand.AnzahlGespeichert < std::numeric_limits<std::int32_t>::max()) {
        ++zustand.AnzahlGespeichert;
    }
    const bool mitKopf = zustand.AnzahlGespeichert == 1 || zustand.KopfzeileFaellig;
    std::string text;
    if (mitKopf) {
        text = KopfZeile(art, messwert.Gerahmt);
    }
    text += DatenZeile(messwert, pcZeit, wert, temp);
    // Header and record go to the file in one call, which writes them whole or not at all. A
    // header that did not reach the file goes with the next record written.
    try {
        zustand.Datendatei.Schreiben(text);
    } catch (...) {
        zustand.KopfzeileFaellig = mitKopf;
        throw;
    }
    zustand.KopfzeileFaellig = false;
}

void SpeichereWert(TSpeicherZustand& zustand, const TMesswert& messwert) {
    SchreibeDatensatz(zustand, messwert, TWertArt::Messwert, messwert.PCZeit, messwert.Wert,
                      messwert.Temp);
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
            OeffnenFehlerText(konfiguration.Ausgabedatei, zustand.Datendatei.OeffnenFehler());
        return false;
    }
    return true;
}
