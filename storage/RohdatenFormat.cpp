// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/RohdatenFormat.h"

#include <array>

namespace {

// Eight tables for the CRC eight bytes at a time ("slicing by 8"): table k holds the CRC of a
// byte followed by k zero bytes. A capture runs every received byte through the CRC, and one
// table lookup per byte in a chain would cost several per cent of a core in a flood.
using TCrcTabellen = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr TCrcTabellen Crc32Tabellen() {
    TCrcTabellen tabellen{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t wert = i;
        for (int bit = 0; bit < 8; ++bit) {
            wert = (wert & 1U) != 0 ? (wert >> 1) ^ 0xEDB88320U : wert >> 1;
        }
        tabellen[0][i] = wert;
    }
    for (std::size_t k = 1; k < tabellen.size(); ++k) {
        for (std::uint32_t i = 0; i < 256; ++i) {
            const std::uint32_t vorige = tabellen[k - 1][i];
            tabellen[k][i] = (vorige >> 8) ^ tabellen[0][vorige & 0xFFU];
        }
    }
    return tabellen;
}

constexpr TCrcTabellen Crc32Werte = Crc32Tabellen();

std::uint32_t Vier(const char* daten) {
    const auto* b = reinterpret_cast<const unsigned char*>(daten);
    return std::uint32_t{b[0]} | (std::uint32_t{b[1]} << 8) | (std::uint32_t{b[2]} << 16) |
           (std::uint32_t{b[3]} << 24);
}

bool IstFolgebyte(std::string_view text, std::size_t i, unsigned char kleinste = 0x80,
                  unsigned char groesste = 0xBF) {
    if (i >= text.size()) {
        return false;
    }
    const auto byte = static_cast<unsigned char>(text[i]);
    return byte >= kleinste && byte <= groesste;
}

// The length of the valid UTF-8 sequence of several bytes at the start of `text`, 0 when there
// is none (a stray byte, an overlong form, a surrogate, beyond U+10FFFF).
std::size_t Utf8Folge(std::string_view text) {
    const auto erstes = static_cast<unsigned char>(text[0]);
    if (erstes >= 0xC2 && erstes <= 0xDF) {
        return IstFolgebyte(text, 1) ? 2 : 0;
    }
    if (erstes >= 0xE0 && erstes <= 0xEF) {
        const unsigned char klein = erstes == 0xE0 ? 0xA0 : 0x80;
        const unsigned char gross = erstes == 0xED ? 0x9F : 0xBF;
        return IstFolgebyte(text, 1, klein, gross) && IstFolgebyte(text, 2) ? 3 : 0;
    }
    if (erstes >= 0xF0 && erstes <= 0xF4) {
        const unsigned char klein = erstes == 0xF0 ? 0x90 : 0x80;
        const unsigned char gross = erstes == 0xF4 ? 0x8F : 0xBF;
        return IstFolgebyte(text, 1, klein, gross) && IstFolgebyte(text, 2) && IstFolgebyte(text, 3)
                   ? 4
                   : 0;
    }
    return 0;
}

void HexAnhaengen(std::string& text, unsigned char byte) {
    constexpr std::string_view Ziffern = "0123456789ABCDEF";
    text += "\\x";
    text.push_back(Ziffern[byte >> 4]);
    text.push_back(Ziffern[byte & 0x0F]);
}

int HexWert(char zeichen) {
    if (zeichen >= '0' && zeichen <= '9') {
        return zeichen - '0';
    }
    if (zeichen >= 'A' && zeichen <= 'F') {
        return zeichen - 'A' + 10;
    }
    if (zeichen >= 'a' && zeichen <= 'f') {
        return zeichen - 'a' + 10;
    }
    return -1;
}

// The byte of the escape at `text[i]` (the character after the backslash); advances `i` past it.
char EscapeLesen(std::string_view text, std::size_t& i) {
    const char art = i < text.size() ? text[i] : '\0';
    ++i;
    if (art == '\\' || art == 'n' || art == 'r') {
        return art == 'n' ? '\n' : art == 'r' ? '\r' : '\\';
    }
    if (art == 'x' && i + 1 < text.size() && HexWert(text[i]) >= 0 && HexWert(text[i + 1]) >= 0) {
        const int wert = HexWert(text[i]) * 16 + HexWert(text[i + 1]);
        i += 2;
        return static_cast<char>(wert);
    }
    throw ERohdatenFehler("Ungültige Maskierung im Kopf der Rohdaten: " + std::string(text));
}

void SchluesselPruefen(const std::string& schluessel) {
    bool gueltig = !schluessel.empty() && schluessel != RohSchluesselProgramm &&
                   schluessel != RohSchluesselAnschluss;
    for (const char zeichen : schluessel) {
        const auto byte = static_cast<unsigned char>(zeichen);
        gueltig = gueltig && zeichen != '=' && byte >= 0x20 && byte != 0x7F;
    }
    if (!gueltig) {
        throw ERohdatenFehler("Ungültiger Schlüssel für den Kopf der Rohdaten: \"" +
                              RohMaskieren(schluessel) + "\"");
    }
}

void KopfzeileAnhaengen(std::string& text, std::string_view schluessel, std::string_view wert) {
    text.append(schluessel);
    text.push_back('=');
    text += RohMaskieren(wert);
    text.push_back('\n');
}

} // namespace

std::string_view ProgrammVersion() {
    return QUORLITS_VERSION;
}

std::uint32_t Crc32(std::string_view daten, std::uint32_t crc) {
    const auto& t = Crc32Werte;
    crc = ~crc;
    const char* p = daten.data();
    std::size_t rest = daten.size();
    for (; rest >= 8; rest -= 8, p += 8) {
        const std::uint32_t eins = Vier(p) ^ crc;
        const std::uint32_t zwei = Vier(p + 4);
        crc = t[7][eins & 0xFFU] ^ t[6][(eins >> 8) & 0xFFU] ^ t[5][(eins >> 16) & 0xFFU] ^
              t[4][eins >> 24] ^ t[3][zwei & 0xFFU] ^ t[2][(zwei >> 8) & 0xFFU] ^
              t[1][(zwei >> 16) & 0xFFU] ^ t[0][zwei >> 24];
    }
    for (; rest > 0; --rest, ++p) {
        crc = t[0][(crc ^ static_cast<unsigned char>(*p)) & 0xFFU] ^ (crc >> 8);
    }
    return ~crc;
}

std::string RohMaskieren(std::string_view wert) {
    std::string text;
    text.reserve(wert.size());
    for (std::size_t i = 0; i < wert.size();) {
        const auto byte = static_cast<unsigned char>(wert[i]);
        const std::size_t folge = byte >= 0x80 ? Utf8Folge(wert.substr(i)) : 0;
        if (folge > 0) {
            text.append(wert.substr(i, folge));
            i += folge;
            continue;
        }
        if (byte == '\\') {
            text += "\\\\";
        } else if (byte == '\n' || byte == '\r') {
            text += byte == '\n' ? "\\n" : "\\r";
        } else if (byte < 0x20 || byte >= 0x7F) {
            HexAnhaengen(text, byte);
        } else {
            text.push_back(wert[i]);
        }
        ++i;
    }
    return text;
}

std::string RohDemaskieren(std::string_view text) {
    std::string wert;
    wert.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] != '\\') {
            wert.push_back(text[i++]);
            continue;
        }
        ++i;
        wert.push_back(EscapeLesen(text, i));
    }
    return wert;
}

std::string RohKopfText(const TRohKopf& kopf) {
    std::string text(RohMagie);
    text += std::to_string(RohFormatVersion) + "\n";
    KopfzeileAnhaengen(text, RohSchluesselProgramm, kopf.ProgrammVersion);
    KopfzeileAnhaengen(text, RohSchluesselAnschluss, kopf.Anschluss);
    for (const auto& [schluessel, wert] : kopf.Werte) {
        SchluesselPruefen(schluessel);
        KopfzeileAnhaengen(text, schluessel, wert);
    }
    text.push_back('\n');
    return text;
}

void RohZahlAnhaengen(std::string& puffer, std::uint64_t zahl, std::size_t bytes) {
    for (std::size_t i = 0; i < bytes; ++i) {
        puffer.push_back(static_cast<char>((zahl >> (8 * i)) & 0xFFU));
    }
}

std::uint64_t RohZahlLesen(std::string_view daten, std::size_t bytes) {
    std::uint64_t zahl = 0;
    for (std::size_t i = 0; i < bytes; ++i) {
        zahl |= std::uint64_t{static_cast<unsigned char>(daten[i])} << (8 * i);
    }
    return zahl;
}

void RohSatzAnhaengen(std::string& puffer, const TRohEintrag& eintrag) {
    if (eintrag.Daten.size() > RohHoechsteLaenge) {
        // A reader would take it for a damaged record.
        throw ERohdatenFehler("Rohdateneintrag zu groß: " + std::to_string(eintrag.Daten.size()) +
                              " Bytes");
    }
    const std::size_t anfang = puffer.size();
    puffer.push_back(static_cast<char>(eintrag.Art));
    RohZahlAnhaengen(puffer, static_cast<std::uint64_t>(eintrag.MonoNs), 8);
    RohZahlAnhaengen(puffer, static_cast<std::uint64_t>(eintrag.UtcMs), 8);
    RohZahlAnhaengen(puffer, static_cast<std::uint32_t>(eintrag.UtcVersatz), 4);
    RohZahlAnhaengen(puffer, eintrag.Daten.size(), 4);
    puffer += eintrag.Daten;
    const std::string_view satz = std::string_view(puffer).substr(anfang);
    RohZahlAnhaengen(puffer, Crc32(satz), 4);
}
