// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mqtt/Themen.h"

#include "framework/Teile.h"

#include <QByteArray>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr std::string_view Wurzel = "quorlits/v1/";
constexpr std::array<std::string_view, 4> ArtNamen = {"reading", "event", "status", "ack"};

// The length of the valid UTF-8 sequence of several bytes at the start of `text`, 0 when there
// is none (a stray byte, an overlong form, a surrogate, beyond U+10FFFF): the shortest start
// that Qt's decoder takes as one whole character.
std::size_t Utf8Laenge(std::string_view text) {
    for (std::size_t laenge = 2; laenge <= std::min<std::size_t>(4, text.size()); ++laenge) {
        QStringDecoder decoder(QStringConverter::Utf8,
                               QStringConverter::Flag::Stateless |
                                   QStringConverter::Flag::ConvertInitialBom);
        const QString zeichen =
            decoder(QByteArrayView(text.data(), static_cast<qsizetype>(laenge)));
        if (!decoder.hasError()) {
            return zeichen.size() == 1 || (zeichen.size() == 2 && zeichen.front().isHighSurrogate())
                       ? laenge
                       : 0;
        }
    }
    return 0;
}

// Bytes that stay as they are besides letters, digits and "-._~": every other printable ASCII
// byte but the separator, the wildcards, '$' and '%'.
constexpr char Bleibt[] = " !\"&'()*,:;<=>?@[\\]^`{|}";

// The digit of an escape as ThemenEbene writes it. Levels come from other programs, so they are
// read strictly: QByteArray::fromPercentEncoding would take any two bytes after '%' as digits.
int Hex(char zeichen) {
    if (zeichen >= '0' && zeichen <= '9') {
        return zeichen - '0';
    }
    if (zeichen >= 'A' && zeichen <= 'F') {
        return zeichen - 'A' + 10;
    }
    return -1;
}

} // namespace

std::string ThemenEbene(std::string_view text) {
    if (text.empty()) {
        return "%"; // no escape is a lone '%'
    }
    if (text == "." || text == "..") {
        return text.size() == 1 ? "%2E" : "%2E%2E";
    }
    // Valid UTF-8 stays as it is; every other byte that is not a plain printable one becomes
    // %XX, the way QUrl escapes.
    QByteArray ebene;
    QByteArray einzeln;
    const auto einzelneAnhaengen = [&ebene, &einzeln] {
        ebene += einzeln.toPercentEncoding(Bleibt);
        einzeln.clear();
    };
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t laenge =
            static_cast<unsigned char>(text[i]) >= 0x80 ? Utf8Laenge(text.substr(i)) : 0;
        if (laenge > 0) {
            einzelneAnhaengen();
            ebene.append(text.data() + i, static_cast<qsizetype>(laenge));
            i += laenge;
        } else {
            einzeln += text[i];
            ++i;
        }
    }
    einzelneAnhaengen();
    return ebene.toStdString();
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
    const std::vector<std::string_view> ebenen = Teile(thema.substr(Wurzel.size()), '/');
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
