// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "chart/DatenExport.h"

#include "acquisition/Zahlformat.h"
#include "chart/Ausduennung.h"
#include "framework/Codepage.h"
#include "storage/Datenzeile.h"
#include "storage/PCZeit.h"
#include "storage/Uhr.h"

#include <string>

namespace {

constexpr std::size_t Stueckgroesse = 64 * 1024;
constexpr std::string_view GradCelsius = "\xB0"
                                         "C"; // Windows-1252

// The meter's unit (code page 850) in Windows-1252: µ becomes 0xB5. Units hold nothing beyond
// Latin-1, where the two code pages agree.
std::string EinheitWindows1252(const std::string& einheit) {
    return Cp850ZuText(einheit).toLatin1().toStdString();
}

std::string Kopf(bool mittel) {
    std::string kopf = KopfZeile(TWertArt::Messwert, false);
    if (mittel) {
        kopf.insert(kopf.size() - 2, "\tG-Wert");
    }
    return kopf;
}

void ZeileAnhaengen(std::string& text, const TVerlaufPunkt& punkt, const std::string& einheit,
                    int stellen, bool mittel, char trenner) {
    const TPCZeitstempel stempel = PCZeitstempel(UhrzeitAusUtc(punkt.UtcMs).Lokal);
    text += stempel.Datum;
    text += '\t';
    text += stempel.Zeit;
    text += '\t';
    text += Festkomma(punkt.Wert, 6, stellen, trenner);
    text += '\t';
    text += einheit;
    text += '\t';
    if (punkt.MitTemperatur()) {
        text += Festkomma(punkt.Temp, 6, 2, trenner);
        text += '\t';
        text += GradCelsius;
    } else {
        text += '\t';
    }
    if (mittel) {
        text += '\t';
        text += Festkomma(punkt.Mittel, 6, stellen, trenner);
    }
    text += "\r\n";
}

} // namespace

void DatenExportSchreiben(const TVerlaufReihe& reihe, double vonMs, double bisMs, bool mittel,
                          char trenner, const std::function<void(std::string_view)>& schreiben) {
    std::string text = Kopf(mittel);
    const std::string einheit = EinheitWindows1252(reihe.Einheit);
    const int stellen = Nachkommastellen(reihe);
    const auto [von, bis] = PunkteIm(reihe.Punkte, vonMs, bisMs);
    reihe.Punkte.Abschnitte(von, bis, [&](const TVerlaufPunkt* p, const TVerlaufPunkt* ende) {
        for (; p != ende; ++p) {
            ZeileAnhaengen(text, *p, einheit, stellen, mittel, trenner);
            if (text.size() >= Stueckgroesse) {
                schreiben(text);
                text.clear();
            }
        }
    });
    schreiben(text);
}
