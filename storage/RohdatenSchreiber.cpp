// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/RohdatenSchreiber.h"

#include "storage/DateiMeldung.h"
#include "storage/EInOutError.h"
#include "storage/RohdatenKopf.h"

#include <cerrno>

namespace {

constexpr std::string_view Unveraendert = "; sie bleibt unverändert.";

[[noreturn]] void Abweisen(const std::string& pfad, const TGeoeffneteDatei& datei) {
    if (datei.Fehler == EEXIST) {
        throw EInOutError::MitText(
            EEXIST, "Die Datei " + InAnfuehrung(pfad) +
                        " gibt es schon; eine neue Rohdatenaufzeichnung überschreibt keine Datei" +
                        std::string(Unveraendert));
    }
    if (datei.Typ != 0 && !S_ISREG(datei.Typ)) {
        throw EInOutError::MitText(
            datei.Fehler, InAnfuehrung(pfad) + " ist " + std::string(DateitypText(datei.Typ)) +
                              ", keine gewöhnliche Datei; eine Rohdatenaufzeichnung geht nur in "
                              "eine gewöhnliche Datei.");
    }
    throw EInOutError::AusErrno(datei.Fehler);
}

// Raises when the file that begins with `anfang` is no capture this program may continue.
void FortsetzenPruefen(const std::string& pfad, std::string_view anfang) {
    const std::string datei = InAnfuehrung(pfad);
    const std::size_t zeilenende = anfang.find('\n');
    try {
        if (zeilenende == std::string_view::npos) {
            throw ERohdatenFehler(datei + " ist keine Rohdatenaufzeichnung von Quorlits");
        }
        RohVersionLesen(anfang.substr(0, zeilenende), datei);
    } catch (const ERohdatenFehler& fehler) {
        throw EInOutError::MitText(EINVAL, std::string(fehler.what()) +
                                               ". Sie wird nicht fortgesetzt" +
                                               std::string(Unveraendert));
    }
}

TRohEintrag StempelAus(std::string_view satz) {
    TRohEintrag eintrag;
    eintrag.MonoNs = static_cast<std::int64_t>(RohZahlLesen(satz.substr(RohStelleMonoNs), 8));
    eintrag.UtcMs = static_cast<std::int64_t>(RohZahlLesen(satz.substr(RohStelleUtcMs), 8));
    eintrag.UtcVersatz = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(RohZahlLesen(satz.substr(RohStelleVersatz), 4)));
    return eintrag;
}

} // namespace

std::string LueckenText(std::uint64_t eintraege, std::uint64_t bytes) {
    return "Eintraege=" + std::to_string(eintraege) + "\tBytes=" + std::to_string(bytes);
}

TRohSchreiber::TRohSchreiber(const std::string& pfad, const TRohKopf& kopf, TRohOeffnung art,
                             TSchreibUmgebung umgebung)
    : puffer_(RohKopfText(kopf)) { // a bad key is refused before the file is touched
    datei_.UmgebungSetzen(std::move(umgebung));
    const TAnlegen anlegen = art == TRohOeffnung::Neu ? TAnlegen::Neu : TAnlegen::Anhaengen;
    if (datei_.Oeffnen(pfad, anlegen) != 0) {
        Abweisen(pfad, datei_.Geoeffnet());
    }
    // The record marking a loss carries the stamps of the record after it.
    datei_.LueckenEinheitSetzen(
        [](std::uint64_t anzahl, std::uint64_t bytes, const std::string& naechste) {
            TRohEintrag luecke = StempelAus(naechste);
            luecke.Art = TRohArt::Luecke;
            luecke.Daten = LueckenText(anzahl, bytes);
            std::string satz;
            RohSatzAnhaengen(satz, luecke);
            return satz;
        });
    Beginnen(art);
}

void TRohSchreiber::Beginnen(TRohOeffnung art) {
    const TGeoeffneteDatei& datei = datei_.Geoeffnet();
    if (art == TRohOeffnung::Fortsetzen && !datei.Angelegt && S_ISREG(datei.Typ)) {
        if (!datei.Lesbar) {
            throw EInOutError::MitText(
                EACCES, "Die Rohdatenaufzeichnung " + InAnfuehrung(datei_.Pfad()) +
                            " lässt sich nicht lesen, also nicht prüfen. Sie wird nicht "
                            "fortgesetzt" +
                            std::string(Unveraendert));
        }
        const std::string anfang = datei_.Lesen(0, 256);
        if (!anfang.empty()) {
            FortsetzenPruefen(datei_.Pfad(), anfang);
            Schreiben({TRohArt::LaufBeginn, 0, 0, 0, puffer_});
            return;
        }
    }
    datei_.Schreiben(puffer_);
}

void TRohSchreiber::Schreiben(const TRohEintrag& eintrag) {
    puffer_.clear();
    RohSatzAnhaengen(puffer_, eintrag);
    datei_.Schreiben(puffer_);
    letzter_.MonoNs = eintrag.MonoNs;
    letzter_.UtcMs = eintrag.UtcMs;
    letzter_.UtcVersatz = eintrag.UtcVersatz;
}

void TRohSchreiber::Schliessen() {
    if (!datei_.IstOffen()) {
        return;
    }
    TRohEintrag ende = letzter_;
    ende.Art = TRohArt::Ende;
    try {
        Schreiben(ende);
    } catch (...) {
        try {
            datei_.Schliessen();
        } catch (const EInOutError&) {
            // The failed write is the error to report.
        }
        throw;
    }
    datei_.Schliessen();
}
