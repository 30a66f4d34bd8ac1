// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "mqtt/VeroeffentlichenEinstellungen.h"

#include <QObject>
#include <QString>

#include <string>

class QSocketNotifier;
class QTimer;
struct mosquitto;
struct mosquitto_message;
struct mqtt5__property;

// How to reach the broker and who to be there.
struct TMqttZugang {
    TBrokerAdresse Adresse;
    std::string Benutzer;
    std::string Passwort;
    std::string CaDatei; // empty with TLS: the system's certificate authorities
    std::string ClientId;
    // The broker keeps the session (subscriptions and messages for it) while the client is
    // away. Such a session is asked for in MQTT 3.1.1, whose persistent session has no expiry
    // to negotiate; otherwise MQTT 5 is spoken where the broker knows it.
    bool SitzungBehalten = false;
    // The last will: published by the broker, retained, when the connection breaks off.
    std::string WillThema;
    std::string WillInhalt;
};

// The access that `einstellungen` give: the server's address, the user, the password read from
// its file and the CA file; client id and will are the caller's. Raises EMeldung (German) for an
// address that cannot be read or a password file that cannot be used.
TMqttZugang ZugangAus(const TVeroeffentlichenEinstellungen& einstellungen);

// One connection to an MQTT broker through libmosquitto, driven by Qt's event loop in the
// thread that owns it: a socket notifier calls libmosquitto's reads and writes, a timer its
// keep-alive; libmosquitto runs no thread of its own. A lost or refused connection is tried
// again by itself, after 1 s, then up to 30 s apart. Each connection gets a fresh libmosquitto
// client, so nothing of the previous one is sent again behind the caller's back: what to send
// after a reconnect is the caller's to decide (Verbunden).
class TMqttVerbindung : public QObject {
    Q_OBJECT
public:
    explicit TMqttVerbindung(TMqttZugang zugang, QObject* parent = nullptr);
    ~TMqttVerbindung() override;

    // Starts connecting; later losses reconnect by themselves.
    void Verbinden();
    // Publishes `letzteWorte` first when given (retained, QoS 1, for the will's topic), then
    // disconnects cleanly and stays disconnected. May be called from a slot of its signals.
    void Trennen(const std::string& letzteWorte = {});

    bool IstVerbunden() const noexcept { return verbunden_; }
    // 5 or 4 (MQTT 3.1.1) while connected.
    int Protokoll() const noexcept { return protokoll_; }

    // False when the message could not be handed to libmosquitto (no connection).
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
    static void BeiVerbindung(mosquitto* m, void* selbst, int rc, int flags,
                              const mqtt5__property* props);
    static void BeiTrennung(mosquitto* m, void* selbst, int rc, const mqtt5__property* props);
    static void BeiNachricht(mosquitto* m, void* selbst, const mosquitto_message* nachricht,
                             const mqtt5__property* props);

    void Anlegen();
    void Versuchen();
    template <typename Schritt>
    void Schleife(Schritt schritt, int anzahl);
    void Abschliessen();
    void Lesen();
    void Schreiben();
    void Pflegen();
    void Ergebnis(int rc);
    void Verloren(const QString& grund);
    void MelderAbbauen();
    void MelderAufbauen();
    void SchreibwunschPruefen();
    void Freigeben();

    TMqttZugang zugang_;
    mosquitto* client_ = nullptr;
    QSocketNotifier* leser_ = nullptr;
    QSocketNotifier* schreiber_ = nullptr;
    QTimer* pflege_ = nullptr;       // keep-alive and retries of libmosquitto
    QTimer* wiederholung_ = nullptr; // the next try to connect
    int wartezeitMs_ = 1000;
    int protokoll_ = 0;
    int wunschProtokoll_ = 5;
    bool verbunden_ = false;
    bool laeuft_ = false;              // a connection is being made or stands
    bool gewollt_ = false;             // Verbinden was called and Trennen not
    bool imSchritt_ = false;           // inside a step of libmosquitto (its callbacks)
    bool abschliessenFaellig_ = false; // Trennen came from a callback
};

// The German reason for a libmosquitto result (`errnoWert` for MOSQ_ERR_ERRNO).
QString MqttGrund(int rc, int errnoWert = 0);
// The German reason for a broker's refusal in its CONNACK (MQTT 3.1.1 or 5 codes).
QString AnmeldeGrund(int rc);
