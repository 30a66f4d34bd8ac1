// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mainwindow/ComMainForm.h"

#include "mqtt/VeroeffentlichenEinstellungen.h"
#include "serial/ComPort.h"
#include "serial/ComTexts.h"
#include "session/Sitzung.h"
#include "storage/PCZeit.h"

#include <algorithm>

// The window's part of the audit trail beside the data file (the session writes the
// measurement's events): the settings a dialog's OK changed.

// One event per setting whose value differs; the lists name the same settings in the same
// order.
void TForm1::EinstellungenProtokollieren(std::string_view dialog, const TEinstellungsListe& vorher,
                                         const TEinstellungsListe& nachher) {
    const std::size_t anzahl = std::min(vorher.size(), nachher.size());
    for (std::size_t i = 0; i < anzahl; ++i) {
        if (vorher[i].second != nachher[i].second) {
            sitzung_->EinstellungGeaendert(dialog, nachher[i].first, vorher[i].second,
                                           nachher[i].second);
        }
    }
}

namespace {

std::string JaNein(bool wert) {
    return wert ? "ja" : "nein";
}

} // namespace

// What the dialog "Speicheroptionen" sets, as the trail names it.
TForm1::TEinstellungsListe TForm1::Speicheroptionen(const TKonfiguration& k,
                                                    const TEinstellungen& einstellungen) {
    return {
        {"Dateiname automatisch", JaNein(k.AutoDateiname)},
        {"Vorhandene Datei", k.Ueberschreiben ? "überschreiben" : "anfügen"},
        {"Ausgabedatei", k.Ausgabedatei},
        {"Spaltenzahl", std::to_string(k.Spaltenzahl)},
        {"Spaltenbreite", std::to_string(k.Spaltenbreite)},
        {"Automatisch wiederverbinden", JaNein(einstellungen.AutomatischWiederverbinden)},
        {"Rohdaten aufzeichnen", JaNein(einstellungen.RohdatenAufzeichnen)},
        {"Probe, Bediener und Elektrode in die Datendatei", JaNein(einstellungen.AngabenInDatei)}};
}

// What the dialog "Veröffentlichen" sets; the password file by its name only.
TForm1::TEinstellungsListe
TForm1::Veroeffentlichenoptionen(const TVeroeffentlichenEinstellungen& e) {
    return {{"Veröffentlichen", JaNein(e.Aktiv)},
            {"Server", e.Server},
            {"Benutzer", e.Benutzer},
            {"Passwortdatei", e.PasswortDatei},
            {"CA-Datei", e.CaDatei},
            {"Arbeitsplatz", e.Arbeitsplatz},
            {"Ausgangsgrenze", std::to_string(e.OutboxGrenze)}};
}

// What the dialog "Optionen zum Autospeichern" sets.
TForm1::TEinstellungsListe TForm1::Autospeicheroptionen(const TProgrammZustand& zustand) {
    const TKonfiguration& k = zustand.Konfiguration;
    const auto mittel = k.GleitendesMittel      ? "gleitender Mittelwert"
                        : k.MittelwertIntervall ? "Mittelwert im Intervall"
                                                : "Einzelwert";
    return {{"Speicherbeginn", PCDatumZeitText(zustand.AutoSpeicher.Speicherbeginn)},
            {"Speicherende", PCDatumZeitText(zustand.AutoSpeicher.Speicherende)},
            {"Speicherintervall", std::to_string(k.Speicherintervall) + " s"},
            {"Zeitraster", JaNein(k.ZeitRaster)},
            {"Wert", mittel},
            {"Anzahl für gleitenden Mittelwert", std::to_string(k.AnzahlGleitMittel)}};
}

// What the dialog "RS232 - Optionen" sets on the port.
TForm1::TEinstellungsListe TForm1::Schnittstellenoptionen(const TComPort& port) {
    const std::string baud = port.BaudRate() == brCustom ? std::to_string(port.CustomBaudRate())
                                                         : BaudRateToText(port.BaudRate());
    return {{"Schnittstelle", port.Port()},
            {"Baudrate", baud},
            {"Datenbits", DataBitsToText(port.DataBits())},
            {"Stoppbits", StopBitsToText(port.StopBits())},
            {"Parität", ParityToText(port.Parity().Bits())},
            {"Flusssteuerung", FlowControlToText(port.FlowControl().FlowControl())}};
}
