// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "reception/Abspielen.h"

#include "storage/RohdatenEinstellungen.h"
#include "storage/RohdatenKopf.h"
#include "storage/RohdatenLeser.h"
#include "storage/Uhr.h"

#include <stdexcept>
#include <utility>

namespace {

// As the program starts a run (the decimal comma included), then the settings of its header.
void LaufEinrichten(TFormZustand& zustand, const TRohKopf& kopf) {
    AnfangszustandSetzen(zustand, TZeitpunkt{});
    zustand.Konfiguration = KonfigurationAuslesen(kopf.Werte, zustand.Konfiguration);
}

} // namespace

TAbspielung::TAbspielung(TFormZustand& zustand, std::string datendatei)
    : zustand_(zustand)
    , datendatei_(std::move(datendatei)) {}

void TAbspielung::Eintrag(const TRohEintrag& eintrag) {
    switch (eintrag.Art) {
    case TRohArt::Empfangen: {
        const TChunkErgebnis ergebnis = ChunkVerarbeiten(
            zustand_, eintrag.Daten, UhrzeitAusVersatz(eintrag.UtcMs, eintrag.UtcVersatz));
        datensaetze_ += ergebnis.Datensaetze;
        if (ergebnis.Fehler) {
            std::rethrow_exception(ergebnis.Fehler);
        }
        break;
    }
    case TRohArt::MessungBeginn:
        MessungBeginnen(eintrag.Daten);
        break;
    case TRohArt::MessungEnde:
        zustand_.Messung.LeseModus = lmKeiner;
        break;
    case TRohArt::Verloren:
    case TRohArt::Luecke: // bytes are missing: a record they cut is dropped
        LeitungVerloren(zustand_);
        break;
    case TRohArt::LaufBeginn: // the program was started again on the same capture
        SpeichernBeenden();
        LaufEinrichten(zustand_, RohKopfAusText(eintrag.Daten, "einem LaufBeginn-Eintrag"));
        break;
    case TRohArt::SpeichernEin:
        SpeichernBeginnen(eintrag);
        break;
    case TRohArt::SpeichernAus:
        SpeichernBeenden();
        break;
    default:
        break; // what was sent, and the port's opening and closing, change no reading
    }
}

void TAbspielung::MessungBeginnen(const std::string& art) {
    if (art == "WTW") {
        WTWMessungBeginnen(zustand_);
    } else {
        DesignStandardGrid(zustand_);
        zustand_.Messung.LeseModus = lmRS232;
    }
}

void TAbspielung::SpeichernBeginnen(const TRohEintrag& eintrag) {
    SpeichernBeenden();
    const TSpeicherBeginn beginn = SpeicherBeginnLesen(eintrag.Daten, zustand_.Konfiguration);
    zustand_.Konfiguration = beginn.Konfiguration;
    TKonfiguration ziel = beginn.Konfiguration;
    if (ziel.Ueberschreiben || ziel.AutoDateiname) {
        zustand_.Speicher.AnzahlGespeichert = 0; // as the live start restarted it
    }
    ziel.AutoDateiname = false;
    ziel.Ueberschreiben = false;
    ziel.Ausgabedatei = datendatei_;
    const TUhrzeit zeit = UhrzeitAusVersatz(eintrag.UtcMs, eintrag.UtcVersatz);
    if (!SpeichernStarten(zustand_.Speicher, ziel, zeit.Lokal)) {
        throw std::runtime_error(zustand_.Speicher.StartFehler);
    }
    if (beginn.Automatisch) {
        zustand_.Speicher.AutoSpeichernAktiv = true;
        zustand_.AutoSpeicher.Speicherbeginn = beginn.Speicherbeginn;
        zustand_.AutoSpeicher.Speicherende = beginn.Speicherende;
    } else {
        zustand_.Speicher.SofortSpeichernAktiv = true;
    }
}

void TAbspielung::SpeichernBeenden() {
    TSpeicherZustand& speicher = zustand_.Speicher;
    if (speicher.SofortSpeichernAktiv || speicher.AutoSpeichernAktiv) {
        speicher.SofortSpeichernAktiv = false;
        speicher.AutoSpeichernAktiv = false;
        speicher.Datendatei.Schliessen();
    }
}

TAbspielBericht AufnahmeAbspielen(TRohLeser& leser, const std::string& datendatei) {
    TFormZustand zustand;
    LaufEinrichten(zustand, leser.Kopf());
    TAbspielung abspielung(zustand, datendatei);
    TAbspielBericht bericht;
    TRohEintrag eintrag;
    while (leser.Naechster(eintrag)) {
        abspielung.Eintrag(eintrag);
        ++bericht.Eintraege;
    }
    zustand.Speicher.Datendatei.Schliessen();
    bericht.Datensaetze = abspielung.Datensaetze();
    bericht.Abgeschnitten = leser.Abgeschnitten();
    return bericht;
}
