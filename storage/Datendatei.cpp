// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/Datendatei.h"

#include "storage/EInOutError.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace {

// The run-time's code for an operation on a file that is not open.
constexpr int DateiNichtOffen = 103;

} // namespace

TDatendatei::TDatendatei() {
    datei_.Pfadpruefung(true);
}

bool TDatendatei::Oeffnen(const std::string& pfad, TOeffnungsArt art) {
    const TAnlegen anlegen =
        art == TOeffnungsArt::Anhaengen ? TAnlegen::Anhaengen : TAnlegen::Leeren;
    if (datei_.Oeffnen(pfad, anlegen) != 0) {
        return false;
    }
    zeilen_.reset();
    gezaehlt_ = false;
    ZeilenendePruefen();
    letzte_ = S_ISREG(datei_.Geoeffnet().Typ) ? pfad : std::string();
    geleert_ = art == TOeffnungsArt::Neuschreiben;
    Geoeffnet();
    return true;
}

void TDatendatei::Beobachten(std::function<void(std::string_view)> geschrieben,
                             std::function<void()> geoeffnet) {
    datei_.GeschriebenMelden(std::move(geschrieben));
    geoeffnet_ = std::move(geoeffnet);
}

void TDatendatei::Geoeffnet() {
    if (geoeffnet_) {
        geoeffnet_();
    }
}

void TDatendatei::ZeilenendePruefen() {
    datei_.AbschlussSetzen(ZeilenAbschluss(datei_.Lesen(-1, 1)));
}

std::size_t TDatendatei::Schreiben(std::string_view text) {
    if (!datei_.IstOffen()) {
        throw EInOutError(DateiNichtOffen);
    }
    const std::size_t geschrieben = datei_.Schreiben(text);
    if (zeilen_) {
        *zeilen_ += std::count(text.begin(), text.end(), '\n');
    }
    return geschrieben;
}

std::optional<std::int64_t> TDatendatei::Zeilen() const {
    // Only a regular file can be read back: /dev/full would give zeros without end.
    if (!gezaehlt_ && datei_.IstOffen() && S_ISREG(datei_.Geoeffnet().Typ)) {
        gezaehlt_ = true;
        std::ifstream datei(datei_.Pfad(), std::ios::binary);
        if (datei) {
            zeilen_ = std::count(std::istreambuf_iterator<char>(datei),
                                 std::istreambuf_iterator<char>(), '\n');
        }
    }
    return zeilen_;
}

bool TDatendatei::PfadPruefen() {
    if (datei_.PfadPruefen() != TSchreibdatei::TPruefung::NeuGeoeffnet) {
        return false;
    }
    ZeilenendePruefen();
    geleert_ = false;
    Geoeffnet();
    return true;
}
