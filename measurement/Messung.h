// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "reception/Empfang.h"
#include "reception/Messaufzeichnung.h"
#include "reception/ProgrammZustand.h"
#include "serial/platform/SerialIdentity.h"
#include "settings/Einstellungen.h"
#include "storage/Angaben.h"
#include "storage/DateiMeldung.h"
#include "storage/RohdatenSchreiber.h"
#include "storage/Uhr.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <exception>
#include <optional>
#include <string>

class QFileSystemWatcher;
class QTimer;
class TComPort;
class TComPortWatch;
class TVorlauf;

// The text of an error for a message line: a file error with its German system text.
std::string NutzerText(const std::exception_ptr& fehler);

// The line of a measurement: the wait for a device that went away, and its interruptions.
struct TLeitungsStand {
    std::string MessName;                        // the name the measurement opened
    std::optional<TUhrzeit> WarteZeit;           // since when the device is waited for
    std::string WarteGrund;                      // why it cannot be opened yet
    int Unterbrechungen = 0;                     // of this measurement
    std::optional<TUhrzeit> LetzteUnterbrechung; // start and end of the last one
    std::optional<TUhrzeit> LetzteRueckkehr;
    int Verlustfehler = 0;     // the errno the device went away with the last time
    std::string RueckkehrName; // the name it came back under the last time
};

// What happened to the line of a measurement.
enum class TLeitungsWechsel : std::uint8_t {
    Verloren,   // the device went away; the measurement waits for it
    Aufgegeben, // the device went away and is not waited for (also told through Fehler)
    NochWeg,    // a try to reopen failed; WarteGrund says why
    Zurueck,    // the device is back, under RueckkehrName
    // Anything else: a wait for a device absent at the start began, a wait ended with the
    // measurement, or a new measurement forgot the interruptions of the one before.
    Sonst,
};

// A measurement on a serial port, as the window and the logger run it: its start and end,
// immediate and automatic saving, the reception of every chunk, the line's loss and return and
// the raw-data capture. It decides every transition; whoever shows or prints it listens to its
// signals and asks its state. Errors a user must read come as EMeldung through Fehler; the
// transitions a user asked for raise EMeldung themselves.
//
// A measurement outlives its device going away for a while (a bumped cable, an adapter that lost
// power): the port is closed, the measurement waits, and it goes on into the same data file
// once the device is back. It tries once a second, whenever the folder of the port's name
// changes and whenever an adapter is plugged in. A USB adapter is known by its identity: it is
// followed to a new name, and another device under the old name is never opened.
class TMessung : public QObject {
    Q_OBJECT
public:
    // `zustand`, `port` and `einstellungen` belong to the caller and outlive the measurement; the
    // settings are read at each step, so a change applies from the next one.
    TMessung(TProgrammZustand& zustand, TComPort& port, const TEinstellungen& einstellungen,
             TUhr uhr, QObject* parent = nullptr);
    ~TMessung() override;

    // One capture for every measurement of the run (--capture), kept open until Schluss; with
    // Fortsetzen an existing capture goes on with a new run.
    void AufzeichnungsDateiSetzen(std::string pfad, TRohOeffnung art = TRohOeffnung::Neu);

    TLeseModus Modus() const noexcept { return zustand_.Messung.LeseModus; }
    // The port is open, or the measurement waits for its device.
    bool Laeuft() const;
    bool WartetAufGeraet() const noexcept { return leitung_.WarteZeit.has_value(); }
    TSpeicherArt Speichern() const noexcept { return zustand_.Speicher.Art; }
    const TLeitungsStand& Leitung() const noexcept { return leitung_; }
    const TMessAufzeichnung& Aufzeichnung() const noexcept { return aufzeichnung_; }
    TUhrzeit Jetzt() const { return UhrLesen(uhr_); }

    // Sample, operator (the login name until another is named) and electrode of the readings
    // from now on; they stay until changed.
    const TAngaben& Angaben() const noexcept { return zustand_.Speicher.Angaben; }
    // Changes one of them, with an optional reason. A value that differs from the present one
    // goes into the capture, a sample onto the chart's time axis, and out through
    // AngabeGeaendert; the next line saved carries it.
    void AngabeSetzen(TAngabe angabe, const std::string& wert, const std::string& grund = {});

    // Begins a measurement of `art` (lmRS232 or lmWTW): its state, then the port, then the
    // capture. A port that does not open undoes the start (BeginnGescheitert) and raises EMeldung
    // (telling of the EComPort, naming the device and its errno). A capture that cannot start is
    // reported through Fehler and the measurement runs without it, unless `aufzeichnungNoetig`:
    // then it raises EMeldung. With `geraetAbwarten` a device that cannot be opened yet (absent,
    // no permission, busy) is waited for as a lost line is, and the measurement runs meanwhile.
    void Beginnen(TLeseModus art, bool aufzeichnungNoetig = false, bool geraetAbwarten = false);
    // Ends the measurement: the port closed (chunks it still delivers are handled and saved) or
    // the wait ended, the capture told, the state reset. A port that fails to close raises
    // EMeldung after all of that.
    void Beenden();
    // Saving of `art` (Sofort or Auto) begins; EMeldung when the data file cannot be opened.
    void SpeichernEin(TSpeicherArt art);
    // Saving ends; EInOutError when the data file cannot be closed (saving is off all the same).
    void SpeichernAus();
    // The end of the run: the port closed (chunks it still delivers are saved), saving ended,
    // the measurement ended, the capture closed. Every step runs; the first error is raised
    // afterwards (the data file's before the port's).
    void Schluss();

    // Sends `text` to the device: into the running measurement (and its capture), or with the
    // port opened just for it, waiting until it has left.
    void Senden(const std::string& text);

    // One more try to reopen the port of a lost line; the wait's timer and wake-ups call it.
    void WiederverbindenVersuchen();

    // The one file to be ahead of the data file (see TVorlauf), or none (nullptr); it must
    // outlive the measurement or be taken back first. Only while there is one is the line of
    // each reading counted before it is written.
    void VorlaufSetzen(TVorlauf* vorlauf) noexcept { vorlauf_ = vorlauf; }
    // Brings the data file's lines onto the disk now, the outbox first (TVorlauf::VorDemSichern):
    // for a file that must never be ahead of them (the audit trail). Raises EInOutError when the
    // data file cannot be synced.
    void Sichern();

signals:
    // A measurement of `art` began: its port is open (or its device is waited for) and its
    // capture begun.
    void Begonnen(TLeseModus art);
    // The port of a start did not open: the start is undone, no measurement runs.
    void BeginnGescheitert(TLeseModus art);
    void Beendet(TLeseModus art);
    void SpeichernGeaendert(TSpeicherArt art);
    // A chunk was received, captured, listed and saved: what the window shows of it.
    void ChunkVerarbeitet(const TChunkErgebnis& ergebnis);
    // Each new reading once it is listed and saved.
    void NeuerMesswert(const TMesswert& messwert);
    // The line changed: `wechsel` says what happened, `stand` is Leitung() after it.
    void LeitungGeaendert(TLeitungsWechsel wechsel, const TLeitungsStand& stand);
    // An error the user must read (an EMeldung): reception, saving, capture or a lost line. A
    // full disk is one error when it begins, however many readings wait meanwhile.
    void Fehler(const std::exception_ptr& fehler);
    // A German sentence the user should know that is no error: writing works again (with the
    // lines written late and lost).
    void Hinweis(const QString& text);
    // Sample, operator or electrode changed from `alt` to `neu` (UTF-8 texts), `grund` empty
    // when none was given.
    void AngabeGeaendert(TAngabe angabe, const QString& alt, const QString& neu,
                         const QString& grund);

private:
    std::exception_ptr PortSchliessen();
    void MessungAbschliessen(bool portOffen);
    void SchliessFehlerMelden(const std::exception_ptr& fehler);
    void Empfangen(int anzahl);
    TMesswertSchritte MesswertSchritte();
    void LeitungWeg(int fehler);
    void LeitungMelden(TLeitungsWechsel wechsel);
    // The wait for the device; `verloren`: it went away during the measurement (else it was
    // not there at the start).
    void WartenBeginnen(int fehler, bool verloren);
    void WartenBeenden();
    void UnterbrechungenVergessen();
    void OrdnerBeobachten();
    void PortOeffnen();
    void AufzeichnungBeginnen(TLeseModus art, bool noetig);
    void Aufzeichnen(TRohArt art, std::string_view daten);
    void AufzeichnungsFehler(const std::exception_ptr& fehler);
    void ProbeMarkieren();
    void SendenOhneMessung(const std::string& text);
    // What is written reaches the disk within a second (group commit, from the event loop), and
    // the reports of the files are handed on.
    void SyncPlanen();
    void Synchronisieren();
    void DateiMeldungenWeitergeben();
    void Weitergeben(const TDateiMeldung& meldung, const std::string& datei);

    TProgrammZustand& zustand_;
    TComPort& port_;
    const TEinstellungen& einstellungen_;
    TUhr uhr_;
    TMessAufzeichnung aufzeichnung_;
    TLeitungsStand leitung_;
    TPortIdentity adapter_; // the adapter the measurement opened; empty off USB
    TVorlauf* vorlauf_ = nullptr;
    QTimer* syncTakt_ = nullptr;
    QTimer* wiederverbindenTakt_ = nullptr;
    QFileSystemWatcher* ordnerWaechter_ = nullptr;
    TComPortWatch* geraeteWaechter_ = nullptr; // udev: adapters plugged in and out
};
