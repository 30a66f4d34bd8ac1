// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "audit/Protokoll.h"
#include "audit/Protokollant.h"
#include "measurement/Messung.h"
#include "mqtt/VeroeffentlichenEinstellungen.h"
#include "storage/RohdatenSchreiber.h"
#include "storage/Uhr.h"

#include <QObject>
#include <QString>

#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

class TComPort;
class TVeroeffentlicher;

// What a session is made with, besides the state, the port and the settings it works on.
struct TSitzungsOptionen {
    // The clock of every stamp; the machine's clock when empty.
    TUhr Uhr;
    // Where the publisher's outboxes lie; ZustandsOrdner() when empty.
    std::filesystem::path ZustandsOrdner;
    // One capture for every measurement of the run (--capture); empty: as quorlits.conf says,
    // one beside each data file.
    std::string Aufzeichnung;
    TRohOeffnung AufzeichnungsArt = TRohOeffnung::Neu;
};

// One run of the program at the bench, as the window and the logger both hold it: the
// measurement (TMessung, with its capture), the audit trail beside the data file with its
// listener, and the publisher. The front-ends create it, drive the measurement and listen to it;
// none of them assembles these parts.
//
// The parts are put together here, in the one order that keeps what lies on the disk
// consistent:
// - each reading saved at once goes into the publisher's outbox before its line goes into the
//   data file (the publisher is the measurement's TVorlauf), so a crash between the two writes
//   leaves a message without a line, never a line without its message;
// - each line written to the data file then extends the trail's chain, and every line of the
//   trail is synced as it is written;
// - the syncs run outbox first, then the data file, then the capture (TMessung's group
//   commit), so a power cut keeps no saved line whose message it loses;
// - the trail hears each event of the measurement before the publisher does, and each
//   published reading carries the chain's head over the lines before it.
class TSitzung : public QObject {
    Q_OBJECT
public:
    // `zustand`, `port` and `einstellungen` belong to the front-end and outlive the session.
    TSitzung(TProgrammZustand& zustand, TComPort& port, const TEinstellungen& einstellungen,
             TSitzungsOptionen optionen, QObject* parent = nullptr);
    ~TSitzung() override;

    TMessung& Messung() noexcept { return messung_; }
    const TMessung& Messung() const noexcept { return messung_; }
    // The publisher; none while publishing is off or could not start.
    TVeroeffentlicher* Veroeffentlicher() const noexcept { return veroeffentlicher_.get(); }

    // The run begins: the program's start goes into the trail, then publishing starts as
    // `veroeffentlichen` asks. EMeldung when the publisher cannot start; the run goes on
    // without it.
    void Eroeffnen(const TVeroeffentlichenEinstellungen& veroeffentlichen);
    // Publishing anew with changed settings: the publisher before goes first, a running meter
    // measurement is published from now on. EMeldung when it cannot start; publishing is off
    // then.
    void VeroeffentlichenStarten(const TVeroeffentlichenEinstellungen& einstellungen);
    // A setting changed in `dialog`, for the trail.
    void EinstellungGeaendert(std::string_view dialog, std::string_view name, std::string_view alt,
                              std::string_view neu);
    // The run ends: the measurement's end of run (TMessung::Schluss: port, saving, capture),
    // then the program's end in the trail, which is written once however often this is called.
    // Raises what Schluss raised, after the trail's end.
    void Schliessen();

signals:
    // The trail cannot be written (an EMeldung naming it); measurement and saving go on.
    void ProtokollFehler(const std::exception_ptr& fehler);
    // The publisher's state line changed (TVeroeffentlicher::Zustand).
    void VeroeffentlichenGeaendert();
    // Something about publishing the user should read: connected, the connection lost, the
    // outbox full or not writable. Said once until it changes.
    void VeroeffentlichenMeldung(const QString& text);
    // The outbox is full or cannot be written, so readings may not reach the broker: the part of
    // VeroeffentlichenMeldung that the window shows in its error box.
    void VeroeffentlichenStoerung(const QString& text);

private:
    TProgrammZustand& zustand_;
    TUhr uhr_;
    std::filesystem::path zustandsOrdner_;
    TMessung messung_;
    // After the measurement they listen to, so they go before it.
    TProtokoll protokoll_;
    TProtokollant protokollant_;
    // Last, after the measurement and the trail it uses, so it goes first.
    std::unique_ptr<TVeroeffentlicher> veroeffentlicher_;
    bool geschlossen_ = false;
};
