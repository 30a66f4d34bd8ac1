// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mainwindow/ComMainForm.h"

#include "audit/Protokoll.h"
#include "framework/widgets/Fehlerbox.h"
#include "mainwindow/FehlerboxAnschluss.h"
#include "mainwindow/PrgOptionenFrm.h"
#include "mainwindow/VeroeffentlichenFrm.h"
#include "publish/Veroeffentlicher.h"

#include <QLabel>
#include <QPushButton>

// The window's side of publishing: the publisher listens to the window's measurement and is
// made from quorlits.conf at the start and after its dialog changed the settings. Its state
// stands under the saving labels and in the dialog; an outbox that is full or cannot be written
// is told in the error box.

void TForm1::VeroeffentlichenFormErzeugen() {
    VeroeffentlichenForm = new TVeroeffentlichenForm(PrgOptionenForm);
    connect(PrgOptionenForm->VeroeffentlichenButton, &QPushButton::clicked, this,
            [this] { KlickBehandeln(&TForm1::VeroeffentlichenClick); });
}

void TForm1::VeroeffentlichenClick() {
    const std::filesystem::path datei = EinstellungenPfad(konfigurationsDatei_);
    const TVeroeffentlichenEinstellungen bisher = VeroeffentlichenLesen(datei);
    TVeroeffentlichenForm& f = *VeroeffentlichenForm;
    f.Zeigen(bisher);
    if (f.exec() != QDialog::Accepted) {
        return;
    }
    const TVeroeffentlichenEinstellungen neu = f.Einstellungen();
    // OK on unchanged settings starts a publisher that could not start before, and leaves a
    // running one connected.
    if (neu == bisher && (veroeffentlicher_ || !neu.Aktiv)) {
        return;
    }
    EinstellungenProtokollieren("Veröffentlichen", Veroeffentlichenoptionen(bisher),
                                Veroeffentlichenoptionen(neu));
    VeroeffentlichenStarten(neu);
    // Last: a quorlits.conf that cannot be written is reported with the settings in use.
    VeroeffentlichenSchreiben(datei, neu);
}

// A publisher that cannot start is reported; publishing stays off and the measurement goes on.
void TForm1::VeroeffentlichenStarten(const TVeroeffentlichenEinstellungen& einstellungen) {
    veroeffentlicher_.reset();
    veroeffentlichenGewollt_ = einstellungen.Aktiv;
    Behandeln([&] {
        veroeffentlicher_ =
            VeroeffentlicherFuer(*messung_, Zustand, einstellungen, zustandsOrdner_);
    });
    if (TVeroeffentlicher* v = veroeffentlicher_.get()) {
        // Each published reading carries the chain head, so the collector holds copies of it.
        v->KettenKopfSetzen([this] { return protokoll_->KettenKopf(); });
        connect(v, &TVeroeffentlicher::ZustandGeaendert, this,
                [this] { VeroeffentlichenZeigen(); });
        connect(v, &TVeroeffentlicher::AusgangVoll, this, &HinweisMelden);
        connect(v, &TVeroeffentlicher::Stoerung, this, &HinweisMelden);
    }
    VeroeffentlichenZeigen();
}

// Hidden while publishing is switched off: a bench that does not publish keeps its window as it
// was. Switched on, the line stays, so a publisher that could not start reads "aus".
void TForm1::VeroeffentlichenZeigen() {
    const QString zustand =
        veroeffentlicher_ ? veroeffentlicher_->Zustand() : QStringLiteral("aus");
    VeroeffentlichenZustand->setText(QStringLiteral("Veröffentlichen: ") + zustand);
    VeroeffentlichenZustand->setVisible(veroeffentlichenGewollt_);
    VeroeffentlichenForm->ZustandZeigen(zustand);
}
