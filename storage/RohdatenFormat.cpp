// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/RohdatenFormat.h"

#include <zlib.h>

namespace {

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
    // zlib's CRC-32 works on several bytes at a time; a capture runs every received byte
    // through it.
    return static_cast<std::uint32_t>(
        crc32_z(crc, reinterpret_cast<const Bytef*>(daten.data()), daten.size()));
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
