// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "audit/Protokollant.h"

#include "framework/Meldung.h"
#include "measurement/Messung.h"

#include <string>

namespace {

std::string ArtText(TLeseModus art) {
    return art == lmWTW ? "WTW" : "RS232";
}

std::string SpeicherText(TSpeicherArt art) {
    return art == TSpeicherArt::Auto ? "automatisch" : "sofort";
}

} // namespace

TProtokollant::TProtokollant(TMessung& messung, TProtokoll& protokoll, QObject* parent)
    : QObject(parent)
    , messung_(messung)
    , protokoll_(protokoll) {
    TMessung* m = &messung;
    connect(m, &TMessung::Begonnen, this, [this](TLeseModus art) {
        Eintragen("Messbeginn", ArtText(art) + " an " + messung_.Leitung().MessName);
    });
    connect(m, &TMessung::NichtBegonnen, this,
            [this](TLeseModus art) { Eintragen("Messbeginn gescheitert", ArtText(art)); });
    connect(m, &TMessung::Beendet, this,
            [this](TLeseModus art) { Eintragen("Messende", ArtText(art)); });
    connect(m, &TMessung::SpeichernGeaendert, this, [this](TSpeicherArt art) {
        if (art == TSpeicherArt::Aus) {
            Eintragen("Speichern aus", protokoll_.Datendatei());
            return;
        }
        // The data file was just opened, perhaps emptied or under a new name.
        protokoll_.DateiGeoeffnet();
        Eintragen("Speichern ein", SpeicherText(art) + " in " + protokoll_.Datendatei());
    });
    connect(m, &TMessung::Getrennt, this, [this](int fehler, bool wartet) {
        Eintragen("Leitung verloren", "errno " + std::to_string(fehler) +
                                          (wartet ? ", Messung wartet auf das Gerät" : ""));
    });
    connect(m, &TMessung::Zurueck, this,
            [this](const QString& name) { Eintragen("Leitung zurück", name.toStdString()); });
    connect(m, &TMessung::Fehler, this, [this](const std::exception_ptr& fehler) {
        Eintragen("Fehler", MeldungsText(fehler));
    });
}

void TProtokollant::Eintragen(std::string_view ereignis, std::string_view details) {
    try {
        protokoll_.Eintragen(ereignis, details);
    } catch (...) {
        emit Fehler(std::current_exception());
    }
}
