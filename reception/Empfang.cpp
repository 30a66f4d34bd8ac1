// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "reception/Empfang.h"

#include "acquisition/MesswertLesen.h"
#include "acquisition/Steuerzeichen.h"
#include "acquisition/Zahlformat.h"
#include "framework/Codepage.h"
#include "storage/PCZeit.h"
#include "storage/Zeitrechnung.h"

#include <utility>

namespace {

constexpr char LF = '\x0A';

// A failing save must not cost the readings behind it, nor the display of the chunk: the first
// error is kept for the caller to report once the chunk is done.
template <typename Schritt>
void Absichern(TChunkErgebnis& ergebnis, Schritt&& schritt) {
    try {
        schritt();
    } catch (...) {
        if (!ergebnis.Fehler) {
            ergebnis.Fehler = std::current_exception();
        }
    }
}

void Speichern(TProgrammZustand& zustand, const TMesswert& messwert,
               const TMesswertSchritte& schritte, TChunkErgebnis& ergebnis) {
    if (zustand.Speicher.Art == TSpeicherArt::Sofort) {
        TVorDemSchreiben vorher;
        if (schritte.VorDerZeile) {
            vorher = [&](std::optional<std::int64_t> zeile) {
                schritte.VorDerZeile(messwert, zeile);
            };
        }
        Absichern(ergebnis, [&] { SpeichereWert(zustand.Speicher, messwert, vorher); });
    }
    if (zustand.Speicher.Art == TSpeicherArt::Auto) {
        Absichern(ergebnis, [&] {
            ergebnis.AutoStatus = AutoSpeichereWert(
                zustand.Speicher, zustand.AutoSpeicher, zustand.Konfiguration, messwert,
                zustand.Gleit.GleitMittelWert, zustand.Gleit.GleitMittelTemp);
        });
    }
}

// The completed record in EmpfangsPuffer becomes a reading: parsed, stamped, averaged, listed
// and saved, in that order.
void DatensatzVerarbeiten(TProgrammZustand& zustand, const TUhrzeit& jetzt,
                          const TMesswertSchritte& schritte, TChunkErgebnis& ergebnis) {
    TMessZustand& messung = zustand.Messung;
    TMesswert messwert =
        MesswertLesen(messung.Rahmen.EmpfangsPuffer, messung.Rahmen.Gerahmt, messung.Messgroesse);
    TPCZeitstempel stempel = PCZeitstempel(jetzt.Lokal);
    messwert.PCUtcMs = jetzt.UtcMs;
    messwert.PCDatum = std::move(stempel.Datum);
    messwert.PCZeit = std::move(stempel.Zeit);
    messung.Rahmen.EmpfangsPuffer.clear();

    TGleitMittel& gleit = zustand.Gleit;
    GleitMittelAktualisieren(gleit, zustand.Konfiguration.AnzahlGleitMittel, messwert);
    WTWZeileEintragen(zustand.Tabelle, messung.Akt, messwert, messung.Messgroesse,
                      zustand.GleitAnzeigen, gleit.GleitMittelWert, gleit.GleitMittelTemp);
    if (zustand.Verlauf != nullptr) {
        zustand.Verlauf->Hinzufuegen({messwert.PCUtcMs, messung.Messgroesse, messwert.Einheit,
                                      messwert.Wert, messwert.MitTemperatur, messwert.Temp,
                                      gleit.GleitMittelWert});
    }
    ++ergebnis.Datensaetze;
    Speichern(zustand, messwert, schritte, ergebnis);
    if (schritte.Gelistet) {
        schritte.Gelistet(messwert);
    }
}

// Byte by byte, so a record completes wherever the line was cut into chunks, and a chunk that
// ends one record and begins the next keeps both.
void DatensaetzeSammeln(TProgrammZustand& zustand, std::string_view chunk, const TUhrzeit& jetzt,
                        const TMesswertSchritte& schritte, TChunkErgebnis& ergebnis) {
    for (std::size_t i = 0; i < chunk.size(); ++i) {
        if (RahmenPruefen(chunk.substr(i, 1), zustand.Messung.Rahmen)) {
            DatensatzVerarbeiten(zustand, jetzt, schritte, ergebnis);
        }
    }
}

} // namespace

TChunkErgebnis ChunkVerarbeiten(TProgrammZustand& zustand, std::string_view chunk,
                                const TUhrzeit& jetzt, const TMesswertSchritte& schritte) {
    TChunkErgebnis ergebnis;
    if (zustand.Messung.LeseModus == lmWTW) {
        DatensaetzeSammeln(zustand, chunk, jetzt, schritte, ergebnis);
    }
    const bool zeilenvorschub = chunk.find(LF) != std::string_view::npos;
    ergebnis.Anzeige = Cp850ZuText(SteuerzeichenText(chunk));
    ergebnis.MemoGeleert = MemoAnhaengen(zustand.Memo, ergebnis.Anzeige, zeilenvorschub);
    if (zustand.Messung.LeseModus == lmRS232) {
        UnformatiertEintragen(zustand.Tabelle, zustand.Messung.Akt, ergebnis.Anzeige,
                              zeilenvorschub);
    }
    return ergebnis;
}

void AnfangszustandSetzen(TProgrammZustand& zustand, const TZeitpunkt& jetzt) {
    TProgrammZustand& z = zustand;
    z.Messung.Akt.AktSpalte = z.Tabelle.FixedCols();
    z.Messung.Akt.AktZeile = z.Tabelle.FixedRows();
    z.Messung.LeseModus = lmKeiner;
    z.Memo.MemoZeilen = 0;
    z.Messung.Rahmen.InRahmen = false;
    z.Messung.Rahmen.Gerahmt = false;
    z.Konfiguration.AutoDateiname = true;
    z.Konfiguration.Ueberschreiben = false;
    z.Speicher.Art = TSpeicherArt::Aus;
    z.Konfiguration.Ausgabedatei = "Daten.txt";
    DezimalTrennzeichenSetzen(',');
    z.Messung.Messgroesse = "pH";
    z.Konfiguration.Speicherintervall = 0;
    z.AutoSpeicher.IntervallAnzahl = 0;
    z.Speicher.AnzahlGespeichert = 0;
    z.AutoSpeicher.IntervallSummeWert = 0.0;
    z.AutoSpeicher.IntervallSummeTemp = 0.0;
    z.Gleit.GleitMittelWert = 0.0;
    z.Gleit.GleitMittelTemp = 0.0;
    z.Konfiguration.AnzahlGleitMittel = 10;
    z.Konfiguration.MittelwertIntervall = false;
    z.Konfiguration.GleitendesMittel = false;
    z.Konfiguration.ZeitRaster = false;
    z.AutoSpeicher.Speicherbeginn = jetzt;
    z.AutoSpeicher.Speicherende = z.AutoSpeicher.Speicherbeginn;
    MinutenAddieren(60, z.AutoSpeicher.Speicherende);
    z.Konfiguration.Spaltenzahl = 20;
    z.Konfiguration.Spaltenbreite = 21;
    GleitMittelZuruecksetzen(z.Gleit);
}

void WTWMessungBeginnen(TProgrammZustand& zustand) {
    DesignWTWGrid(zustand);
    TMessZustand& messung = zustand.Messung;
    messung.LeseModus = lmWTW;
    messung.Rahmen = TRahmenZustand{};
    zustand.AutoSpeicher.IntervallAnzahl = 0;
    zustand.AutoSpeicher.IntervallSummeWert = 0.0;
    zustand.AutoSpeicher.IntervallSummeTemp = 0.0;
    zustand.Speicher.AnzahlGespeichert = 0;
    GleitMittelZuruecksetzen(zustand.Gleit);
    if (zustand.Verlauf != nullptr) {
        zustand.Verlauf->Leeren();
    }
}

void LeitungVerloren(TProgrammZustand& zustand) {
    zustand.Messung.Rahmen = TRahmenZustand{};
    if (zustand.Verlauf != nullptr) {
        zustand.Verlauf->Unterbrechung();
    }
}

void DesignStandardGrid(TProgrammZustand& zustand) {
    DesignStandardGrid(zustand.Tabelle, zustand.Konfiguration.Spaltenzahl,
                       zustand.Konfiguration.Spaltenbreite, zustand.Messung.Akt);
}

void DesignWTWGrid(TProgrammZustand& zustand) {
    DesignWTWGrid(zustand.Tabelle, zustand.Messung.Messgroesse, zustand.GleitAnzeigen,
                  zustand.Messung.Akt);
}

void AnzeigeLeeren(TProgrammZustand& zustand) {
    MemoLeeren(zustand.Memo);
    TabelleLeeren(zustand.Tabelle);
}
