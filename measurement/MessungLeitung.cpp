// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "measurement/Messung.h"

#include "framework/Meldung.h"
#include "measurement/Rueckkehr.h"
#include "serial/ComPort.h"
#include "serial/ComPortSettings.h"
#include "serial/ComPortWatch.h"
#include "serial/EComPort.h"
#include "serial/platform/PortName.h"

#include <QFileSystemWatcher>
#include <QTimer>

#include <filesystem>
#include <string>

// The line's loss and return. Waiting, the measurement counts as running; ending it ends the
// wait.

namespace {

constexpr int VersuchAbstandMs = 1000;

} // namespace

void TMessung::LeitungMelden(TLeitungsWechsel wechsel) {
    emit LeitungGeaendert(wechsel, leitung_);
}

void TMessung::LeitungWeg(int fehler) {
    Aufzeichnen(TRohArt::Verloren, std::to_string(fehler));
    leitung_.Verlustfehler = fehler;
    if (!port_.Connected() || Modus() == lmKeiner || !einstellungen_.AutomatischWiederverbinden) {
        const std::string geraet = port_.Port();
        emit Fehler(std::make_exception_ptr(EMeldung(
            "Die Verbindung zu " + geraet + " ist verloren (" + VerbindungsGrund(fehler) + ").",
            GeraetBezug(DevicePathOfPort(geraet), fehler),
            std::make_exception_ptr(EComPort(CError_ReadFailed, fehler)))));
        LeitungMelden(TLeitungsWechsel::Aufgegeben);
        return;
    }
    WartenBeginnen(fehler, true);
}

void TMessung::WartenBeginnen(int fehler, bool verloren) {
    leitung_.WarteZeit = Jetzt();
    leitung_.WarteGrund = VerbindungsGrund(fehler);
    if (verloren) {
        ++leitung_.Unterbrechungen;
        LeitungVerloren(zustand_);
        try {
            port_.Close();
        } catch (const EComPort&) {
            // Closing a device that is gone may fail; that is the loss already being handled.
        }
    }
    if (wiederverbindenTakt_ == nullptr) {
        wiederverbindenTakt_ = new QTimer(this);
        wiederverbindenTakt_->setObjectName(QStringLiteral("Wiederverbindentakt"));
        wiederverbindenTakt_->setInterval(VersuchAbstandMs);
        connect(wiederverbindenTakt_, &QTimer::timeout, this,
                [this] { WiederverbindenVersuchen(); });
    }
    wiederverbindenTakt_->start();
    OrdnerBeobachten();
    if (!adapter_.Empty() && geraeteWaechter_ == nullptr) {
        geraeteWaechter_ = new TComPortWatch(this);
        connect(geraeteWaechter_, &TComPortWatch::DevicesChanged, this,
                [this] { WiederverbindenVersuchen(); });
    }
    LeitungMelden(verloren ? TLeitungsWechsel::Verloren : TLeitungsWechsel::Sonst);
}

// A device node or link that appears in the folder of the port's name is tried at once
// (inotify), so the wait ends within moments instead of at the next tick.
void TMessung::OrdnerBeobachten() {
    if (ordnerWaechter_ == nullptr) {
        ordnerWaechter_ = new QFileSystemWatcher(this);
        connect(ordnerWaechter_, &QFileSystemWatcher::directoryChanged, this,
                [this] { WiederverbindenVersuchen(); });
    }
    std::error_code fehler;
    std::filesystem::path ordner = std::filesystem::path(port_.Port()).parent_path();
    while (!ordner.empty() && !std::filesystem::is_directory(ordner, fehler) &&
           ordner != ordner.parent_path()) {
        ordner = ordner.parent_path();
    }
    if (!ordner.empty()) {
        ordnerWaechter_->addPath(QString::fromStdString(ordner.string()));
    }
}

void TMessung::WiederverbindenVersuchen() {
    if (!WartetAufGeraet() || port_.AwaitingRelease()) {
        return;
    }
    const std::string name = RueckkehrName(leitung_.MessName, adapter_, leitung_.WarteGrund);
    if (name.empty()) {
        LeitungMelden(TLeitungsWechsel::NochWeg);
        return;
    }
    port_.SetPort(name);
    try {
        port_.Open();
    } catch (const EComPort& fehler) {
        // Not there, no permission yet, busy: the wait goes on and says why.
        leitung_.WarteGrund = OeffnenGrund(fehler);
        LeitungMelden(TLeitungsWechsel::NochWeg);
        return;
    }
    leitung_.LetzteUnterbrechung = leitung_.WarteZeit;
    leitung_.LetzteRueckkehr = Jetzt();
    leitung_.RueckkehrName = name;
    Aufzeichnen(TRohArt::Zurueck, {});
    Aufzeichnen(TRohArt::Geoeffnet, LeitungText(LineSettingsTexts(port_)));
    WartenBeenden();
    LeitungMelden(TLeitungsWechsel::Zurueck);
}

void TMessung::WartenBeenden() {
    leitung_.WarteZeit.reset();
    leitung_.WarteGrund.clear();
    if (wiederverbindenTakt_ != nullptr) {
        wiederverbindenTakt_->stop();
    }
    if (geraeteWaechter_ != nullptr) {
        // Later: the wait may end inside the watch's own signal.
        geraeteWaechter_->deleteLater();
        geraeteWaechter_ = nullptr;
    }
    if (ordnerWaechter_ != nullptr && !ordnerWaechter_->directories().isEmpty()) {
        ordnerWaechter_->removePaths(ordnerWaechter_->directories());
    }
}

void TMessung::UnterbrechungenVergessen() {
    WartenBeenden();
    leitung_.Unterbrechungen = 0;
    leitung_.LetzteUnterbrechung.reset();
    leitung_.LetzteRueckkehr.reset();
    leitung_.Verlustfehler = 0;
    leitung_.RueckkehrName.clear();
    LeitungMelden(TLeitungsWechsel::Sonst);
}
