// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// Feeds arbitrary data files and audit trails to the check of --verify. Input layout: the bytes
// before the first NUL are the data file, the bytes after it the trail (no NUL: no trail). The
// check must end with a verdict whose line numbers lie within the two files.
#include "audit/Kettenlauf.h"
#include "audit/Protokollzeile.h"
#include "audit/Pruefen.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

void Pruefen(bool bedingung) {
    if (!bedingung) {
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t groesse) {
    const std::string_view eingabe(reinterpret_cast<const char*>(bytes), groesse);
    const std::size_t nul = std::min(eingabe.find('\0'), eingabe.size());
    const std::string_view daten = eingabe.substr(0, nul);
    const std::string_view protokoll = eingabe.substr(std::min(nul + 1, eingabe.size()));

    const TKettenlauf lauf = KetteAblaufen(daten, protokoll, true);
    const TPruefung& p = lauf.Pruefung;
    const std::size_t datenzeilen = ZeilenTeilen(daten).size();
    const std::size_t protokollzeilen = ZeilenTeilen(protokoll).size();
    Pruefen(p.Datenzeilen == datenzeilen);
    Pruefen(p.ProtokollZeile <= protokollzeilen);
    Pruefen(lauf.Protokollzeilen <= protokollzeilen);
    Pruefen(p.VonZeile <= p.BisZeile);
    Pruefen((p.Befund == TPruefBefund::Unveraendert) == (p.AbZeile == 0));
    if (p.Befund == TPruefBefund::Unveraendert) {
        Pruefen(p.Erwartet == datenzeilen && lauf.Protokollzeilen > 0);
    }
    for (const TKettenwert& wert : lauf.Werte) {
        Pruefen(wert.VorZeile >= 1);
    }
    Pruefen(DatendateiPruefen(daten, protokoll).Befund == p.Befund);
    Pruefen(!PruefText(p).empty());
    return 0;
}
