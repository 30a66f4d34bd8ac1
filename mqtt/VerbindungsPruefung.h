// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "mqtt/VeroeffentlichenEinstellungen.h"

#include <QObject>
#include <QString>

class QTimer;
class TMqttVerbindung;

// "Verbindung prüfen": one connection with the given settings, its outcome told once, in German.
// It publishes nothing and leaves no session behind.
class TVerbindungsPruefung : public QObject {
    Q_OBJECT
public:
    explicit TVerbindungsPruefung(QObject* parent = nullptr);
    ~TVerbindungsPruefung() override;

    // Starts a check (a running one is dropped). A server address or password file that cannot
    // be used is told at once; the connection is given `grenzeMs` to answer.
    void Pruefen(const TVeroeffentlichenEinstellungen& einstellungen, int grenzeMs = 10000);
    bool Laeuft() const noexcept { return verbindung_ != nullptr; }

signals:
    // "Verbindung zu mqtt://… steht (MQTT 5)." or "Keine Verbindung zu mqtt://…: <Grund>."
    void Ergebnis(bool erfolg, const QString& text);

private:
    void Fertig(bool erfolg, const QString& text);

    TMqttVerbindung* verbindung_ = nullptr;
    QTimer* frist_ = nullptr;
    QString server_;
};
