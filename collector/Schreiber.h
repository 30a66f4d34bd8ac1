// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "collector/Datenbank.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// What became of a batch.
struct TSchreibErgebnis {
    std::vector<TQuittungsStand> Staende; // committed: the gap-free seq per measurement
    std::string Fehler;                   // empty when committed; German otherwise
    bool SchemaZuNeu = false;             // the tables are newer: trying again does not help
    std::vector<TEingang> Stapel;         // not committed: the batch, given back
};

// Writes batches into the database in a thread of its own, one at a time, so a slow or
// unreachable server never holds up the thread that takes the messages. That thread hands over
// a batch (Uebergeben) when the writer is free and collects the result (Abholen) after
// `fertig` called; `fertig` runs in the writer's thread and must only pass the news on.
class TSchreiber {
public:
    TSchreiber(std::string verbindung, std::function<void()> fertig);
    ~TSchreiber();
    TSchreiber(const TSchreiber&) = delete;
    TSchreiber& operator=(const TSchreiber&) = delete;

    // No batch is being written, and no result waits to be collected.
    bool Frei() const;
    // Starts writing `stapel` (an empty one only connects); only when Frei().
    void Uebergeben(std::vector<TEingang> stapel);
    std::optional<TSchreibErgebnis> Abholen();
    // Lets the batch being written finish and ends the thread; its result can still be
    // collected. Then Schreiben writes in the caller's thread.
    void Anhalten();
    TSchreibErgebnis Schreiben(std::vector<TEingang> stapel);

private:
    void Laufen();

    TDatenbank datenbank_;
    std::function<void()> fertig_;
    mutable std::mutex schutz_;
    std::condition_variable wecker_;
    std::optional<std::vector<TEingang>> auftrag_;
    std::optional<TSchreibErgebnis> ergebnis_;
    bool beschaeftigt_ = false;
    bool ende_ = false;
    std::thread faden_;
};
