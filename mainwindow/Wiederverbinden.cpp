// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mainwindow/ComMainForm.h"

#include "app/Rueckkehr.h"
#include "framework/widgets/Fehlerbox.h"
#include "serial/ComPort.h"
#include "serial/ComPortDevices.h"
#include "serial/ComPortWatch.h"
#include "serial/EComPort.h"
#include "storage/PCZeit.h"

#include <QFileSystemWatcher>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <exception>
#include <filesystem>
#include <string>

// A measurement outlives its device going away for a while (a bumped cable, an adapter that
// lost power): the port is closed, the window waits, and the measurement goes on into the same
// data file once the device is back. It tries once a second, whenever the folder of the port's
// name changes and whenever an adapter is plugged in. A USB adapter is known by its identity:
// it is followed to a new name, and another device under the old name is never opened. Waiting,
// the measurement counts as running: its button keeps "Ende Lesen", which ends the wait and the
// measurement.

namespace {

constexpr int VersuchAbstandMs = 1000;

QString Uhrzeit(const TUhrzeit& zeit) {
    return QString::fromStdString(PCZeitText(zeit.Lokal));
}

} // namespace

bool TForm1::MessungLaeuft() const {
    return comPort_->Connected() || WartetAufGeraet();
}

void TForm1::ComPortLineLost(int Fehler) {
    Aufzeichnen(TRohArt::Verloren, std::to_string(Fehler));
    if (!comPort_->Connected() || Zustand.Messung.LeseModus == lmKeiner ||
        !Einstellungen.AutomatischWiederverbinden) {
        FehlerMelden(std::make_exception_ptr(EComPort(CError_ReadFailed, Fehler)));
        return;
    }
    warteZeit_ = uhr_();
    warteGrund_ = VerbindungsGrund(Fehler);
    ++unterbrechungen_;
    LeitungVerloren(Zustand);
    try {
        comPort_->Close();
    } catch (const EComPort&) {
        // Closing a device that is gone may fail; that is the loss already being handled.
    }
    Send_Btn->setEnabled(false);
    LampenZeigen();
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
    VerbindungZeigen();
}

void TForm1::MessungsPortOeffnen() {
    UnterbrechungenVergessen();
    comPort_->Open();
    AufzeichnungBeginnen();
    messName_ = comPort_->Port();
    adapter_ = {};
    if (!Einstellungen.AutomatischWiederverbinden) {
        return; // the identity serves only the wait; reading the device list costs a moment
    }
    try {
        adapter_ = ComPortIdentity(messName_);
    } catch (const EComPort&) {
        // Without a readable device list the port is found again by its name, as off USB.
    }
}

std::string TForm1::RueckkehrName() {
    return ::RueckkehrName(messName_, adapter_, warteGrund_);
}

// A device node or link that appears in the folder of the port's name is tried at once
// (inotify), so the wait ends within moments instead of at the next tick.
void TForm1::OrdnerBeobachten() {
    if (ordnerWaechter_ == nullptr) {
        ordnerWaechter_ = new QFileSystemWatcher(this);
        connect(ordnerWaechter_, &QFileSystemWatcher::directoryChanged, this,
                [this] { WiederverbindenVersuchen(); });
    }
    std::error_code fehler;
    std::filesystem::path ordner = std::filesystem::path(comPort_->Port()).parent_path();
    while (!ordner.empty() && !std::filesystem::is_directory(ordner, fehler) &&
           ordner != ordner.parent_path()) {
        ordner = ordner.parent_path();
    }
    if (!ordner.empty()) {
        ordnerWaechter_->addPath(QString::fromStdString(ordner.string()));
    }
}

void TForm1::WiederverbindenVersuchen() {
    if (!WartetAufGeraet() || comPort_->AwaitingRelease()) {
        return;
    }
    const std::string name = RueckkehrName();
    if (name.empty()) {
        VerbindungZeigen();
        return;
    }
    comPort_->SetPort(name);
    try {
        comPort_->Open();
    } catch (const EComPort& fehler) {
        // Not there, no permission yet, busy: the wait goes on and says why.
        warteGrund_ = OeffnenGrund(fehler);
        VerbindungZeigen();
        return;
    }
    letzteUnterbrechung_ = warteZeit_;
    letzteRueckkehr_ = uhr_();
    Aufzeichnen(TRohArt::Zurueck, {});
    WartenBeenden();
    VerbindungZeigen();
}

void TForm1::WartenBeenden() {
    warteZeit_.reset();
    warteGrund_.clear();
    Send_Btn->setEnabled(true);
    LampenZeigen();
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

void TForm1::UnterbrechungenVergessen() {
    WartenBeenden();
    unterbrechungen_ = 0;
    letzteUnterbrechung_.reset();
    letzteRueckkehr_.reset();
    VerbindungZeigen();
}

void TForm1::VerbindungZeigen() {
    if (warteZeit_) {
        Verbindung->setStyleSheet(QStringLiteral("color: #b00000;"));
        Verbindung->setText(QStringLiteral("Getrennt seit %1: %2")
                                .arg(Uhrzeit(*warteZeit_), QString::fromStdString(warteGrund_)));
        Verbindung->setToolTip(
            QStringLiteral("Die Messung läuft weiter; %1 wird wieder geöffnet, sobald es da ist.")
                .arg(QString::fromStdString(comPort_->Port())));
        return;
    }
    Verbindung->setStyleSheet(QString());
    Verbindung->setToolTip(comPort_->Port() == messName_
                               ? QString()
                               : QStringLiteral("Der Adapter kam unter %1 zurück.")
                                     .arg(QString::fromStdString(comPort_->Port())));
    if (!letzteUnterbrechung_ || !letzteRueckkehr_) {
        Verbindung->clear();
        return;
    }
    Verbindung->setText(QStringLiteral("Unterbrechungen: %1, zuletzt %2 bis %3")
                            .arg(unterbrechungen_)
                            .arg(Uhrzeit(*letzteUnterbrechung_), Uhrzeit(*letzteRueckkehr_)));
}

// Waiting, the lamps of the line are greyed with their names: there is no line to show.
void TForm1::LampenZeigen() {
    auto* feld = findChild<QWidget*>(QStringLiteral("Lampenfeld"));
    if (feld == nullptr) {
        return;
    }
    feld->setEnabled(!WartetAufGeraet());
    feld->setToolTip(WartetAufGeraet() ? QStringLiteral("Leitung getrennt") : QString());
}
