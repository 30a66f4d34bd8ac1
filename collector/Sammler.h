// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "collector/Datenbank.h"
#include "collector/Schreiber.h"
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
// is away wait in memory (the publishers send again what is never acknowledged). The database
// is written in a thread of its own (TSchreiber): the MQTT session's thread only reads the
// messages, queues them and publishes the acknowledgements, so a slow or unreachable database
// never stalls its keep-alive.
class TSammler : public QObject {
    Q_OBJECT
public:
    explicit TSammler(TSammlerOptionen optionen, QObject* parent = nullptr);
    ~TSammler() override;

    void Starten();
    // Commits what waits, as far as the database takes it, and disconnects.
    void Beenden();
    // The messages taken and not yet committed.
    std::size_t Wartend() const noexcept { return wartend_.size() + unterwegs_; }

signals:
    // The collector cannot work with this database (its tables are newer) and has stopped;
    // `grund` is German. Sent from the event loop, also when Starten() finds it.
    void Aufgegeben(const QString& grund);

private:
    void Aufgeben(const std::string& grund);
    void Verbunden();
    void Angekommen(const std::string& thema, const std::string& inhalt);
    void Festschreiben();
    std::vector<TEingang> StapelNehmen();
    void Abholen();
    void Verarbeiten(TSchreibErgebnis ergebnis);
    void Quittieren(const std::vector<TQuittungsStand>& staende);
    void Melden(const std::string& text);

    TSammlerOptionen optionen_;
    std::unique_ptr<TSchreiber> schreiber_;
    std::unique_ptr<TMqttVerbindung> verbindung_;
    std::deque<TEingang> wartend_; // not yet handed to the writer
    std::size_t unterwegs_ = 0;    // in the batch the writer has
    bool nurVerbinden_ = false;    // the writer only connects (a batch without messages)
    bool datenbankFehlt_ = true;   // the last try failed, or none was made yet
    bool endet_ = false;           // Beenden or Aufgeben: no more batches, no more tries
    QTimer* takt_ = nullptr;       // commits shortly after a message, so they come in batches
    QTimer* neuVersuch_ = nullptr; // the database's next try
    int wartezeitMs_ = 1000;
    std::string gemeldet_;
    // Per bench and meter: its latest measurements and their gap-free seq, newest last.
    std::map<std::pair<std::string, std::string>, std::deque<std::pair<std::string, std::int64_t>>>
        quittungen_;
};
