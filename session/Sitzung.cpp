// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "session/Sitzung.h"

#include "publish/Veroeffentlicher.h"
#include "storage/RohdatenFormat.h"

#include <utility>

TSitzung::TSitzung(TProgrammZustand& zustand, TComPort& port, const TEinstellungen& einstellungen,
                   TSitzungsOptionen optionen, QObject* parent)
    : QObject(parent)
    , zustand_(zustand)
    , uhr_(optionen.Uhr ? std::move(optionen.Uhr) : SystemUhr())
    , zustandsOrdner_(std::move(optionen.ZustandsOrdner))
    // A child, so the measurement's timers and watches are found among the front-end's.
    , messung_(zustand, port, einstellungen, uhr_, this)
    , protokoll_([&speicher = zustand.Speicher] { return speicher.Datendatei.LetzteDatei(); }, uhr_,
                 ProtokollWerDesSystems())
    , protokollant_(messung_, protokoll_) {
    messung_.AufzeichnungsDateiSetzen(std::move(optionen.Aufzeichnung), optionen.AufzeichnungsArt);
    protokollant_.DatendateiVerbinden(zustand.Speicher.Datendatei);
    connect(&protokollant_, &TProtokollant::Fehler, this, &TSitzung::ProtokollFehler);
}

TSitzung::~TSitzung() = default;

void TSitzung::Eroeffnen(const TVeroeffentlichenEinstellungen& veroeffentlichen) {
    protokollant_.ProgrammStart(ProgrammVersion());
    VeroeffentlichenStarten(veroeffentlichen);
}

void TSitzung::VeroeffentlichenStarten(const TVeroeffentlichenEinstellungen& einstellungen) {
    veroeffentlicher_.reset();
    veroeffentlicher_ = VeroeffentlicherFuer(messung_, zustand_, einstellungen, zustandsOrdner_);
    TVeroeffentlicher* v = veroeffentlicher_.get();
    if (v == nullptr) {
        return;
    }
    // Each published reading carries the chain head, so the collector holds copies of it.
    v->KettenKopfSetzen([this] { return protokoll_.KettenKopf(); });
    connect(v, &TVeroeffentlicher::ZustandGeaendert, this, &TSitzung::VeroeffentlichenGeaendert);
    connect(v, &TVeroeffentlicher::Meldung, this, &TSitzung::VeroeffentlichenMeldung);
    connect(v, &TVeroeffentlicher::AusgangVoll, this, &TSitzung::VeroeffentlichenStoerung);
    connect(v, &TVeroeffentlicher::Stoerung, this, &TSitzung::VeroeffentlichenStoerung);
}

void TSitzung::EinstellungGeaendert(std::string_view dialog, std::string_view name,
                                    std::string_view alt, std::string_view neu) {
    protokollant_.EinstellungGeaendert(dialog, name, alt, neu);
}

void TSitzung::Schliessen() {
    std::exception_ptr fehler;
    try {
        messung_.Schluss();
    } catch (...) {
        fehler = std::current_exception();
    }
    if (!std::exchange(geschlossen_, true)) {
        protokollant_.ProgrammEnde();
    }
    if (fehler) {
        std::rethrow_exception(fehler);
    }
}
