// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mainwindow/ComMainForm.h"

#include "framework/widgets/Fehlerbox.h"
#include "serial/ComPort.h"

#include <QString>

#include <exception>
#include <string_view>

// The window's side of the raw-data capture: it tells the capture what happens to the
// measurement, the line and the saving, each with one reading of the clock. The received chunks
// go to it in ComPortRxChar, stamped with the clock reading of their chunk.

void TForm1::AufzeichnungBeginnen() {
    const std::string_view art = Zustand.Messung.LeseModus == lmWTW ? "WTW" : "RS232";
    AufzeichnungsFehler(
        aufzeichnung_.MessungBegonnen(Einstellungen.RohdatenAufzeichnen, Zustand, comPort_->Port(),
                                      LineSettingsTexts(*comPort_), art, UhrLesen(uhr_)));
}

void TForm1::Aufzeichnen(TRohArt art, std::string_view daten) {
    if (aufzeichnung_.Aktiv()) {
        AufzeichnungsFehler(aufzeichnung_.Eintragen(art, daten, UhrLesen(uhr_)));
    }
}

void TForm1::SpeichernAufzeichnen(bool ein) {
    if (!aufzeichnung_.Aktiv()) {
        return;
    }
    AufzeichnungsFehler(ein ? aufzeichnung_.SpeichernBegonnen(Zustand, UhrLesen(uhr_))
                            : aufzeichnung_.Eintragen(TRohArt::SpeichernAus, {}, UhrLesen(uhr_)));
}

void TForm1::AufzeichnungBeenden() {
    AufzeichnungsFehler(aufzeichnung_.MessungBeendet(comPort_->Connected(), UhrLesen(uhr_)));
}

void TForm1::AufzeichnungEnde() {
    AufzeichnungsFehler(aufzeichnung_.Ende(Zustand.Messung.LeseModus != lmKeiner,
                                           comPort_->Connected(), UhrLesen(uhr_)));
}

void TForm1::AufzeichnungsFehler(std::exception_ptr fehler) {
    if (!fehler) {
        return;
    }
    QString grund;
    try {
        std::rethrow_exception(fehler);
    } catch (const ERohdatenFehler& e) {
        grund = QString::fromUtf8(e.what()); // already German
    } catch (...) {
        grund = FehlerText(fehler);
    }
    const QString text =
        QStringLiteral("Rohdaten werden nicht mehr aufgezeichnet: „%1“ (%2). Messung und "
                       "Speichern laufen weiter.")
            .arg(QString::fromStdString(aufzeichnung_.Pfad()), grund);
    FehlerMelden(std::make_exception_ptr(EMeldung(text.toStdString())));
}
