// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mainwindow/ComMainForm.h"

#include "framework/widgets/Fehlerbox.h"
#include "mainwindow/FehlerboxAnschluss.h"
#include "mainwindow/PrgOptionenFrm.h"
#include "mainwindow/VeroeffentlichenFrm.h"
#include "publish/Veroeffentlicher.h"
#include "session/Sitzung.h"

#include <QLabel>
#include <QPushButton>

// The window's side of publishing: the session's publisher is made from quorlits.conf at the
// start and after its dialog changed the settings. Its state
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
    if (neu == bisher && (Veroeffentlicher() != nullptr || !neu.Aktiv)) {
        return;
    }
    EinstellungenProtokollieren("Veröffentlichen", Veroeffentlichenoptionen(bisher),
                                Veroeffentlichenoptionen(neu));
    VeroeffentlichenStarten(neu, &TSitzung::VeroeffentlichenStarten);
    // Last: a quorlits.conf that cannot be written is reported with the settings in use.
    VeroeffentlichenSchreiben(datei, neu);
}

// A publisher that cannot start is reported; publishing stays off and the measurement goes on.
void TForm1::VeroeffentlichenStarten(const TVeroeffentlichenEinstellungen& einstellungen,
                                     TVeroeffentlichenSchritt schritt) {
    veroeffentlichenGewollt_ = einstellungen.Aktiv;
    Behandeln([&] { (sitzung_.get()->*schritt)(einstellungen); });
    VeroeffentlichenZeigen();
}

const TVeroeffentlicher* TForm1::Veroeffentlicher() const noexcept {
    return sitzung_->Veroeffentlicher();
}

// Hidden while publishing is switched off: a bench that does not publish keeps its window as it
// was. Switched on, the line stays, so a publisher that could not start reads "aus".
void TForm1::VeroeffentlichenZeigen() {
    const TVeroeffentlicher* v = Veroeffentlicher();
    const QString zustand = v != nullptr ? v->Zustand() : QStringLiteral("aus");
    VeroeffentlichenZustand->setText(QStringLiteral("Veröffentlichen: ") + zustand);
    VeroeffentlichenZustand->setVisible(veroeffentlichenGewollt_);
    VeroeffentlichenForm->ZustandZeigen(zustand);
}
