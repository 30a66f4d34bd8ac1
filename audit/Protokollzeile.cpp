// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "audit/Protokollzeile.h"

#include "framework/IsoZeit.h"
#include "framework/Teile.h"

#include <charconv>

namespace {

std::string Maskiert(std::string_view feld) {
    std::string text;
    text.reserve(feld.size());
    for (const char c : feld) {
        switch (c) {
        case '\t':
            text += "\\t";
            break;
        case '\n':
            text += "\\n";
            break;
        case '\r':
            text += "\\r";
            break;
        case '\\':
            text += "\\\\";
            break;
        default:
            text += c;
        }
    }
    return text;
}

} // namespace

std::string ProtokollPfad(const std::string& datendatei) {
    return datendatei + ".protokoll";
}

std::string ProtokollZeit(const TUhrzeit& zeit) {
    return IsoZeitText(zeit.UtcMs, zeit.UtcVersatz, false);
}

std::string ZeilenAnfang(const TProtokollZeile& zeile) {
    std::string text;
    for (const std::string* feld :
         {&zeile.Zeit, &zeile.Login, &zeile.Host, &zeile.Ereignis, &zeile.Details}) {
        text += Maskiert(*feld);
        text += '\t';
    }
    return text + std::to_string(zeile.Datenzeilen) + '\t';
}

std::optional<TProtokollZeile> ProtokollZeileLesen(std::string_view zeile) {
    const std::vector<std::string_view> felder = Teile(zeile, '\t');
    if (felder.size() != 7) {
        return std::nullopt;
    }
    TProtokollZeile gelesen{std::string(felder[0]), std::string(felder[1]), std::string(felder[2]),
                            std::string(felder[3]), std::string(felder[4]), 0,
                            std::string(felder[6])};
    const std::string_view zahl = felder[5];
    const auto [ende, fehler] =
        std::from_chars(zahl.data(), zahl.data() + zahl.size(), gelesen.Datenzeilen);
    if (zahl.empty() || fehler != std::errc() || ende != zahl.data() + zahl.size() ||
        gelesen.Kette.size() != 64) {
        return std::nullopt;
    }
    return gelesen;
}

std::vector<std::string_view> ZeilenTeilen(std::string_view text) {
    std::vector<std::string_view> zeilen;
    while (!text.empty()) {
        const std::size_t ende = text.find('\n');
        const std::size_t laenge = ende == std::string_view::npos ? text.size() : ende + 1;
        zeilen.push_back(text.substr(0, laenge));
        text.remove_prefix(laenge);
    }
    return zeilen;
}
