// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/DateiMeldung.h"

#include "storage/EInOutError.h"
#include "storage/PCZeit.h"

namespace {

std::string Kopf(const TDateiWorte& worte, const std::string& pfad) {
    return std::string(worte.Datei) + " " + InAnfuehrung(pfad);
}

} // namespace

std::string AnzahlText(std::uint64_t anzahl, std::string_view einzahl, std::string_view mehrzahl) {
    return std::to_string(anzahl) + " " + std::string(anzahl == 1 ? einzahl : mehrzahl);
}

std::string InAnfuehrung(std::string_view text) {
    return "„" + std::string(text) + "“";
}

std::string FehlerMitDetail(int fehler) {
    return EInOutError::AusErrno(fehler).MitDetail();
}

TDateiMeldung StoerungsMeldung(const TDateiWorte& worte, const std::string& pfad,
                               const TUhrzeit& seit, int fehler) {
    return {TDateiMeldung::TArt::Stoerung,
            Kopf(worte, pfad) + " seit " + PCDatumText(seit.Lokal) + " " + PCZeitText(seit.Lokal) +
                " nicht beschreibbar: " + FehlerMitDetail(fehler) +
                ". Was folgt, wird im Speicher aufbewahrt und geschrieben, sobald es wieder geht.",
            fehler};
}

TDateiMeldung BehobenMeldung(const TDateiWorte& worte, const std::string& pfad,
                             std::uint64_t geschrieben, std::uint64_t verloren) {
    return {TDateiMeldung::TArt::Behoben,
            Kopf(worte, pfad) + " wieder beschreibbar: " +
                AnzahlText(geschrieben, worte.Spaete, worte.SpaeteMehrere) + " geschrieben, " +
                std::to_string(verloren) + " verloren.",
            0};
}

TDateiMeldung ErsetztMeldung(const TDateiWorte& worte, const std::string& pfad, bool angelegt,
                             int fehler) {
    std::string text = Kopf(worte, pfad) + " ist gelöscht, verschoben oder ersetzt worden; ";
    if (fehler != 0) {
        text += "der Name lässt sich nicht wieder öffnen: " + FehlerMitDetail(fehler) +
                ". Es wird jede Sekunde erneut versucht; bis dahin geht alles in die alte Datei.";
    } else if (angelegt) {
        text += "sie ist neu angelegt, alles Weitere geht dort hinein.";
    } else {
        text += "alles Weitere geht in die Datei, die jetzt unter diesem Namen liegt.";
    }
    return {TDateiMeldung::TArt::Ersetzt, std::move(text), fehler};
}

TDateiMeldung SyncMeldung(const TDateiWorte& worte, const std::string& pfad, int fehler) {
    return {TDateiMeldung::TArt::SyncFehler,
            Kopf(worte, pfad) + ": Das Geschriebene ließ sich nicht auf den Datenträger bringen: " +
                FehlerMitDetail(fehler) +
                ". Was in der Sekunde davor geschrieben wurde, ist womöglich nicht gesichert.",
            fehler};
}

std::string VerlustText(const TDateiWorte& worte, const std::string& pfad, std::uint64_t verloren,
                        int fehler) {
    return Kopf(worte, pfad) + " geschlossen; " +
           AnzahlText(verloren, worte.Einheit, worte.Einheiten) +
           (verloren == 1 ? " ließ" : " ließen") + " sich nicht mehr schreiben und " +
           (verloren == 1 ? "ist" : "sind") + " verloren: " + FehlerMitDetail(fehler) + ".";
}
