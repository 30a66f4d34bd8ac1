// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/Datenzeile.h"

#include "acquisition/Zeichensatz.h"

namespace {

constexpr std::string_view Tab = "\t";
constexpr std::string_view Zeilenende = "\r\n";
constexpr std::string_view GradCelsius = "\xB0"
                                         "C"; // Windows-1252 degree sign, then "C"

std::string_view Praefix(TWertArt art) {
    switch (art) {
    case TWertArt::Intervallmittel:
        return "M-";
    case TWertArt::GleitendesMittel:
        return "G-";
    case TWertArt::Messwert:
        break;
    }
    return "";
}

// Appends each field behind a tab.
template <typename... Felder>
void FelderAnhaengen(std::string& zeile, const Felder&... felder) {
    ((zeile += Tab, zeile += felder), ...);
}

} // namespace

std::string KopfZeile(TWertArt art, bool gerahmt) {
    const std::string p(Praefix(art));
    std::string zeile = "PC-Datum";
    FelderAnhaengen(zeile, "PC-Zeit");
    if (gerahmt) {
        FelderAnhaengen(zeile, "Datum", "Zeit");
    }
    FelderAnhaengen(zeile, p + "Wert", "Einheit", p + "Temp.", "Einheit");
    if (gerahmt) {
        FelderAnhaengen(zeile, "Tref", "TCKoeff");
    }
    zeile += Zeilenende;
    return zeile;
}

std::string DatenZeile(const TMesswert& messwert, std::string_view pcZeit, double wert, double temp,
                       char trenner) {
    std::string zeile;
    zeile.reserve(96);
    zeile += messwert.PCDatum;
    FelderAnhaengen(zeile, pcZeit);
    // The meter's texts come in its code page; the file is Windows-1252.
    if (messwert.Gerahmt) {
        FelderAnhaengen(zeile, Cp850ZuWindows1252(messwert.Datum),
                        Cp850ZuWindows1252(messwert.Zeit));
    }
    FelderAnhaengen(zeile, Festkomma(wert, 6, 2, trenner), Cp850ZuWindows1252(messwert.Einheit),
                    Festkomma(temp, 6, 2, trenner), GradCelsius);
    if (messwert.Gerahmt) {
        FelderAnhaengen(zeile, Festkomma(messwert.Tref, 5, 2, trenner),
                        Festkomma(messwert.TCKoeff, 6, 3, trenner));
    }
    zeile += Zeilenende;
    return zeile;
}

std::string DatenZeile(const TMesswert& messwert, char trenner) {
    return DatenZeile(messwert, messwert.PCZeit, messwert.Wert, messwert.Temp, trenner);
}

namespace {

template <typename... Felder>
void VorZeilenende(std::string& zeile, const Felder&... felder) {
    if (zeile.ends_with(Zeilenende)) {
        zeile.resize(zeile.size() - Zeilenende.size());
    }
    FelderAnhaengen(zeile, felder...);
    zeile += Zeilenende;
}

} // namespace

void AngabenKopfAnhaengen(std::string& kopf) {
    VorZeilenende(kopf, AngabeName(TAngabe::Probe), AngabeName(TAngabe::Bediener),
                  AngabeName(TAngabe::Elektrode));
}

void AngabenAnhaengen(std::string& zeile, const TAngaben& angaben) {
    VorZeilenende(zeile, AngabeFeld(angaben.Probe), AngabeFeld(angaben.Bediener),
                  AngabeFeld(angaben.Elektrode));
}
