// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "reception/Tabelle.h"

#include "acquisition/Zahlformat.h"
#include "framework/Codepage.h"

#include <algorithm>

namespace {

constexpr int WTWSpalten = 5;
constexpr int WTWSpaltenbreite = 80;

enum WTWSpalte : int { spDatum = 0, spZeit = 1, spWert = 2, spEinheit = 3, spTemp = 4 };

QString TempKopf(bool gleit) {
    return gleit ? QStringLiteral("T [°C] (gleit)") : QStringLiteral("T [°C]");
}

QString Zahl(double wert) {
    return QString::fromLatin1(TabellenZahl(wert));
}

void ZeileLeeren(TTabelle& tabelle, int zeile) {
    for (int spalte = 0; spalte < tabelle.ColCount(); ++spalte) {
        tabelle.SetCell(spalte, zeile, QString());
    }
}

// The next entry goes to the last data row; the rows above make room for it.
void PlatzSchaffen(TTabelle& tabelle, TAktZelle& akt) {
    if (akt.AktZeile >= tabelle.RowCount()) {
        TabelleRollen(tabelle);
        akt.AktZeile = tabelle.RowCount() - 1;
    }
}

void NaechsteZeile(TAktZelle& akt) {
    akt.AktSpalte = 0;
    ++akt.AktZeile;
}

void ErsteZelle(const TTabelle& tabelle, TAktZelle& akt) {
    akt.AktSpalte = tabelle.FixedCols();
    akt.AktZeile = tabelle.FixedRows();
}

void WTWKoepfe(TTabelle& tabelle, const std::string& messgroesse, bool gleit) {
    tabelle.SetCell(spWert, 0, WertKopf(messgroesse, gleit));
    tabelle.SetCell(spTemp, 0, TempKopf(gleit));
}

} // namespace

TTabelle::TTabelle() {
    inhalt_.Zellen.resize(Zeilen);
}

void TTabelle::SetColCount(int anzahl) {
    inhalt_.Spalten = std::max(anzahl, 0);
    for (std::vector<QString>& zeile : inhalt_.Zellen) {
        zeile.resize(static_cast<std::size_t>(inhalt_.Spalten));
    }
    ++inhalt_.LayoutNummer;
}

void TTabelle::SetDefaultColWidth(int breite) {
    inhalt_.Breite = std::max(breite, 0);
    ++inhalt_.LayoutNummer;
}

void TTabelle::SetCell(int spalte, int zeile, const QString& text) {
    if (spalte < 0 || spalte >= inhalt_.Spalten || zeile < 0 || zeile >= Zeilen) {
        return;
    }
    inhalt_.Zellen[static_cast<std::size_t>(zeile)][static_cast<std::size_t>(spalte)] = text;
}

void DesignStandardGrid(TTabelle& tabelle, int spaltenzahl, int spaltenbreite, TAktZelle& akt) {
    tabelle.SetColCount(spaltenzahl);
    tabelle.SetDefaultColWidth(spaltenbreite);
    for (int spalte = 0; spalte < tabelle.ColCount(); ++spalte) {
        tabelle.SetCell(spalte, 0, QString::number(spalte + 1));
    }
    ErsteZelle(tabelle, akt);
}

void TabelleRollen(TTabelle& tabelle) {
    const int letzte = tabelle.RowCount() - 1;
    for (int zeile = tabelle.FixedRows(); zeile < letzte; ++zeile) {
        for (int spalte = tabelle.FixedCols(); spalte < tabelle.ColCount(); ++spalte) {
            tabelle.SetCell(spalte, zeile, tabelle.Cell(spalte, zeile + 1));
        }
    }
    ZeileLeeren(tabelle, letzte);
}

void TabelleLeeren(TTabelle& tabelle) {
    for (int zeile = tabelle.FixedRows(); zeile < tabelle.RowCount(); ++zeile) {
        ZeileLeeren(tabelle, zeile);
    }
}

void UnformatiertEintragen(TTabelle& tabelle, TAktZelle& akt, const QString& anzeige,
                           bool zeilenvorschub) {
    PlatzSchaffen(tabelle, akt);
    tabelle.SetCell(akt.AktSpalte, akt.AktZeile, anzeige);
    ++akt.AktSpalte;
    if (zeilenvorschub || akt.AktSpalte >= tabelle.ColCount()) {
        NaechsteZeile(akt);
    }
}

QString WertKopf(const std::string& messgroesse, bool gleit) {
    QString kopf = Cp850ZuText(messgroesse);
    if (gleit) {
        kopf += QStringLiteral(" (gleit)");
    }
    return kopf;
}

void DesignWTWGrid(TTabelle& tabelle, const std::string& messgroesse, bool gleit, TAktZelle& akt) {
    tabelle.SetColCount(WTWSpalten);
    tabelle.SetDefaultColWidth(WTWSpaltenbreite);
    tabelle.SetCell(spDatum, 0, QStringLiteral("Datum"));
    tabelle.SetCell(spZeit, 0, QStringLiteral("Zeit"));
    tabelle.SetCell(spEinheit, 0, QStringLiteral("Einheit"));
    WTWKoepfe(tabelle, messgroesse, gleit);
    ErsteZelle(tabelle, akt);
}

void WTWZeileEintragen(TTabelle& tabelle, TAktZelle& akt, const TMesswert& messwert,
                       const std::string& messgroesse, bool gleit, double gleitMittelWert,
                       double gleitMittelTemp) {
    PlatzSchaffen(tabelle, akt);
    const int zeile = akt.AktZeile;
    tabelle.SetCell(spDatum, zeile, Cp850ZuText(messwert.PCDatum));
    tabelle.SetCell(spZeit, zeile, Cp850ZuText(messwert.PCZeit));
    WTWKoepfe(tabelle, messgroesse, gleit);
    tabelle.SetCell(spWert, zeile, Zahl(gleit ? gleitMittelWert : messwert.Wert));
    tabelle.SetCell(spEinheit, zeile, Cp850ZuText(messwert.Einheit));
    tabelle.SetCell(spTemp, zeile, Zahl(gleit ? gleitMittelTemp : messwert.Temp));
    NaechsteZeile(akt);
}
