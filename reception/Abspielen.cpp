// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "reception/Abspielen.h"

#include "reception/Messablauf.h"

#include "storage/RohdatenEinstellungen.h"
#include "storage/RohdatenKopf.h"
#include "storage/RohdatenLeser.h"
#include "storage/Uhr.h"

#include <utility>

namespace {

// As the program starts a run (the decimal comma included), then the settings of its header.
void LaufEinrichten(TProgrammZustand& zustand, const TRohKopf& kopf) {
    AnfangszustandSetzen(zustand, TZeitpunkt{});
    zustand.Konfiguration = KonfigurationAuslesen(kopf.Werte, zustand.Konfiguration);
}

} // namespace

TAbspielung::TAbspielung(TProgrammZustand& zustand, std::string datendatei)
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
        MessungsZustandBeenden(zustand_);
        break;
    case TRohArt::Verloren:
    case TRohArt::Luecke: // bytes are missing: a record they cut is dropped
        LeitungVerloren(zustand_);
        break;
    case TRohArt::LaufBeginn: // the program was started again on the same capture
        SpeichernAusschalten(zustand_);
        LaufEinrichten(zustand_, RohKopfAusText(eintrag.Daten, "einem LaufBeginn-Eintrag"));
        break;
    case TRohArt::SpeichernEin:
        SpeichernBeginnen(eintrag);
        break;
    case TRohArt::SpeichernAus:
        SpeichernAusschalten(zustand_);
        break;
    case TRohArt::Angabe:
        if (const auto angabe = AngabeRohLesen(eintrag.Daten)) {
            zustand_.Speicher.Angaben[angabe->first] = angabe->second;
        }
        break;
    default:
        break; // what was sent, and the port's opening and closing, change no reading
    }
}

void TAbspielung::MessungBeginnen(const std::string& art) {
    MessungsZustandBeginnen(zustand_, art == "WTW" ? lmWTW : lmRS232);
}

void TAbspielung::SpeichernBeginnen(const TRohEintrag& eintrag) {
    SpeichernAusschalten(zustand_);
    const TSpeicherBeginn beginn = SpeicherBeginnLesen(eintrag.Daten, zustand_.Konfiguration);
    zustand_.Konfiguration = beginn.Konfiguration;
    TKonfiguration ziel = beginn.Konfiguration;
    if (ziel.Ueberschreiben || ziel.AutoDateiname) {
        zustand_.Speicher.AnzahlGespeichert = 0; // as the live start restarted it
    }
    ziel.AutoDateiname = false;
    ziel.Ueberschreiben = false;
    ziel.Ausgabedatei = datendatei_;
    zustand_.Speicher.AngabenSchreiben = beginn.Angaben.has_value();
    if (beginn.Angaben) {
        zustand_.Speicher.Angaben = *beginn.Angaben;
    }
    if (beginn.Automatisch) {
        zustand_.AutoSpeicher.Speicherbeginn = beginn.Speicherbeginn;
        zustand_.AutoSpeicher.Speicherende = beginn.Speicherende;
    }
    const TUhrzeit zeit = UhrzeitAusVersatz(eintrag.UtcMs, eintrag.UtcVersatz);
    SpeichernEinschalten(
        zustand_, ziel, beginn.Automatisch ? TSpeicherArt::Auto : TSpeicherArt::Sofort, zeit.Lokal);
}

TAbspielBericht AufnahmeAbspielen(TRohLeser& leser, const std::string& datendatei) {
    TProgrammZustand zustand;
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
