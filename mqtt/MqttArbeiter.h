// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "mqtt/MqttZugang.h"
#include "mqtt/Wiederholung.h"

#include <QObject>
#include <QString>

#include <optional>
#include <string>

class QSocketNotifier;
class QTimer;
struct mosquitto;
struct mosquitto_message;
struct mqtt5__property;

// The libmosquitto client of a TMqttVerbindung, in the connection's own thread: a socket
// notifier calls libmosquitto's reads and writes, a timer its keep-alive, and the name lookup
// of connecting blocks this thread alone. Its methods are called in that thread only (the
// connection posts them); its signals carry the run (`lauf`) of the Verbinden they belong to.
class TMqttArbeiter : public QObject {
    Q_OBJECT
public:
    explicit TMqttArbeiter(TMqttZugang zugang);
    ~TMqttArbeiter() override;

    void Verbinden(quint64 lauf);
    void Trennen(const std::string& letzteWorte);
    void Veroeffentlichen(const std::string& thema, const std::string& inhalt, int qos,
                          bool behalten);
    void Abonnieren(const std::string& filter, int qos);

signals:
    void Verbunden(quint64 lauf, bool sitzungDa, int protokoll);
    void Getrennt(quint64 lauf, const QString& grund);
    void NachrichtErhalten(quint64 lauf, const std::string& thema, const std::string& inhalt,
                           bool behalten);

private:
    static void BeiVerbindung(mosquitto* m, void* selbst, int rc, int flags,
                              const mqtt5__property* props);
    static void BeiTrennung(mosquitto* m, void* selbst, int rc, const mqtt5__property* props);
    static void BeiNachricht(mosquitto* m, void* selbst, const mosquitto_message* nachricht,
                             const mqtt5__property* props);

    std::optional<QString> Anlegen();
    std::optional<QString> Einrichten(const TMqttZugang& zugang);
    void Versuchen();
    void Schritt(int rc);
    void Lesen();
    void Pflegen();
    void Verloren(const QString& grund, std::optional<int> wartezeitMs = std::nullopt);
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
    TWiederholung wartezeit_;
    quint64 lauf_ = 0;
    int wunschProtokoll_ = 5;
    bool verbunden_ = false;
    bool laeuft_ = false;  // a connection is being made or stands
    bool gewollt_ = false; // Verbinden was called and Trennen not
};
