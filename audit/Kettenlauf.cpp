// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "audit/Kettenlauf.h"

#include "audit/Protokollzeile.h"

#include <utility>

namespace {

struct TGelesen {
    std::string_view Anfang; // the bytes the chain hashes
    TProtokollZeile Zeile;
    TKette::TWert Wert;
};

std::optional<TGelesen> Lesen(std::string_view zeile) {
    if (!zeile.ends_with('\n')) {
        return std::nullopt;
    }
    zeile.remove_suffix(1);
    auto gelesen = ProtokollZeileLesen(zeile);
    const auto wert = gelesen ? TKette::AusHex(gelesen->Kette) : std::nullopt;
    if (!wert) {
        return std::nullopt;
    }
    return TGelesen{zeile.substr(0, zeile.rfind('\t') + 1), std::move(*gelesen), *wert};
}

// Where the walk first found file and trail apart.
struct TStelle {
    std::size_t Von = 0; // data lines covered before the part
    std::size_t Bis = 0; // covered by the audit line that does not fit
    std::size_t Nummer = 0;
    std::size_t Teil = 0; // the part of the chain it lies in
};

class TLauf {
public:
    TLauf(std::string_view daten, bool werteSammeln, TKettenlauf& lauf)
        : daten_(ZeilenTeilen(daten))
        , sammeln_(werteSammeln)
        , lauf_(lauf) {}

    // One well-formed trail line; false when its count of data lines goes backwards.
    bool Schritt(const TGelesen& gelesen, std::size_t nummer) {
        TeilBeginnen(gelesen.Zeile.Ereignis);
        const std::size_t bis = gelesen.Zeile.Datenzeilen;
        if (bis < gedeckt_) {
            return false;
        }
        for (std::size_t z = gedeckt_; z < bis && z < daten_.size(); ++z) {
            kette_.Anhaengen(daten_[z]);
            Merken(z + 2);
        }
        kette_.Anhaengen(gelesen.Anfang);
        Merken(bis + 1);
        teilEnde_.back() = bis;
        if (!stelle_ && (bis > daten_.size() || kette_.Wert() != gelesen.Wert)) {
            stelle_ = TStelle{gedeckt_, bis, nummer, teilEnde_.size() - 1};
        }
        gedeckt_ = bis;
        lauf_.LetzteKette = TKette(gelesen.Wert);
        lauf_.Gedeckt = bis;
        ++lauf_.Protokollzeilen;
        zeit_ = gelesen.Zeile.Zeit;
        return true;
    }

    void Abschliessen(std::optional<std::size_t> kaputt) {
        TPruefung& p = lauf_.Pruefung;
        p.Datenzeilen = daten_.size();
        if (stelle_) {
            Abweichung(*stelle_);
        } else if (kaputt) {
            p.Befund = TPruefBefund::ProtokollBeschaedigt;
            p.ProtokollZeile = *kaputt;
            p.AbZeile = gedeckt_ + 1;
        } else if (lauf_.Protokollzeilen == 0) {
            p.Befund = TPruefBefund::ProtokollFehlt;
            p.AbZeile = 1;
        } else if (daten_.size() > gedeckt_) {
            p.Befund = TPruefBefund::Hinzugefuegt;
            p.Erwartet = gedeckt_;
            p.VonZeile = gedeckt_ + 1;
            p.BisZeile = daten_.size();
            p.AbZeile = gedeckt_ + 1;
        } else {
            p.Erwartet = gedeckt_;
            p.KetteBis = zeit_;
        }
    }

private:
    void TeilBeginnen(std::string_view ereignis) {
        if (ereignis == KetteBegonnen || teilEnde_.empty()) {
            kette_ = TKette();
        } else if (ereignis.starts_with(KetteUnterbrochen)) {
            kette_ = lauf_.LetzteKette.value_or(TKette());
        } else {
            return;
        }
        gedeckt_ = 0;
        teilEnde_.push_back(0);
    }

    void Merken(std::size_t vorZeile) {
        if (sammeln_) {
            lauf_.Werte.push_back({kette_.Wert(), vorZeile});
        }
    }

    // Which kind of difference the first part that does not fit shows. In the last part of the
    // chain the file's length tells lines removed or added; in an earlier one, which later runs
    // continued, only an audit line that covers more lines than the file holds does.
    void Abweichung(const TStelle& stelle) {
        TPruefung& p = lauf_.Pruefung;
        p.Erwartet = teilEnde_[stelle.Teil];
        if (stelle.Teil + 1 < teilEnde_.size()) {
            p.Befund = stelle.Bis > p.Datenzeilen ? TPruefBefund::Fehlt : TPruefBefund::Geaendert;
        } else {
            p.Befund = p.Datenzeilen < p.Erwartet   ? TPruefBefund::Fehlt
                       : p.Datenzeilen > p.Erwartet ? TPruefBefund::Hinzugefuegt
                                                    : TPruefBefund::Geaendert;
        }
        const bool daten = stelle.Von < stelle.Bis;
        p.VonZeile = daten ? stelle.Von + 1 : 0;
        p.BisZeile = daten ? stelle.Bis : 0;
        p.ProtokollZeile = stelle.Nummer;
        p.AbZeile = stelle.Von + 1;
    }

    std::vector<std::string_view> daten_;
    bool sammeln_;
    TKettenlauf& lauf_;
    TKette kette_;
    std::size_t gedeckt_ = 0;
    std::vector<std::size_t> teilEnde_; // the data lines each part of the chain covers
    std::optional<TStelle> stelle_;
    std::string zeit_;
};

} // namespace

TKettenlauf KetteAblaufen(std::string_view daten, std::string_view protokoll, bool werteSammeln) {
    TKettenlauf lauf;
    TLauf schritte(daten, werteSammeln, lauf);
    const std::vector<std::string_view> zeilen = ZeilenTeilen(protokoll);
    std::optional<std::size_t> kaputt;
    for (std::size_t i = 0; i < zeilen.size(); ++i) {
        const auto gelesen = Lesen(zeilen[i]);
        if (!gelesen || !schritte.Schritt(*gelesen, i + 1)) {
            kaputt = i + 1;
            break;
        }
    }
    schritte.Abschliessen(kaputt);
    return lauf;
}
