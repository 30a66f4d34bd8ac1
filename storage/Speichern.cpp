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
    std::string text;
    if (zustand.AnzahlGespeichert == 1) {
        text = KopfZeile(art, messwert.Gerahmt);
    }
    text += DatenZeile(messwert, pcZeit, wert, temp);
    // Header and record go to the file in one call.
    zustand.Datendatei.Schreiben(text);
}

void SpeichereWert(TSpeicherZustand& zustand, const TMesswert& messwert) {
    SchreibeDatensatz(zustand, messwert, TWertArt::Messwert, messwert.PCZeit, messwert.Wert,
                      messwert.Temp);
}

bool SpeichernStarten(TSpeicherZustand& zustand, TKonfiguration& konfiguration,
                      const TZeitpunkt& heute) {
    zustand.StartFehler.clear();
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

bool SpeichernStarten(TSpeicherZustand& zustand, TKonfiguration& konfiguration) {
    return SpeichernStarten(zustand, konfiguration, LokaleZeit());
}
