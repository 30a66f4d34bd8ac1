// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/AutoSpeichern.h"

#include "storage/ZeitpunktLesen.h"
#include "storage/Zeitrechnung.h"

#include <limits>

namespace {

constexpr const char* Laeuft = "läuft";
constexpr const char* Ende = "ENDE";
constexpr const char* Punkte = "...";

std::string Sekundentext(std::int64_t sekunden) {
    return "(" + std::to_string(sekunden) + "s)";
}

struct TMittelwerte {
    double Wert;
    double Temp;
};

void IntervallLeeren(TAutoSpeicherZustand& autoZustand) {
    autoZustand.IntervallSummeWert = 0.0;
    autoZustand.IntervallSummeTemp = 0.0;
    autoZustand.IntervallAnzahl = 0;
}

// The sums hold readings of one kind: a reading in another unit of that quantity converts the
// value sum to its unit; one of another kind splits the interval there, its earlier readings are
// dropped.
void IntervallArtUebernehmen(TAutoSpeicherZustand& autoZustand, const TMessart& neu) {
    const std::optional<TUmrechnung> umrechnung = Umrechnung(autoZustand.IntervallMessart, neu);
    if (umrechnung) {
        autoZustand.IntervallSummeWert = (*umrechnung)(autoZustand.IntervallSummeWert);
    } else {
        IntervallLeeren(autoZustand);
    }
    autoZustand.IntervallMessart = neu;
}

void IntervallSummieren(TAutoSpeicherZustand& autoZustand, const TMesswert& messwert) {
    IntervallArtUebernehmen(autoZustand, MessartVon(messwert));
    if (autoZustand.IntervallAnzahl == std::numeric_limits<std::uint16_t>::max()) {
        return;
    }
    autoZustand.IntervallSummeWert += messwert.Wert;
    autoZustand.IntervallSummeTemp += messwert.Temp;
    ++autoZustand.IntervallAnzahl;
}

bool IntervallAbgelaufen(const TAutoSpeicherZustand& autoZustand, const TZeitpunkt& messzeit,
                         std::uint16_t intervall) {
    return !autoZustand.LetzteSpeicherung ||
           SekundenAbstand(messzeit, *autoZustand.LetzteSpeicherung) >= intervall;
}

// Intervals up to 30 s are fitted to their raster, longer ones to the full minute.
void ZeitAusrichten(TZeitpunkt& messzeit, std::uint16_t intervall) {
    if (intervall <= 30) {
        SekundenRastern(messzeit, intervall);
    } else {
        messzeit.Sekunde = 0;
    }
}

void IntervallSchreiben(TSpeicherZustand& speicher, TAutoSpeicherZustand& autoZustand,
                        const TKonfiguration& konfiguration, const TMesswert& messwert,
                        TZeitpunkt& messzeit, const TMittelwerte& gleit) {
    std::string pcZeit = messwert.PCZeit;
    if (konfiguration.ZeitRaster) {
        ZeitAusrichten(messzeit, konfiguration.Speicherintervall);
        pcZeit = ZeitText(messzeit);
    }
    if (konfiguration.MittelwertIntervall) {
        // At least this reading is counted, so the count is never 0 here.
        const double anzahl = autoZustand.IntervallAnzahl;
        SchreibeDatensatz(speicher, messwert, TWertArt::Intervallmittel, pcZeit,
                          autoZustand.IntervallSummeWert / anzahl,
                          autoZustand.IntervallSummeTemp / anzahl);
    } else if (konfiguration.GleitendesMittel) {
        SchreibeDatensatz(speicher, messwert, TWertArt::GleitendesMittel, pcZeit, gleit.Wert,
                          gleit.Temp);
    } else {
        SchreibeDatensatz(speicher, messwert, TWertArt::Messwert, pcZeit, messwert.Wert,
                          messwert.Temp);
    }
    autoZustand.LetzteSpeicherung = messzeit;
    IntervallLeeren(autoZustand);
}

void ModusAllesSchreiben(TSpeicherZustand& speicher, const TKonfiguration& konfiguration,
                         const TMesswert& messwert, const TMittelwerte& gleit) {
    if (konfiguration.GleitendesMittel) {
        SchreibeDatensatz(speicher, messwert, TWertArt::GleitendesMittel, messwert.PCZeit,
                          gleit.Wert, gleit.Temp);
    } else {
        SpeichereWert(speicher, messwert);
    }
}

} // namespace

TAutoSpeicherStatus AutoSpeichereWert(TSpeicherZustand& speicher, TAutoSpeicherZustand& autoZustand,
                                      const TKonfiguration& konfiguration,
                                      const TMesswert& messwert, double gleitMittelWert,
                                      double gleitMittelTemp) {
    TZeitpunkt messzeit;
    DatumLesen(messwert.PCDatum, messzeit);
    ZeitLesen(messwert.PCZeit, messzeit);
    const TMittelwerte gleit{gleitMittelWert, gleitMittelTemp};

    if (ZeitpunktNichtSpaeter(autoZustand.Speicherbeginn, messzeit) &&
        ZeitpunktNichtSpaeter(messzeit, autoZustand.Speicherende)) {
        const std::uint16_t intervall = konfiguration.Speicherintervall;
        if (intervall > 0) {
            IntervallSummieren(autoZustand, messwert);
            if (IntervallAbgelaufen(autoZustand, messzeit, intervall)) {
                IntervallSchreiben(speicher, autoZustand, konfiguration, messwert, messzeit, gleit);
            }
        } else {
            ModusAllesSchreiben(speicher, konfiguration, messwert, gleit);
        }
        return {Laeuft, Sekundentext(SekundenAbstand(autoZustand.Speicherende, messzeit))};
    }
    if (ZeitpunktNichtSpaeter(messzeit, autoZustand.Speicherbeginn)) {
        return {Sekundentext(SekundenAbstand(autoZustand.Speicherbeginn, messzeit)), Punkte};
    }
    return {Ende, Ende};
}
