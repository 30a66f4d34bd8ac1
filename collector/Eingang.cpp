// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "collector/Eingang.h"

#include "collector/DatenbankText.h"
#include "mqtt/Nutzlast.h"
#include "mqtt/Themen.h"

namespace {

// The name as the tables keep it: the decoded level, or the level as it came when the name is
// empty (a bench without a name publishes under "%") or no text PostgreSQL takes.
std::string Name(const std::string& gelesen) {
    return !gelesen.empty() && DatenbankText(gelesen) == gelesen ? gelesen : ThemenEbene(gelesen);
}

// The topic for a message on standard error: one line, no control characters of the sender.
std::string Lesbar(std::string_view thema) {
    std::string text = DatenbankText(thema);
    for (char& zeichen : text) {
        zeichen = static_cast<unsigned char>(zeichen) < 0x20 || zeichen == 0x7F ? '?' : zeichen;
    }
    return text;
}

} // namespace

std::optional<TEingang> EingangLesen(std::string_view thema, std::string_view inhalt,
                                     std::string& meldung) {
    TThemenTeile teile;
    if (!ThemaZerlegen(thema, teile) ||
        (teile.Art != TThemenArt::Messwert && teile.Art != TThemenArt::Ereignis)) {
        return std::nullopt;
    }
    TEingang eingang{Name(teile.Bench),
                     Name(teile.Meter),
                     teile.Art == TThemenArt::Ereignis,
                     {},
                     0,
                     std::string(inhalt),
                     {}};
    TNachrichtKennung kennung;
    if (NutzlastPruefen(inhalt, eingang.Ereignis, kennung, eingang.Fehler)) {
        eingang.Fehler.clear();
    } else if (kennung.Seq == 0) {
        meldung =
            "Nachricht auf " + Lesbar(thema) + " ohne Messung und seq verworfen: " + eingang.Fehler;
        return std::nullopt;
    }
    eingang.Messung = kennung.Messung;
    eingang.Seq = kennung.Seq;
    return eingang;
}
