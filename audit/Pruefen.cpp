// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "audit/Pruefen.h"

#include "audit/Kette.h"
#include "audit/Protokoll.h"
#include "audit/Protokollzeile.h"
#include "audit/VorhandeneDatei.h"
#include "framework/Meldung.h"

#include <optional>
#include <vector>

namespace {

struct TGelesen {
    std::string_view Anfang; // the bytes the chain hashes
    TProtokollZeile Zeile;
};

// The trail's lines from its last chain start on; the index of the first that is not whole and
// well-formed, if any.
struct TKettenteil {
    std::vector<TGelesen> Zeilen;
    std::size_t ErsteNummer = 0; // the trail line number of Zeilen[0]
    std::optional<std::size_t> Kaputt;
};

std::optional<TGelesen> Lesen(std::string_view zeile) {
    if (!zeile.ends_with('\n')) {
        return std::nullopt;
    }
    zeile.remove_suffix(1);
    auto gelesen = ProtokollZeileLesen(zeile);
    if (!gelesen || !TKette::AusHex(gelesen->Kette)) {
        return std::nullopt;
    }
    return TGelesen{zeile.substr(0, zeile.rfind('\t') + 1), std::move(*gelesen)};
}

TKettenteil KettenteilLesen(std::string_view protokoll) {
    const std::vector<std::string_view> zeilen = ZeilenTeilen(protokoll);
    std::size_t beginn = zeilen.size();
    for (std::size_t i = zeilen.size(); i-- > 0;) {
        const auto gelesen = Lesen(zeilen[i]);
        if (gelesen && gelesen->Zeile.Ereignis == KetteBegonnen) {
            beginn = i;
            break;
        }
    }
    TKettenteil teil;
    teil.ErsteNummer = beginn + 1;
    for (std::size_t i = beginn; i < zeilen.size(); ++i) {
        auto gelesen = Lesen(zeilen[i]);
        if (!gelesen) {
            teil.Kaputt = i + 1;
            break;
        }
        teil.Zeilen.push_back(std::move(*gelesen));
    }
    return teil;
}

// Where a part of the chain that does not fit lies, and what kind of difference it is.
TPruefung Abweichung(TPruefung pruefung, std::size_t von, std::size_t bis, std::size_t nummer) {
    pruefung.Befund = pruefung.Datenzeilen < pruefung.Erwartet   ? TPruefBefund::Fehlt
                      : pruefung.Datenzeilen > pruefung.Erwartet ? TPruefBefund::Hinzugefuegt
                                                                 : TPruefBefund::Geaendert;
    pruefung.VonZeile = von < bis ? von + 1 : 0;
    pruefung.BisZeile = von < bis ? bis : 0;
    pruefung.ProtokollZeile = nummer;
    return pruefung;
}

std::string Bereich(std::size_t von, std::size_t bis) {
    return von == bis ? "Zeile " + std::to_string(von)
                      : "Zeilen " + std::to_string(von) + "–" + std::to_string(bis);
}

} // namespace

TPruefung DatendateiPruefen(std::string_view daten, std::string_view protokoll) {
    const std::vector<std::string_view> datenzeilen = ZeilenTeilen(daten);
    const TKettenteil teil = KettenteilLesen(protokoll);
    TPruefung pruefung;
    pruefung.Datenzeilen = datenzeilen.size();
    if (teil.Zeilen.empty() && !teil.Kaputt) {
        pruefung.Befund = TPruefBefund::ProtokollFehlt;
        return pruefung;
    }
    if (teil.Kaputt) {
        pruefung.Befund = TPruefBefund::ProtokollBeschaedigt;
        pruefung.ProtokollZeile = *teil.Kaputt;
        return pruefung;
    }
    pruefung.Erwartet = teil.Zeilen.back().Zeile.Datenzeilen;
    TKette kette;
    std::size_t gedeckt = 0;
    for (std::size_t i = 0; i < teil.Zeilen.size(); ++i) {
        const TGelesen& zeile = teil.Zeilen[i];
        const std::size_t bis = zeile.Zeile.Datenzeilen;
        const std::size_t nummer = teil.ErsteNummer + i;
        if (bis < gedeckt) {
            pruefung.Befund = TPruefBefund::ProtokollBeschaedigt;
            pruefung.ProtokollZeile = nummer;
            return pruefung;
        }
        for (std::size_t z = gedeckt; z < bis && z < datenzeilen.size(); ++z) {
            kette.Anhaengen(datenzeilen[z]);
        }
        kette.Anhaengen(zeile.Anfang);
        if (bis > datenzeilen.size() || kette.Hex() != zeile.Zeile.Kette) {
            return Abweichung(pruefung, gedeckt, bis, nummer);
        }
        gedeckt = bis;
    }
    if (datenzeilen.size() > gedeckt) {
        pruefung.Befund = TPruefBefund::Hinzugefuegt;
        pruefung.VonZeile = gedeckt + 1;
        pruefung.BisZeile = datenzeilen.size();
        return pruefung;
    }
    pruefung.KetteBis = teil.Zeilen.back().Zeile.Zeit;
    return pruefung;
}

std::string PruefText(const TPruefung& p) {
    const std::string protokollZeile = "Protokollzeile " + std::to_string(p.ProtokollZeile);
    const std::string daten =
        p.VonZeile == 0 ? std::string() : Bereich(p.VonZeile, p.BisZeile) + " der Datendatei";
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
            return "hinzugefügt: " + Bereich(p.VonZeile, p.BisZeile) +
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

int PruefenBefehl(const std::string& datei, std::FILE* ausgabe) {
    try {
        const auto daten = VorhandeneDateiLesen(datei);
        if (!daten) {
            std::fprintf(ausgabe, "%s: Datei nicht gefunden\n", datei.c_str());
            return 1;
        }
        const std::string protokoll =
            VorhandeneDateiLesen(ProtokollPfad(datei)).value_or(std::string());
        const TPruefung pruefung = DatendateiPruefen(*daten, protokoll);
        std::fprintf(ausgabe, "%s: %s\n", datei.c_str(), PruefText(pruefung).c_str());
        return pruefung.Befund == TPruefBefund::Unveraendert ? 0 : 4;
    } catch (...) {
        std::fprintf(ausgabe, "%s: %s\n", datei.c_str(),
                     MeldungsText(std::current_exception()).c_str());
        return 1;
    }
}
