// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "app/Einstellungen.h"
#include "mainwindow/ComMainForm.h"
#include "mainwindow/FehlerboxAnschluss.h"
#include "serial/platform/FakeComDevice.h"
#include "tests/unit/common/TestOrdner.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <memory>
#include <string>

// What a test may change of the window's start.
struct TRigStart {
    std::string Konfiguration;   // when not empty, the PHRX.CFG found at start
    TUhr Uhr;                    // the clock; standing at Uhrzeit() when empty
    std::string Aufzeichnung;    // --capture
    std::string Einstellungen{}; // when not empty, the quorlits.conf found at start
};

// The main window on a fake serial device, with PHRX.CFG, quorlits.conf, the data files and the
// publisher's outboxes in a fresh folder, a clock that stands at 07.12.2026 10:00:00, and the
// error box replaced by a list of its texts. The window is shown, so its first activation has
// run.
class THauptfensterRig {
public:
    static TZeitpunkt Uhrzeit() { return TZeitpunkt{7, 12, 2026, 10, 0, 0}; }

    explicit THauptfensterRig(const std::string& konfiguration = {})
        : THauptfensterRig(TRigStart{konfiguration, {}, {}}) {}

    explicit THauptfensterRig(TRigStart start) {
        if (!start.Konfiguration.empty()) {
            DateiSchreiben(Konfigurationsdatei(), start.Konfiguration);
        }
        if (!start.Einstellungen.empty()) {
            DateiSchreiben(EinstellungenPfad(Konfigurationsdatei()), start.Einstellungen);
        }
        TFormOptionen optionen;
        optionen.KonfigurationsDatei = Konfigurationsdatei();
        auto geraet = std::make_unique<TFakeComDevice>();
        Geraet = geraet.get();
        optionen.Geraet = std::move(geraet);
        optionen.Uhr = start.Uhr ? std::move(start.Uhr) : FesteUhr(Uhrzeit(), 3600);
        optionen.Aufzeichnung = std::move(start.Aufzeichnung);
        // A publisher's outboxes stay in the test's folder.
        optionen.ZustandsOrdner = Ordner / "zustand";
        Form = std::make_unique<TForm1>(std::move(optionen));
        FehlerboxAnschliessen(Form.get(), [this](const QString& text) { Fehler << text; });
        Form->show();
        Form->Zustand.Konfiguration.Ausgabedatei = Ordner.Datei("Daten.txt");
    }

    ~THauptfensterRig() {
        Form.reset();
        FehlerboxTrennen();
    }

    THauptfensterRig(const THauptfensterRig&) = delete;
    THauptfensterRig& operator=(const THauptfensterRig&) = delete;

    std::filesystem::path Konfigurationsdatei() const { return Ordner / "PHRX.CFG"; }

    // How long a wait for an event may take before the test fails: only a fault reaches it, so
    // it is generous enough for a machine busy with other work (5 s were not, under a CPU hog).
    static constexpr int EreignisFrist = 30000;

    // Bytes arrive on the line as one chunk; returns once the window has handled and shown
    // them (it shows closely following chunks together, after a short delay).
    bool Empfangen(const std::string& bytes) {
        Geraet->InjectReceived(bytes);
        const auto* takt = Form->findChild<QTimer*>(QStringLiteral("Anzeigetakt"));
        return takt != nullptr &&
               QTest::qWaitFor(
                   [this, takt] { return Geraet->QueuedCount() == 0 && !takt->isActive(); },
                   EreignisFrist);
    }

    // Lets queued work (error reports) run.
    static void Abarbeiten() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
        }
    }

    TTestOrdner Ordner;
    TFakeComDevice* Geraet = nullptr;
    std::unique_ptr<TForm1> Form;
    QStringList Fehler;
};
