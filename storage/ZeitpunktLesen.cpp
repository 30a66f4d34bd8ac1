// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/ZeitpunktLesen.h"

#include "acquisition/Zahlwandlung.h"

#include <charconv>

namespace {

// The part of `rest` before the first `trenner`; `rest` keeps what follows it.
std::optional<std::string_view> TeilBis(std::string_view& rest, char trenner) {
    const std::size_t stelle = rest.find(trenner);
    if (stelle == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view teil = rest.substr(0, stelle);
    rest.remove_prefix(stelle + 1);
    return teil;
}

struct TDreiZahlen {
    std::int32_t Erste;
    std::int32_t Zweite;
    std::int32_t Dritte;
};

std::optional<TDreiZahlen> DatumTeile(std::string_view rest) {
    const auto tagText = TeilBis(rest, '.');
    const auto tag = tagText ? GanzzahlLesen(*tagText) : std::nullopt;
    const auto monatText = tag ? TeilBis(rest, '.') : std::nullopt;
    const auto monat = monatText ? GanzzahlLesen(*monatText) : std::nullopt;
    const auto jahr = monat ? GanzzahlLesen(rest) : std::nullopt;
    if (!jahr) {
        return std::nullopt;
    }
    return TDreiZahlen{*tag, *monat, *jahr};
}

std::optional<TDreiZahlen> ZeitTeile(std::string_view rest) {
    const auto stundeText = TeilBis(rest, ':');
    if (!stundeText) {
        return std::nullopt;
    }
    const auto stunde = GanzzahlLesen(LeerzeichenEntfernen(*stundeText));
    std::optional<std::int32_t> minute;
    std::optional<std::int32_t> sekunde = 0;
    if (const auto minuteText = TeilBis(rest, ':')) {
        minute = GanzzahlLesen(LeerzeichenEntfernen(*minuteText));
        sekunde = GanzzahlLesen(LeerzeichenEntfernen(rest));
    } else {
        minute = GanzzahlLesen(LeerzeichenEntfernen(rest));
    }
    if (!stunde || !minute || !sekunde) {
        return std::nullopt;
    }
    return TDreiZahlen{*stunde, *minute, *sekunde};
}

} // namespace

std::optional<std::int32_t> GanzzahlLesen(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (text.empty() || text.front() < '0' || text.front() > '9') {
            return std::nullopt;
        }
    }
    std::int32_t zahl = 0;
    const char* const ende = text.data() + text.size();
    const auto [stelle, fehler] = std::from_chars(text.data(), ende, zahl, 10);
    if (fehler != std::errc{} || stelle != ende) {
        return std::nullopt;
    }
    return zahl;
}

void DatumLesen(std::string_view text, TZeitpunkt& zeitpunkt) {
    const auto teile = DatumTeile(text);
    zeitpunkt.Tag = teile ? teile->Erste : -1;
    zeitpunkt.Monat = teile ? teile->Zweite : -1;
    zeitpunkt.Jahr = teile ? teile->Dritte : -1;
}

void ZeitLesen(std::string_view text, TZeitpunkt& zeitpunkt) {
    const auto teile = ZeitTeile(text);
    zeitpunkt.Stunde = teile ? teile->Erste : -1;
    zeitpunkt.Minute = teile ? teile->Zweite : -1;
    zeitpunkt.Sekunde = teile ? teile->Dritte : -1;
}

std::string MitNullen(std::int64_t zahl, int stellen) {
    // The magnitude as unsigned number, so that the smallest 64-bit number has one too.
    const std::uint64_t betrag =
        zahl < 0 ? 0U - static_cast<std::uint64_t>(zahl) : static_cast<std::uint64_t>(zahl);
    std::string ziffern = std::to_string(betrag);
    if (static_cast<int>(ziffern.size()) < stellen) {
        ziffern.insert(0, static_cast<std::size_t>(stellen) - ziffern.size(), '0');
    }
    return zahl < 0 ? "-" + ziffern : ziffern;
}

std::string ZeitText(const TZeitpunkt& zeitpunkt) {
    return MitNullen(zeitpunkt.Stunde, 2) + ":" + MitNullen(zeitpunkt.Minute, 2) + ":" +
           MitNullen(zeitpunkt.Sekunde, 2);
}
