// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/RohdatenEinstellungen.h"

#include "storage/RohdatenFormat.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <limits>
#include <utility>

namespace {

constexpr std::string_view Sofort = "sofort";
constexpr std::string_view Auto = "auto";
constexpr std::string_view Beginn = "Speicherbeginn";
constexpr std::string_view Ende = "Speicherende";
constexpr std::string_view Ausgabedatei = "Ausgabedatei";
constexpr std::string_view MitAngaben = "Angaben";

// The truth values and numbers of the settings, by their key.
struct TSchalter {
    std::string_view Schluessel;
    bool TKonfiguration::*Feld;
};
constexpr std::array<TSchalter, 5> Schalter = {{
    {"AutoDateiname", &TKonfiguration::AutoDateiname},
    {"Ueberschreiben", &TKonfiguration::Ueberschreiben},
    {"MittelwertIntervall", &TKonfiguration::MittelwertIntervall},
    {"GleitendesMittel", &TKonfiguration::GleitendesMittel},
    {"ZeitRaster", &TKonfiguration::ZeitRaster},
}};
struct TZahl {
    std::string_view Schluessel;
    std::uint16_t TKonfiguration::*Feld;
};
constexpr std::array<TZahl, 2> Zahlen = {{
    {"AnzahlGleitMittel", &TKonfiguration::AnzahlGleitMittel},
    {"Speicherintervall", &TKonfiguration::Speicherintervall},
}};

[[noreturn]] void Ungueltig(std::string_view schluessel, std::string_view wert) {
    throw ERohdatenFehler("Ungültiger Wert in der Rohdatenaufzeichnung: " +
                          std::string(schluessel) + "=" + std::string(wert));
}

template <typename T>
bool GanzzahlLesen(std::string_view text, T& zahl) {
    const auto [ende, fehler] = std::from_chars(text.data(), text.data() + text.size(), zahl);
    return fehler == std::errc{} && ende == text.data() + text.size();
}

// Applies one key/value pair to `k`; false for a key that is no setting.
bool Uebernehmen(TKonfiguration& k, std::string_view schluessel, std::string_view wert) {
    for (const TSchalter& s : Schalter) {
        if (s.Schluessel == schluessel) {
            if (wert != "0" && wert != "1") {
                Ungueltig(schluessel, wert);
            }
            k.*s.Feld = wert == "1";
            return true;
        }
    }
    for (const TZahl& z : Zahlen) {
        if (z.Schluessel == schluessel) {
            if (!GanzzahlLesen(wert, k.*z.Feld)) {
                Ungueltig(schluessel, wert);
            }
            return true;
        }
    }
    if (schluessel == Ausgabedatei) {
        k.Ausgabedatei = wert;
        return true;
    }
    return false;
}

std::string ZeitpunktText(const TZeitpunkt& z) {
    return std::to_string(z.Tag) + "." + std::to_string(z.Monat) + "." + std::to_string(z.Jahr) +
           " " + std::to_string(z.Stunde) + ":" + std::to_string(z.Minute) + ":" +
           std::to_string(z.Sekunde);
}

// "T.M.J h:m:s" with plain decimal numbers, as ZeitpunktText writes it.
TZeitpunkt ZeitpunktAusText(std::string_view schluessel, std::string_view text) {
    TZeitpunkt z;
    const std::array<std::int32_t*, 6> felder = {&z.Tag,    &z.Monat,  &z.Jahr,
                                                 &z.Stunde, &z.Minute, &z.Sekunde};
    constexpr std::array<char, 6> trenner = {'.', '.', ' ', ':', ':', '\0'};
    std::size_t stelle = 0;
    for (std::size_t i = 0; i < felder.size(); ++i) {
        const std::size_t ende = trenner[i] == '\0' ? text.size() : text.find(trenner[i], stelle);
        if (ende == std::string_view::npos ||
            !GanzzahlLesen(text.substr(stelle, ende - stelle), *felder[i])) {
            Ungueltig(schluessel, text);
        }
        stelle = ende + 1;
    }
    return z;
}

} // namespace

void KonfigurationEintragen(TRohWerte& werte, const TKonfiguration& konfiguration) {
    for (const TSchalter& s : Schalter) {
        werte.emplace_back(s.Schluessel, konfiguration.*s.Feld ? "1" : "0");
    }
    for (const TZahl& z : Zahlen) {
        werte.emplace_back(z.Schluessel, std::to_string(konfiguration.*z.Feld));
    }
    werte.emplace_back(Ausgabedatei, konfiguration.Ausgabedatei);
}

TRohKopf RohKopfErstellen(const std::string& anschluss, TRohWerte leitung,
                          const TKonfiguration& konfiguration) {
    TRohKopf kopf;
    kopf.ProgrammVersion = ProgrammVersion();
    kopf.Anschluss = anschluss;
    kopf.Werte = std::move(leitung);
    KonfigurationEintragen(kopf.Werte, konfiguration);
    return kopf;
}

TKonfiguration KonfigurationAuslesen(const TRohWerte& werte, TKonfiguration vorgabe) {
    for (const auto& [schluessel, wert] : werte) {
        Uebernehmen(vorgabe, schluessel, wert);
    }
    return vorgabe;
}

std::string SpeicherBeginnText(const TSpeicherBeginn& beginn) {
    std::string text(beginn.Automatisch ? Auto : Sofort);
    text += '\t';
    text += RohMaskieren(beginn.Datei); // a tab in the name would cut the fields
    TRohWerte werte;
    KonfigurationEintragen(werte, beginn.Konfiguration);
    if (beginn.Automatisch) {
        werte.emplace_back(Beginn, ZeitpunktText(beginn.Speicherbeginn));
        werte.emplace_back(Ende, ZeitpunktText(beginn.Speicherende));
    }
    if (beginn.Angaben) {
        werte.emplace_back(MitAngaben, "1");
        for (const TAngabe angabe : AlleAngaben) {
            werte.emplace_back(AngabeName(angabe), RohMaskieren((*beginn.Angaben)[angabe]));
        }
    }
    for (const auto& [schluessel, wert] : werte) {
        if (schluessel != Ausgabedatei) {
            text += '\t' + schluessel + '=' + wert;
        }
    }
    return text;
}

TSpeicherBeginn SpeicherBeginnLesen(std::string_view text, const TKonfiguration& vorgabe) {
    TSpeicherBeginn beginn;
    beginn.Konfiguration = vorgabe;
    std::size_t ende = text.find('\t');
    const std::string_view art = text.substr(0, ende);
    if (art != Sofort && art != Auto) {
        Ungueltig("SpeichernEin", art);
    }
    beginn.Automatisch = art == Auto;
    if (ende == std::string_view::npos) {
        return beginn;
    }
    std::size_t stelle = ende + 1;
    ende = text.find('\t', stelle);
    beginn.Datei = RohDemaskieren(text.substr(stelle, ende - stelle));
    while (ende != std::string_view::npos) {
        stelle = ende + 1;
        ende = text.find('\t', stelle);
        const std::string_view feld = text.substr(stelle, ende - stelle);
        const std::size_t gleich = feld.find('=');
        const std::string_view schluessel = feld.substr(0, gleich);
        const std::string_view wert =
            gleich == std::string_view::npos ? std::string_view{} : feld.substr(gleich + 1);
        if (schluessel == Beginn) {
            beginn.Speicherbeginn = ZeitpunktAusText(schluessel, wert);
        } else if (schluessel == Ende) {
            beginn.Speicherende = ZeitpunktAusText(schluessel, wert);
        } else if (schluessel == MitAngaben) {
            beginn.Angaben.reset();
            if (wert == "1") {
                beginn.Angaben.emplace();
            }
        } else if (const auto angabe = AngabeAusName(schluessel)) {
            // The values come after "Angaben=1"; on their own they switch nothing on.
            if (beginn.Angaben) {
                (*beginn.Angaben)[*angabe] = RohDemaskieren(wert);
            }
        } else if (schluessel != Ausgabedatei) {
            Uebernehmen(beginn.Konfiguration, schluessel, wert);
        }
    }
    return beginn;
}

std::string AngabeRohText(TAngabe angabe, std::string_view wert) {
    std::string text(AngabeName(angabe));
    text += '\t';
    text += wert;
    return text;
}

std::optional<std::pair<TAngabe, std::string>> AngabeRohLesen(std::string_view text) {
    const std::size_t tab = text.find('\t');
    const auto angabe =
        tab == std::string_view::npos ? std::nullopt : AngabeAusName(text.substr(0, tab));
    if (!angabe) {
        return std::nullopt;
    }
    return std::pair{*angabe, std::string(text.substr(tab + 1))};
}
