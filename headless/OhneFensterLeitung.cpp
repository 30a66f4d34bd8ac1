// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "headless/OhneFenster.h"

#include "measurement/Messung.h"
#include "measurement/Rueckkehr.h"
#include "serial/ComPort.h"
#include "storage/PCZeit.h"

#include <string>

// What the logger says about a lost line. The measurement waits for the device as in the window;
// with AutomatischWiederverbinden off in quorlits.conf the loss ends the run instead.

void TOhneFenster::Getrennt(int fehler, bool wartet) {
    const std::string wann = PCZeitText(Messung().Jetzt().Lokal);
    if (!wartet) {
        Melden(wann + ": Automatisch wiederverbinden ist in quorlits.conf ausgeschaltet; die "
                      "Messung endet.");
        const int code = Beenden();
        if (BeiEnde) {
            BeiEnde(code == 0 ? 1 : code);
        }
        return;
    }
    Melden(wann + ": Die Verbindung zu " + port_->Port() + " ist verloren (" +
           VerbindungsGrund(fehler) + "); es wird auf das Gerät gewartet.");
    gemeldeterGrund_.clear();
}

void TOhneFenster::NochGetrennt() {
    // Said once per reason, not every second.
    const std::string& grund = Messung().Leitung().WarteGrund;
    if (grund != gemeldeterGrund_) {
        gemeldeterGrund_ = grund;
        Melden("Warten auf das Gerät: " + grund + ".");
    }
}

void TOhneFenster::Zurueck(const QString& name) {
    Melden(PCZeitText(Messung().Jetzt().Lokal) + ": Das Gerät ist wieder da (" +
           name.toStdString() + "); die Messung geht in " + optionen_.Datendatei + " weiter.");
}
