// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "publish/AusgangSatz.h"

#include "storage/RohdatenFormat.h"

namespace {

constexpr std::size_t KopfLaenge = 5;  // kind and length
constexpr std::size_t PruefLaenge = 4; // the CRC

void TextAnhaengen(std::string& puffer, std::string_view text) {
    RohZahlAnhaengen(puffer, text.size(), 4);
    puffer.append(text);
}

// A text of the payload at `stelle`, which moves past it; false when it runs over the end.
bool TextLesen(std::string_view daten, std::size_t& stelle, std::string& text) {
    if (daten.size() - stelle < 4) {
        return false;
    }
    const std::uint64_t laenge = RohZahlLesen(daten.substr(stelle), 4);
    stelle += 4;
    if (daten.size() - stelle < laenge) {
        return false;
    }
    text.assign(daten.substr(stelle, laenge));
    stelle += laenge;
    return true;
}

} // namespace

std::string AusgangsSatzText(const TAusgangsSatz& satz) {
    std::string nutz;
    RohZahlAnhaengen(nutz, satz.Seq, 8);
    TextAnhaengen(nutz, satz.Messung);
    if (satz.Art == TAusgangsArt::Luecke) {
        RohZahlAnhaengen(nutz, satz.VonSeq, 8);
    }
    if (satz.Art != TAusgangsArt::Quittung) {
        TextAnhaengen(nutz, satz.Thema);
        nutz += satz.Inhalt;
    }
    std::string text;
    text.reserve(KopfLaenge + nutz.size() + PruefLaenge);
    text.push_back(static_cast<char>(satz.Art));
    RohZahlAnhaengen(text, nutz.size(), 4);
    text += nutz;
    RohZahlAnhaengen(text, Crc32(text), 4);
    return text;
}

std::optional<std::size_t> AusgangsSatzLaenge(std::string_view daten) {
    if (daten.size() < KopfLaenge) {
        return std::nullopt;
    }
    const std::uint64_t nutz = RohZahlLesen(daten.substr(1), 4);
    return KopfLaenge + std::min<std::uint64_t>(nutz, AusgangHoechsteLaenge + 1) + PruefLaenge;
}

std::optional<TAusgangsSatz> AusgangsSatzLesen(std::string_view daten) {
    const std::optional<std::size_t> laenge = AusgangsSatzLaenge(daten);
    if (!laenge || *laenge != daten.size() ||
        daten.size() > KopfLaenge + AusgangHoechsteLaenge + PruefLaenge) {
        return std::nullopt;
    }
    const std::string_view ohnePruefsumme = daten.substr(0, daten.size() - PruefLaenge);
    if (Crc32(ohnePruefsumme) != RohZahlLesen(daten.substr(ohnePruefsumme.size()), 4)) {
        return std::nullopt;
    }
    TAusgangsSatz satz;
    const auto art = static_cast<unsigned char>(daten[0]);
    if (art < 1 || art > 3) {
        return std::nullopt;
    }
    satz.Art = static_cast<TAusgangsArt>(art);
    const std::string_view nutz = ohnePruefsumme.substr(KopfLaenge);
    if (nutz.size() < 8) {
        return std::nullopt;
    }
    satz.Seq = RohZahlLesen(nutz, 8);
    std::size_t stelle = 8;
    if (!TextLesen(nutz, stelle, satz.Messung)) {
        return std::nullopt;
    }
    if (satz.Art == TAusgangsArt::Luecke) {
        if (nutz.size() - stelle < 8) {
            return std::nullopt;
        }
        satz.VonSeq = RohZahlLesen(nutz.substr(stelle), 8);
        stelle += 8;
        if (satz.VonSeq < 1 || satz.VonSeq > satz.Seq) {
            return std::nullopt;
        }
    }
    if (satz.Art != TAusgangsArt::Quittung) {
        if (!TextLesen(nutz, stelle, satz.Thema)) {
            return std::nullopt;
        }
        satz.Inhalt.assign(nutz.substr(stelle));
    } else if (stelle != nutz.size()) {
        return std::nullopt;
    }
    return satz;
}
