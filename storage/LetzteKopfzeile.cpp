// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/LetzteKopfzeile.h"

#include "storage/Dateideskriptor.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view Marke = "PC-Datum\t";
constexpr off_t Block = 64 * 1024;
constexpr off_t Hoechstens = 16 * 1024 * 1024;

// Where the last header line begins that starts in [anfang, ende); -1 when none does. `daten`
// holds the file from `von` (one byte before `anfang`, when there is one) on.
off_t LetzterAnfang(std::string_view daten, off_t von, off_t anfang, off_t ende) {
    for (std::size_t stelle = daten.rfind(Marke); stelle != std::string_view::npos;
         stelle = stelle == 0 ? std::string_view::npos : daten.rfind(Marke, stelle - 1)) {
        const off_t absolut = von + static_cast<off_t>(stelle);
        const bool zeilenanfang = absolut == 0 || (stelle > 0 && daten[stelle - 1] == '\n');
        if (absolut >= anfang && absolut < ende && zeilenanfang) {
            return absolut;
        }
    }
    return -1;
}

off_t LetzteKopfzeileSuchen(int fd, off_t groesse) {
    const off_t grenze = std::max<off_t>(0, groesse - Hoechstens);
    for (off_t ende = groesse; ende > grenze;) {
        const off_t anfang = std::max(grenze, ende - Block);
        const off_t von = anfang > 0 ? anfang - 1 : 0;
        const std::string daten =
            PositionLesen(fd, von, static_cast<std::size_t>(ende - von) + Marke.size());
        const off_t gefunden = LetzterAnfang(daten, von, anfang, ende);
        if (gefunden >= 0) {
            return gefunden;
        }
        ende = anfang;
    }
    return -1;
}

} // namespace

bool LetzteKopfzeileGleich(const std::string& pfad, std::string_view kopfzeile) {
    const int fd = ::open(pfad.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        return false;
    }
    TDateideskriptor datei(fd);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    const off_t anfang = LetzteKopfzeileSuchen(fd, info.st_size);
    return anfang >= 0 && PositionLesen(fd, anfang, kopfzeile.size()) == kopfzeile;
}
