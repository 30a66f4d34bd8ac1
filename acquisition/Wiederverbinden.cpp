// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "acquisition/ComMainForm.h"

#include "framework/Fehlerbox.h"
#include "serial/ComPort.h"
#include "serial/EComPort.h"
#include "storage/PCZeit.h"

#include <QFileSystemWatcher>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>

// A measurement outlives its device going away for a while (a bumped cable, an adapter that
// lost power): the port is closed, the window waits and tries to open the same name again once
// a second and whenever the folder of its name changes, and then the measurement goes on into
// the same data file. Waiting, the measurement
// counts as running: its button keeps "Ende Lesen", which ends the wait and the measurement.

namespace {

constexpr int VersuchAbstandMs = 1000;

QString Uhrzeit(const TUhrzeit& zeit) {
    return QString::fromStdString(PCZeitText(zeit.Lokal));
}

// Why the device cannot be used, in the words a user looks for.
std::string Grund(int fehler) {
    switch (fehler) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return "Gerät nicht vorhanden";
    case EIO:
        return "Verbindung unterbrochen";
    case EACCES:
    case EPERM:
        return "keine Zugriffsrechte";
    case EBUSY:
    case EWOULDBLOCK:
        return "Gerät belegt";
    default:
        return std::strerror(fehler);
    }
}

} // namespace

bool TForm1::MessungLaeuft() const {
    return comPort_->Connected() || WartetAufGeraet();
}

void TForm1::ComPortLineLost(int Fehler) {
    if (!comPort_->Connected() || Zustand.Messung.LeseModus == lmKeiner ||
        !Einstellungen.AutomatischWiederverbinden) {
        FehlerMelden(std::make_exception_ptr(EComPort(CError_ReadFailed, Fehler)));
        return;
    }
    warteZeit_ = uhr_();
    warteGrund_ = Grund(Fehler);
    ++unterbrechungen_;
    // A record cut by the loss is dropped: the bytes after the return start a new one.
    Zustand.Messung.Rahmen = TRahmenZustand{};
    try {
        comPort_->Close();
    } catch (const EComPort&) {
        // Closing a device that is gone may fail; that is the loss already being handled.
    }
    Send_Btn->setEnabled(false);
    if (wiederverbindenTakt_ == nullptr) {
        wiederverbindenTakt_ = new QTimer(this);
        wiederverbindenTakt_->setObjectName(QStringLiteral("Wiederverbindentakt"));
        wiederverbindenTakt_->setInterval(VersuchAbstandMs);
        connect(wiederverbindenTakt_, &QTimer::timeout, this,
                [this] { WiederverbindenVersuchen(); });
    }
    wiederverbindenTakt_->start();
    OrdnerBeobachten();
    VerbindungZeigen();
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
    try {
        comPort_->Open();
    } catch (const EComPort& fehler) {
        // Not there, no permission yet, busy: the wait goes on and says why.
        warteGrund_ = fehler.SystemCode() > 0 ? Grund(fehler.SystemCode()) : fehler.what();
        VerbindungZeigen();
        return;
    }
    letzteUnterbrechung_ = warteZeit_;
    letzteRueckkehr_ = uhr_();
    WartenBeenden();
    VerbindungZeigen();
}

void TForm1::WartenBeenden() {
    warteZeit_.reset();
    warteGrund_.clear();
    Send_Btn->setEnabled(true);
    if (wiederverbindenTakt_ != nullptr) {
        wiederverbindenTakt_->stop();
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
    Verbindung->setToolTip(QString());
    if (!letzteUnterbrechung_ || !letzteRueckkehr_) {
        Verbindung->clear();
        return;
    }
    Verbindung->setText(QStringLiteral("Unterbrechungen: %1, zuletzt %2 bis %3")
                            .arg(unterbrechungen_)
                            .arg(Uhrzeit(*letzteUnterbrechung_), Uhrzeit(*letzteRueckkehr_)));
}
