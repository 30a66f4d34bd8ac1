// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "reception/Messablauf.h"

#include "framework/Meldung.h"
#include "reception/Empfang.h"
#include "storage/Speichern.h"

void MessungsZustandBeginnen(TProgrammZustand& zustand, TLeseModus art) {
    if (art == lmWTW) {
        WTWMessungBeginnen(zustand);
    } else {
        DesignStandardGrid(zustand);
        zustand.Messung.LeseModus = lmRS232;
    }
}

void MessungsZustandBeenden(TProgrammZustand& zustand) {
    zustand.Messung.LeseModus = lmKeiner;
}

void SpeichernEinschalten(TProgrammZustand& zustand, TKonfiguration& konfiguration,
                          TSpeicherArt art, const TZeitpunkt& heute) {
    TSpeicherZustand& speicher = zustand.Speicher;
    speicher.Art = art;
    if (!SpeichernStarten(speicher, konfiguration, heute)) {
        speicher.Art = TSpeicherArt::Aus;
        throw EMeldung(speicher.StartFehler, DateiBezug(konfiguration.Ausgabedatei));
    }
}

void SpeichernAusschalten(TProgrammZustand& zustand) {
    TSpeicherZustand& speicher = zustand.Speicher;
    if (speicher.Art == TSpeicherArt::Aus) {
        return;
    }
    speicher.Art = TSpeicherArt::Aus;
    speicher.Datendatei.Schliessen();
}
