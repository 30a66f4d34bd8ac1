// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "app/DateinameGueltig.h"

#include <algorithm>

namespace {

constexpr std::string_view VerboteneZeichen = "\"*/:<>?\\|";

bool ZeichenGueltig(char zeichen) {
    const auto byte = static_cast<unsigned char>(zeichen);
    return byte >= 0x20 && byte <= 0x7A && VerboteneZeichen.find(zeichen) == std::string_view::npos;
}

bool Leerraum(char zeichen) {
    return static_cast<unsigned char>(zeichen) <= 0x20;
}

} // namespace

bool DateinameGueltig(std::string_view name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), ZeichenGueltig);
}

std::string Trimmen(std::string_view text) {
    const auto anfang = std::find_if_not(text.begin(), text.end(), Leerraum);
    const auto ende = std::find_if_not(text.rbegin(), text.rend(), Leerraum).base();
    return anfang < ende ? std::string(anfang, ende) : std::string();
}

std::optional<std::string> NeueAusgabedatei(std::string_view verzeichnis, std::string_view name) {
    const std::string datei = Trimmen(name);
    if (!DateinameGueltig(datei)) {
        return std::nullopt;
    }
    std::string pfad = Trimmen(verzeichnis);
    if (pfad.empty() || pfad.back() != '/') {
        pfad += '/';
    }
    return pfad + datei;
}
