// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mqtt/Themen.h"

#include <array>
#include <vector>

namespace {

constexpr std::string_view Wurzel = "quorlits/v1/";
constexpr std::array<std::string_view, 4> ArtNamen = {"reading", "event", "status", "ack"};

// The length of the valid UTF-8 sequence at the start of `text` (at least two bytes), 0 when
// there is none.
std::size_t Utf8Laenge(std::string_view text) {
    const auto erstes = static_cast<unsigned char>(text[0]);
    const std::size_t laenge = erstes >= 0xF0 ? 4 : erstes >= 0xE0 ? 3 : erstes >= 0xC2 ? 2 : 0;
    if (laenge == 0 || erstes > 0xF4 || text.size() < laenge) {
        return 0;
    }
    for (std::size_t i = 1; i < laenge; ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0U) != 0x80U) {
            return 0;
        }
    }
    const auto zweites = static_cast<unsigned char>(text[1]);
    // Overlong forms, surrogates and code points beyond U+10FFFF.
    if ((erstes == 0xE0 && zweites < 0xA0) || (erstes == 0xED && zweites > 0x9F) ||
        (erstes == 0xF0 && zweites < 0x90) || (erstes == 0xF4 && zweites > 0x8F)) {
        return 0;
    }
    return laenge;
}

void Prozent(std::string& ziel, unsigned char byte) {
    constexpr std::string_view Ziffern = "0123456789ABCDEF";
    ziel.push_back('%');
    ziel.push_back(Ziffern[byte >> 4]);
    ziel.push_back(Ziffern[byte & 0x0FU]);
}

int Hex(char zeichen) {
    if (zeichen >= '0' && zeichen <= '9') {
        return zeichen - '0';
    }
    if (zeichen >= 'A' && zeichen <= 'F') {
        return zeichen - 'A' + 10;
    }
    return -1;
}

std::vector<std::string_view> Ebenen(std::string_view thema) {
    std::vector<std::string_view> teile;
    std::size_t anfang = 0;
    for (std::size_t strich = thema.find('/'); strich != std::string_view::npos;
         strich = thema.find('/', anfang)) {
        teile.push_back(thema.substr(anfang, strich - anfang));
        anfang = strich + 1;
    }
    teile.push_back(thema.substr(anfang));
    return teile;
}

} // namespace

std::string ThemenEbene(std::string_view text) {
    if (text.empty()) {
        return "%"; // no escape is a lone '%'
    }
    if (text == "." || text == "..") {
        return text.size() == 1 ? "%2E" : "%2E%2E";
    }
    std::string ebene;
    ebene.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x80) {
            const std::size_t laenge = Utf8Laenge(text.substr(i));
            if (laenge > 0) {
                ebene.append(text.substr(i, laenge));
                i += laenge;
                continue;
            }
        }
        const bool besonders = byte < 0x20 || byte >= 0x7F || byte == '%' || byte == '/' ||
                               byte == '+' || byte == '#' || byte == '$';
        if (besonders) {
            Prozent(ebene, byte);
        } else {
            ebene.push_back(static_cast<char>(byte));
        }
        ++i;
    }
    return ebene;
}

std::string ThemenEbeneLesen(std::string_view ebene) {
    std::string text;
    text.reserve(ebene.size());
    for (std::size_t i = 0; i < ebene.size(); ++i) {
        if (ebene[i] == '%' && i + 2 < ebene.size() && Hex(ebene[i + 1]) >= 0 &&
            Hex(ebene[i + 2]) >= 0) {
            text.push_back(static_cast<char>(Hex(ebene[i + 1]) * 16 + Hex(ebene[i + 2])));
            i += 2;
        } else {
            text.push_back(ebene[i]);
        }
    }
    return ebene == "%" ? std::string() : text;
}

std::string Thema(std::string_view bench, std::string_view meter, TThemenArt art) {
    std::string thema(Wurzel);
    thema += ThemenEbene(bench);
    thema.push_back('/');
    thema += ThemenEbene(meter);
    thema.push_back('/');
    thema += ArtNamen[static_cast<std::size_t>(art)];
    return thema;
}

std::string AlleThemen(TThemenArt art) {
    return std::string(Wurzel) + "+/+/" + std::string(ArtNamen[static_cast<std::size_t>(art)]);
}

bool ThemaZerlegen(std::string_view thema, TThemenTeile& teile) {
    if (thema.substr(0, Wurzel.size()) != Wurzel) {
        return false;
    }
    const std::vector<std::string_view> ebenen = Ebenen(thema.substr(Wurzel.size()));
    if (ebenen.size() != 3) {
        return false;
    }
    for (std::size_t art = 0; art < ArtNamen.size(); ++art) {
        if (ebenen[2] == ArtNamen[art]) {
            teile.Bench = ThemenEbeneLesen(ebenen[0]);
            teile.Meter = ThemenEbeneLesen(ebenen[1]);
            teile.Art = static_cast<TThemenArt>(art);
            return true;
        }
    }
    return false;
}
