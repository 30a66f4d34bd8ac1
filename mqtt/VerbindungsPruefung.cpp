// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mqtt/VerbindungsPruefung.h"

#include "framework/Meldung.h"
#include "mqtt/MqttVerbindung.h"

#include <QTimer>
#include <QUuid>

TVerbindungsPruefung::TVerbindungsPruefung(QObject* parent)
    : QObject(parent)
    , frist_(new QTimer(this)) {
    frist_->setSingleShot(true);
    connect(frist_, &QTimer::timeout, this, [this] {
        Fertig(false, QStringLiteral("Keine Verbindung zu %1: keine Antwort in %2 s.")
                          .arg(server_)
                          .arg(frist_->interval() / 1000));
    });
}

TVerbindungsPruefung::~TVerbindungsPruefung() {
    delete verbindung_;
}

void TVerbindungsPruefung::Pruefen(const TVeroeffentlichenEinstellungen& e, int grenzeMs) {
    if (verbindung_ != nullptr) {
        verbindung_->deleteLater();
        verbindung_ = nullptr;
    }
    server_ = QString::fromStdString(e.Server);
    TMqttZugang zugang;
    try {
        zugang = ZugangAus(e);
    } catch (const EMeldung& fehler) {
        emit Ergebnis(false, QString::fromStdString(fehler.what()));
        return;
    }
    zugang.ClientId =
        "quorlits-pruefung-" + QUuid::createUuid().toString(QUuid::Id128).left(12).toStdString();
    verbindung_ = new TMqttVerbindung(zugang, this);
    connect(verbindung_, &TMqttVerbindung::Verbunden, this, [this](bool) {
        const int protokoll = verbindung_->Protokoll();
        Fertig(true,
               QStringLiteral("Verbindung zu %1 steht (MQTT %2).")
                   .arg(server_, protokoll == 5 ? QStringLiteral("5") : QStringLiteral("3.1.1")));
    });
    connect(verbindung_, &TMqttVerbindung::Getrennt, this, [this](const QString& grund) {
        Fertig(false, QStringLiteral("Keine Verbindung zu %1: %2.").arg(server_, grund));
    });
    frist_->start(grenzeMs);
    verbindung_->Verbinden();
}

void TVerbindungsPruefung::Fertig(bool erfolg, const QString& text) {
    if (verbindung_ == nullptr) {
        return;
    }
    frist_->stop();
    // Called from the connection's own signal: it goes once that has returned.
    verbindung_->Trennen();
    verbindung_->deleteLater();
    verbindung_ = nullptr;
    emit Ergebnis(erfolg, text);
}
