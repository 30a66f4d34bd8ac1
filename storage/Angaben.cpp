// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/Angaben.h"

#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::array<std::string_view, 3> Namen = {"Probe", "Bediener", "Elektrode"};

// The characters of Windows-1252's bytes 0x80 to 0x9F (0: the byte is unused).
constexpr std::array<char32_t, 32> Cp1252Mitte = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

constexpr char32_t Ungueltig = 0xFFFFFFFF;

// The character at the start of `text` and its length in bytes; Ungueltig (one byte long) for a
// byte that starts no valid UTF-8 sequence.
char32_t Utf8Zeichen(std::string_view text, std::size_t& laenge) {
    const auto erstes = static_cast<unsigned char>(text[0]);
    laenge = 1;
    if (erstes < 0x80) {
        return erstes;
    }
    const std::size_t folge = erstes >= 0xF0 ? 3 : erstes >= 0xE0 ? 2 : erstes >= 0xC0 ? 1 : 0;
    if (folge == 0 || erstes > 0xF4 || text.size() <= folge) {
        return Ungueltig;
    }
    char32_t zeichen = erstes & (0x3F >> folge);
    for (std::size_t i = 1; i <= folge; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0) != 0x80) {
            return Ungueltig;
        }
        zeichen = (zeichen << 6) | (byte & 0x3F);
    }
    constexpr std::array<char32_t, 4> Kleinste = {0, 0x80, 0x800, 0x10000};
    if (zeichen < Kleinste[folge] || zeichen > 0x10FFFF ||
        (zeichen >= 0xD800 && zeichen <= 0xDFFF)) {
        return Ungueltig;
    }
    laenge = folge + 1;
    return zeichen;
}

bool IstSteuerzeichen(char32_t zeichen) {
    return zeichen < 0x20 || (zeichen >= 0x7F && zeichen < 0xA0);
}

char Cp1252Byte(char32_t zeichen) {
    if (zeichen < 0x80 || (zeichen >= 0xA0 && zeichen <= 0xFF)) {
        return static_cast<char>(zeichen);
    }
    for (std::size_t i = 0; i < Cp1252Mitte.size(); ++i) {
        if (Cp1252Mitte[i] == zeichen && zeichen != 0) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

// `wert` character by character: a control character becomes a space, anything else goes to
// `anhaengen(text, zeichen, bytes)`, Ungueltig for a byte that is no UTF-8.
template <typename Anhaengen>
std::string Umsetzen(std::string_view wert, Anhaengen&& anhaengen) {
    std::string text;
    text.reserve(wert.size());
    std::size_t laenge = 0;
    for (std::size_t i = 0; i < wert.size(); i += laenge) {
        const char32_t zeichen = Utf8Zeichen(wert.substr(i), laenge);
        if (zeichen != Ungueltig && IstSteuerzeichen(zeichen)) {
            text += ' ';
        } else {
            anhaengen(text, zeichen, wert.substr(i, laenge));
        }
    }
    return text;
}

} // namespace

std::string& TAngaben::operator[](TAngabe angabe) noexcept {
    return angabe == TAngabe::Probe ? Probe : angabe == TAngabe::Bediener ? Bediener : Elektrode;
}

const std::string& TAngaben::operator[](TAngabe angabe) const noexcept {
    return const_cast<TAngaben&>(*this)[angabe];
}

std::string_view AngabeName(TAngabe angabe) {
    return Namen[static_cast<std::size_t>(angabe)];
}

std::optional<TAngabe> AngabeAusName(std::string_view name) {
    for (const TAngabe angabe : AlleAngaben) {
        if (AngabeName(angabe) == name) {
            return angabe;
        }
    }
    return std::nullopt;
}

std::string AngabeFeld(std::string_view wert) {
    return Umsetzen(wert, [](std::string& feld, char32_t zeichen, std::string_view) {
        feld += zeichen == Ungueltig ? '?' : Cp1252Byte(zeichen);
    });
}

std::string AngabeText(std::string_view wert) {
    return Umsetzen(wert, [](std::string& text, char32_t zeichen, std::string_view bytes) {
        text += zeichen == Ungueltig ? std::string_view("\xEF\xBF\xBD") : bytes; // U+FFFD
    });
}

std::string AnmeldeName() {
    std::vector<char> puffer(4096);
    passwd eintrag{};
    passwd* gefunden = nullptr;
    if (::getpwuid_r(::geteuid(), &eintrag, puffer.data(), puffer.size(), &gefunden) == 0 &&
        gefunden != nullptr) {
        return gefunden->pw_name;
    }
    return std::to_string(::geteuid());
}
