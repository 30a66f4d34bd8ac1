// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "audit/Protokollant.h"

#include "framework/Meldung.h"
#include "measurement/Messung.h"
#include "storage/Datendatei.h"

#include <string>

namespace {

std::string ArtText(TLeseModus art) {
    return art == lmWTW ? "WTW" : "RS232";
}

std::string SpeicherText(TSpeicherArt art) {
    return art == TSpeicherArt::Auto ? "automatisch" : "sofort";
}

} // namespace

template <typename Schritt>
void TProtokollant::Versuchen(Schritt&& schritt) {
    try {
        schritt();
        gestoert_ = false;
    } catch (...) {
        if (gestoert_) {
            return; // the same trouble, told already
        }
        gestoert_ = true;
        // The program's own text also in the window, where the file layer's text alone would
        // not say that it is the trail, not the data file, that cannot be written.
        const std::string pfad = ProtokollPfad(protokoll_.Datendatei());
        emit Fehler(std::make_exception_ptr(EMeldung(
            "Das Prüfprotokoll " + pfad + " lässt sich nicht schreiben (" +
                NutzerText(std::current_exception()) + "). Messung und Speichern laufen weiter.",
            DateiBezug(pfad))));
    }
}

TProtokollant::TProtokollant(TMessung& messung, TProtokoll& protokoll, QObject* parent)
    : QObject(parent)
    , messung_(messung)
    , protokoll_(protokoll) {
    // A line of the trail that covers data lines is written only once they are on the disk.
    protokoll_.SichernSetzen([this] { messung_.Sichern(); });
    TMessung* m = &messung;
    connect(m, &TMessung::Begonnen, this, [this](TLeseModus art) {
        Eintragen("Messbeginn", ArtText(art) + " an " + messung_.Leitung().MessName);
    });
    connect(m, &TMessung::BeginnGescheitert, this,
            [this](TLeseModus art) { Eintragen("Messbeginn gescheitert", ArtText(art)); });
    connect(m, &TMessung::Beendet, this,
            [this](TLeseModus art) { Eintragen("Messende", ArtText(art)); });
    connect(m, &TMessung::SpeichernGeaendert, this, [this](TSpeicherArt art) {
        if (art == TSpeicherArt::Aus) {
            Eintragen("Speichern aus", protokoll_.Datendatei());
            return;
        }
        // The data file was just opened, perhaps emptied or under a new name.
        protokoll_.DateiGeoeffnet(Geleert());
        Eintragen("Speichern ein", SpeicherText(art) + " in " + protokoll_.Datendatei());
    });
    connect(m, &TMessung::LeitungGeaendert, this,
            [this](TLeitungsWechsel wechsel, const TLeitungsStand& stand) {
                LeitungEintragen(wechsel, stand);
            });
    connect(m, &TMessung::Fehler, this, [this](const std::exception_ptr& fehler) {
        Eintragen("Fehler", MeldungsText(fehler));
    });
    connect(m, &TMessung::AngabeGeaendert, this,
            [this](TAngabe angabe, const QString& alt, const QString& neu, const QString& grund) {
                Versuchen([&] {
                    protokoll_.AngabeGeaendert(AngabeName(angabe), alt.toStdString(),
                                               neu.toStdString(), grund.toStdString());
                });
            });
}

TProtokollant::~TProtokollant() {
    protokoll_.SichernSetzen({});
    if (datei_ != nullptr) {
        datei_->Beobachten({}, {});
    }
}

void TProtokollant::DatendateiVerbinden(TDatendatei& datei) {
    datei_ = &datei;
    datei.Beobachten(
        [this](std::string_view text) { Versuchen([&] { protokoll_.DatenGeschrieben(text); }); },
        [this] { protokoll_.DateiGeoeffnet(Geleert()); });
}

bool TProtokollant::Geleert() const noexcept {
    return datei_ != nullptr && datei_->Geleert();
}

void TProtokollant::ProgrammStart(std::string_view version) {
    Versuchen([&] { protokoll_.ProgrammStart(version); });
}

void TProtokollant::ProgrammEnde() {
    Versuchen([&] { protokoll_.ProgrammEnde(); });
}

void TProtokollant::EinstellungGeaendert(std::string_view dialog, std::string_view name,
                                         std::string_view alt, std::string_view neu) {
    Versuchen([&] { protokoll_.EinstellungGeaendert(dialog, name, alt, neu); });
}

void TProtokollant::LeitungEintragen(TLeitungsWechsel wechsel, const TLeitungsStand& stand) {
    if (wechsel == TLeitungsWechsel::Verloren || wechsel == TLeitungsWechsel::Aufgegeben) {
        Eintragen(
            "Leitung verloren",
            "errno " + std::to_string(stand.Verlustfehler) +
                (wechsel == TLeitungsWechsel::Verloren ? ", Messung wartet auf das Gerät" : ""));
    } else if (wechsel == TLeitungsWechsel::Zurueck) {
        Eintragen("Leitung zurück", stand.RueckkehrName);
    }
}

void TProtokollant::Eintragen(std::string_view ereignis, std::string_view details) {
    Versuchen([&] { protokoll_.Eintragen(ereignis, details); });
}
