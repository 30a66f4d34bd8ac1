// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "headless/OhneFenster.h"

#include "app/Rueckkehr.h"
#include "serial/ComPort.h"
#include "serial/ComPortSettings.h"
#include "serial/EComPort.h"
#include "storage/PCZeit.h"

#include <QTimer>

#include <string>

// A line lost during the run is waited out as the window does it: the port is closed, the
// measurement and its data file stay, and once a second the port is looked for (a USB adapter
// by its identity, under whatever name it returns) and reopened. With AutomatischWiederverbinden
// off in quorlits.conf the loss ends the run instead.

void TOhneFenster::LeitungWeg(int fehler) {
    const TUhrzeit jetzt = Jetzt();
    Aufzeichnen(TRohArt::Verloren, std::to_string(fehler), jetzt);
    LeitungVerloren(zustand_);
    try {
        port_->Close();
    } catch (const EComPort&) {
        // Closing a device that is gone may fail; that is the loss already being handled.
    }
    const std::string wann = PCZeitText(jetzt.Lokal);
    if (!einstellungen_.AutomatischWiederverbinden) {
        Melden(wann + ": Die Verbindung zu " + port_->Port() + " ist verloren (" +
               VerbindungsGrund(fehler) +
               "). Automatisch wiederverbinden ist in quorlits.conf ausgeschaltet; die Messung "
               "endet.");
        const int code = Beenden();
        if (BeiEnde) {
            BeiEnde(code == 0 ? 1 : code);
        }
        return;
    }
    Melden(wann + ": Die Verbindung zu " + port_->Port() + " ist verloren (" +
           VerbindungsGrund(fehler) + "); es wird auf das Gerät gewartet.");
    wartet_ = true;
    warteGrund_.clear();
    takt_->start();
}

void TOhneFenster::WarteGrundMelden(const std::string& grund) {
    // Said once per reason, not every second.
    if (grund != warteGrund_) {
        warteGrund_ = grund;
        Melden("Warten auf das Gerät: " + grund + ".");
    }
}

void TOhneFenster::WiederverbindenVersuchen() {
    if (!wartet_ || port_->AwaitingRelease()) {
        return;
    }
    std::string grund;
    const std::string name = RueckkehrName(messName_, adapter_, grund);
    if (name.empty()) {
        WarteGrundMelden(grund);
        return;
    }
    port_->SetPort(name);
    try {
        port_->Open();
    } catch (const EComPort& fehler) {
        WarteGrundMelden(OeffnenGrund(fehler));
        return;
    }
    wartet_ = false;
    takt_->stop();
    const TUhrzeit jetzt = Jetzt();
    Aufzeichnen(TRohArt::Zurueck, {}, jetzt);
    Aufzeichnen(TRohArt::Geoeffnet, LeitungText(LineSettingsTexts(*port_)), jetzt);
    Melden(PCZeitText(jetzt.Lokal) + ": Das Gerät ist wieder da (" + name +
           "); die Messung geht in " + optionen_.Datendatei + " weiter.");
}
