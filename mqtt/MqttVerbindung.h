// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "mqtt/MqttZugang.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <thread>

class QSocketNotifier;
class TMqttArbeiter;

// One connection to an MQTT broker through libmosquitto. The client runs in a thread of its
// own, so that neither the name lookup of connecting nor the network ever holds up the thread
// that owns the connection: the methods hand their work over to it, the signals come back
// queued to the owner's thread. A lost or refused connection is tried again by itself, after
// about 1 s, then up to 30 s apart (at random between half and all of the doubling wait);
// settings that cannot work (TMqttZugang's files, see ZugangVorbereiten) are told through
// Getrennt without any connection being made, and tried again a minute later. Each connection
// gets a fresh libmosquitto client, so nothing of the previous one is sent again behind the
// caller's back: what to send after a reconnect is the caller's to decide (Verbunden).
class TMqttVerbindung : public QObject {
    Q_OBJECT
public:
    explicit TMqttVerbindung(TMqttZugang zugang, QObject* parent = nullptr);
    // Ends the thread after what Trennen handed over is sent (the last words), waiting up to
    // 2 s; a thread still stuck in a name lookup then ends by itself.
    ~TMqttVerbindung() override;

    // Starts connecting; later losses reconnect by themselves.
    void Verbinden();
    // Publishes `letzteWorte` first when given (retained, QoS 1, for the will's topic), then
    // disconnects cleanly and stays disconnected; no signal of the connection comes after it.
    // May be called from a slot of its signals.
    void Trennen(const std::string& letzteWorte = {});

    // As the owner's thread has been told (Verbunden, Getrennt).
    bool IstVerbunden() const noexcept { return verbunden_; }
    // 5 or 4 (MQTT 3.1.1) while connected.
    int Protokoll() const noexcept { return protokoll_; }

    // False when the connection did not stand as far as the owner's thread knows; true when
    // the message was handed to the connection's thread (a connection lost meanwhile drops it,
    // and Getrennt follows).
    bool Veroeffentlichen(const std::string& thema, const std::string& inhalt, int qos,
                          bool behalten);
    bool Abonnieren(const std::string& filter, int qos);

signals:
    // The broker accepted the connection; `sitzungDa`: it still had the session.
    void Verbunden(bool sitzungDa);
    // The connection broke off, was refused or could not be made; German reason.
    void Getrennt(const QString& grund);
    // A message of a subscription arrived.
    void NachrichtErhalten(const std::string& thema, const std::string& inhalt, bool behalten);

private:
    struct TFaden;
    static void Laufen(const std::shared_ptr<TFaden>& faden, TMqttZugang zugang,
                       TMqttVerbindung* besitzer);
    void Posten(std::function<void(TMqttArbeiter&)> arbeit);
    bool Aktuell(quint64 lauf) const noexcept { return gewollt_ && lauf == lauf_; }
    void BeiVerbunden(quint64 lauf, bool sitzungDa, int protokoll);
    void BeiGetrennt(quint64 lauf, const QString& grund);

    std::shared_ptr<TFaden> faden_; // shared with the thread, which may outlive the connection
    std::thread thread_;
    QSocketNotifier* empfang_ = nullptr; // runs what the thread hands back
    quint64 lauf_ = 1;                   // a new run with each Trennen: older signals are stale
    int protokoll_ = 0;
    bool verbunden_ = false;
    bool gewollt_ = false;
};
