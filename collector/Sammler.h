// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "collector/Datenbank.h"
#include "mqtt/MqttVerbindung.h"

#include <QObject>

#include <cstdint>
#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class QTimer;

// What the collector is started with.
struct TSammlerOptionen {
    TMqttZugang Zugang;    // ClientId fixed, persistent session
    std::string Datenbank; // libpq's connection string
    std::string Gruppe;    // shared subscription ($share/<Gruppe>/...); empty: none
    std::FILE* Meldungen = stderr;
};

// quorlits-sammler: takes every reading and event from the broker (QoS 1, a persistent
// session, so the broker keeps them while the collector is away), stores them in PostgreSQL in
// transactions, and after each commit publishes, retained, on each meter's ack topic the
// highest seq per measurement committed without a gap. Messages that arrive while the database
// is away wait in memory (the publishers send again what is never acknowledged).
class TSammler : public QObject {
    Q_OBJECT
public:
    explicit TSammler(TSammlerOptionen optionen, QObject* parent = nullptr);
    ~TSammler() override;

    void Starten();
    // Commits what waits, as far as the database takes it, and disconnects.
    void Beenden();

signals:
    // The collector cannot work with this database (its tables are newer) and has stopped;
    // `grund` is German. Sent from the event loop, also when Starten() finds it.
    void Aufgegeben(const QString& grund);

private:
    void Aufgeben(const std::string& grund);
    void Verbunden();
    void Angekommen(const std::string& thema, const std::string& inhalt);
    void Festschreiben();
    void Quittieren(const std::vector<TQuittungsStand>& staende);
    void Melden(const std::string& text);

    TSammlerOptionen optionen_;
    TDatenbank datenbank_;
    std::unique_ptr<TMqttVerbindung> verbindung_;
    std::vector<TEingang> wartend_;
    QTimer* takt_ = nullptr;       // commits shortly after a message, so they come in batches
    QTimer* neuVersuch_ = nullptr; // the database's next try
    int wartezeitMs_ = 1000;
    std::string gemeldet_;
    // Per bench and meter: its latest measurements and their gap-free seq, newest last.
    std::map<std::pair<std::string, std::string>, std::deque<std::pair<std::string, std::int64_t>>>
        quittungen_;
};
