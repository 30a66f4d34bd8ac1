// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "audit/Pruefen.h"

#include "audit/Protokollzeile.h"
#include "audit/VorhandeneDatei.h"
#include "framework/Meldung.h"

#include <utility>

std::string ZeilenBereich(std::size_t von, std::size_t bis) {
    return von == bis ? "Zeile " + std::to_string(von)
                      : "Zeilen " + std::to_string(von) + "–" + std::to_string(bis);
}

TPruefung DatendateiPruefen(std::string_view daten, std::string_view protokoll) {
    return KetteAblaufen(daten, protokoll).Pruefung;
}

std::string PruefText(const TPruefung& p) {
    const std::string protokollZeile = "Protokollzeile " + std::to_string(p.ProtokollZeile);
    const std::string daten =
        p.VonZeile == 0 ? std::string() : ZeilenBereich(p.VonZeile, p.BisZeile) + " der Datendatei";
    const std::string teil = daten.empty() ? protokollZeile : daten + " oder " + protokollZeile;
    const std::string zahlen = " (die Kette umfasst " + std::to_string(p.Erwartet) +
                               " Zeilen, die Datei hat " + std::to_string(p.Datenzeilen) + ")";
    switch (p.Befund) {
    case TPruefBefund::Unveraendert:
        return "unverändert: " + std::to_string(p.Datenzeilen) + " Zeilen, Kette bis " + p.KetteBis;
    case TPruefBefund::Geaendert:
        return "geändert: " + teil + " passt nicht zur Kette";
    case TPruefBefund::Fehlt:
        return "fehlt: in " + daten + " fehlen Zeilen der Kette (bis " + protokollZeile + ")" +
               zahlen;
    case TPruefBefund::Hinzugefuegt:
        if (p.ProtokollZeile == 0) {
            return "hinzugefügt: " + ZeilenBereich(p.VonZeile, p.BisZeile) +
                   " der Datendatei: ohne Protokolleintrag";
        }
        return "hinzugefügt: in " + daten + " kamen Zeilen hinzu (bis " + protokollZeile + ")" +
               zahlen;
    case TPruefBefund::ProtokollFehlt:
        return "nicht prüfbar: kein Protokoll mit einer Kette";
    case TPruefBefund::ProtokollBeschaedigt:
        return "geändert: " + protokollZeile + " ist unvollständig oder beschädigt";
    }
    return {};
}

std::optional<TDateiMitProtokoll> DateiMitProtokollLesen(const std::string& datei,
                                                         std::FILE* ausgabe) {
    std::optional<std::string> daten = VorhandeneDateiLesen(datei);
    if (!daten) {
        std::fprintf(ausgabe, "%s: Datei nicht gefunden\n", datei.c_str());
        return std::nullopt;
    }
    return TDateiMitProtokoll{std::move(*daten),
                              VorhandeneDateiLesen(ProtokollPfad(datei)).value_or(std::string())};
}

int PruefenBefehl(const std::string& datei, std::FILE* ausgabe) {
    try {
        const auto dateien = DateiMitProtokollLesen(datei, ausgabe);
        if (!dateien) {
            return 1;
        }
        const TPruefung pruefung = DatendateiPruefen(dateien->Daten, dateien->Protokoll);
        std::fprintf(ausgabe, "%s: %s\n", datei.c_str(), PruefText(pruefung).c_str());
        return pruefung.Befund == TPruefBefund::Unveraendert ? 0 : 4;
    } catch (...) {
        std::fprintf(ausgabe, "%s: %s\n", datei.c_str(),
                     MeldungsText(std::current_exception()).c_str());
        return 1;
    }
}
