// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "headless/OhneFenster.h"

#include "measurement/Messung.h"
#include "measurement/Rueckkehr.h"
#include "serial/ComPort.h"
#include "storage/PCZeit.h"

#include <string>

// What the logger says about a lost line. The measurement waits for the device as in the window;
// with AutomatischWiederverbinden off in quorlits.conf the loss ends the run instead. Each change
// of the line also goes to systemd's status.

void TOhneFenster::LeitungGeaendert(TLeitungsWechsel wechsel) {
    switch (wechsel) {
    case TLeitungsWechsel::Aufgegeben:
        Aufgegeben();
        return; // the run is over
    case TLeitungsWechsel::Verloren:
        Verloren();
        break;
    case TLeitungsWechsel::NochWeg:
        NochWeg();
        break;
    case TLeitungsWechsel::Zurueck:
        Zurueck();
        break;
    case TLeitungsWechsel::Sonst:
        break;
    }
    DienstStatus();
}

void TOhneFenster::Aufgegeben() {
    Melden(PCZeitText(Messung().Jetzt().Lokal) +
           ": Automatisch wiederverbinden ist in quorlits.conf ausgeschaltet; die Messung endet.");
    const int code = Beenden();
    if (BeiEnde) {
        BeiEnde(code == 0 ? 1 : code);
    }
}

void TOhneFenster::Verloren() {
    Melden(PCZeitText(Messung().Jetzt().Lokal) + ": Die Verbindung zu " + port_->Port() +
           " ist verloren (" + VerbindungsGrund(Messung().Leitung().Verlustfehler) +
           "); es wird auf das Gerät gewartet.");
    gemeldeterGrund_.clear();
}

void TOhneFenster::NochWeg() {
    // Said once per reason, not every second.
    const std::string& grund = Messung().Leitung().WarteGrund;
    if (grund != gemeldeterGrund_) {
        gemeldeterGrund_ = grund;
        Melden("Warten auf das Gerät: " + grund + ".");
    }
}

void TOhneFenster::Zurueck() {
    Melden(PCZeitText(Messung().Jetzt().Lokal) + ": Das Gerät ist wieder da (" +
           Messung().Leitung().RueckkehrName + "); die Messung geht in " + optionen_.Datendatei +
           " weiter.");
}
