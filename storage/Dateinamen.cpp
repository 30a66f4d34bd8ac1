// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/Dateinamen.h"

#include "storage/ZeitpunktLesen.h"

#include <cerrno>
#include <sys/stat.h>

namespace {

constexpr char Trenner = '/';
constexpr std::size_t BasisLaenge = 8;

bool NamenszeichenErlaubt(char zeichen) {
    return (zeichen >= '0' && zeichen <= '9') || (zeichen >= 'a' && zeichen <= 'z') ||
           (zeichen >= 'A' && zeichen <= 'Z') || zeichen == '_' || zeichen == '-';
}

// Whether anything of that name exists; lstat, so a dangling symbolic link counts as taken.
// A name that cannot be examined (no permission, ...) counts as taken too, so it is never
// chosen as free.
bool NameBelegt(const std::string& pfad) {
    struct stat info {};
    if (::lstat(pfad.c_str(), &info) == 0) {
        return true;
    }
    return errno != ENOENT && errno != ENOTDIR;
}

bool IstUtf8Folgebyte(char zeichen) {
    return (static_cast<unsigned char>(zeichen) & 0xC0U) == 0x80U;
}

} // namespace

std::string ZeichenEntfernen(std::string_view text, char zeichen) {
    std::string ergebnis;
    ergebnis.reserve(text.size());
    for (const char c : text) {
        if (c != zeichen) {
            ergebnis.push_back(c);
        }
    }
    return ergebnis;
}

std::string NamenFiltern(std::string_view text) {
    std::string ergebnis;
    ergebnis.reserve(text.size());
    for (const char c : text) {
        if (NamenszeichenErlaubt(c)) {
            ergebnis.push_back(c);
        }
    }
    return ergebnis;
}

std::string GenerierterName(std::string_view basis, std::string_view verzeichnis, int nummer) {
    std::string name = NamenFiltern(ZeichenEntfernen(basis, ' ')).substr(0, BasisLaenge);
    name.resize(BasisLaenge, '_');
    std::string pfad(verzeichnis);
    if (!pfad.empty() && pfad.back() != Trenner) {
        pfad.push_back(Trenner);
    }
    return pfad + name + "." + MitNullen(nummer, 3);
}

std::optional<std::string> DateinameErzeugen(std::string_view basis, std::string_view verzeichnis) {
    for (int nummer = 0; nummer < AnzahlGenerierterNamen; ++nummer) {
        std::string kandidat = GenerierterName(basis, verzeichnis, nummer);
        if (!NameBelegt(kandidat)) {
            return kandidat;
        }
    }
    return std::nullopt;
}

std::string VerzeichnisTeil(std::string_view pfad) {
    const std::size_t stelle = pfad.rfind(Trenner);
    return stelle == std::string_view::npos ? std::string()
                                            : std::string(pfad.substr(0, stelle + 1));
}

std::string DateinamenTeil(std::string_view pfad) {
    const std::size_t stelle = pfad.rfind(Trenner);
    return std::string(stelle == std::string_view::npos ? pfad : pfad.substr(stelle + 1));
}

std::string PfadKuerzen(std::string_view pfad, int laenge) {
    if (laenge >= 0 && pfad.size() <= static_cast<std::size_t>(laenge)) {
        return std::string(pfad);
    }
    const std::string name = DateinamenTeil(pfad);
    const auto nameLaenge = static_cast<long long>(name.size());
    if (nameLaenge >= static_cast<long long>(laenge) - 3) {
        return name;
    }
    // The path is longer than `laenge`, so its directory part holds at least that many bytes.
    auto anfang = static_cast<std::size_t>(laenge - nameLaenge - 3);
    while (anfang > 0 && IstUtf8Folgebyte(pfad[anfang])) {
        --anfang;
    }
    return std::string(pfad.substr(0, anfang)) + "../" + name;
}
