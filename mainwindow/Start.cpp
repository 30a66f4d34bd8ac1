// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mainwindow/ComMainForm.h"

#include "acquisition/Zahlformat.h"
#include "app/ComMainWindowPort.h"
#include "app/KonfDatei.h"
#include "framework/widgets/Fehlerbox.h"
#include "framework/widgets/Memo.h"
#include "framework/widgets/PBSpinEdit.h"
#include "framework/widgets/SpeedButton.h"
#include "framework/widgets/StringGrid.h"
#include "mainwindow/About.h"
#include "mainwindow/FehlerboxAnschluss.h"
#include "measurement/Messung.h"
#include "mqtt/VeroeffentlichenEinstellungen.h"
#include "serial/ComPort.h"
#include "session/Sitzung.h"
#include "storage/Dateinamen.h"
#include "storage/PCZeit.h"
#include "storage/RohdatenFormat.h"
#include "storage/Zeitrechnung.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <utility>

TForm1::TForm1(TFormOptionen optionen, QWidget* parent)
    : QWidget(parent)
    , konfigurationsDatei_(std::move(optionen.KonfigurationsDatei))
    , uhr_(optionen.Uhr ? std::move(optionen.Uhr) : SystemUhr())
    , verlauf_(std::make_unique<TVerlauf>()) {
    Zustand.Verlauf = verlauf_.get();
    Aufbauen();
    AnzeigeTaktEinrichten();
    PortEinrichten(optionen);
    SitzungEinrichten(optionen);
    LampenAufbauen(Panel1);
    Verbinden();
    AngabenVerbinden();
    DialogeErzeugen();
    if (const QScreen* bildschirm = screen()) {
        move(bildschirm->availableGeometry().center() - rect().center());
    }
}

TForm1::~TForm1() {
    disconnect(fokusVerbindung_);
}

void TForm1::PortEinrichten(TFormOptionen& optionen) {
    comPort_ = optionen.Geraet ? std::make_unique<TComPort>(std::move(optionen.Geraet))
                               : std::make_unique<TComPort>();
    ApplyMainWindowPortDefaults(*comPort_);
    if (!optionen.Port.empty()) {
        comPort_->SetPort(optionen.Port);
    }
}

// The session and its measurement tell the window what happens; the window sets its controls.
void TForm1::SitzungEinrichten(TFormOptionen& optionen) {
    // A child too, so the measurement's timers and watches are found among the window's children.
    sitzung_ =
        std::make_unique<TSitzung>(Zustand, *comPort_, Einstellungen,
                                   TSitzungsOptionen{uhr_, std::move(optionen.ZustandsOrdner),
                                                     std::move(optionen.Aufzeichnung)},
                                   this);
    TSitzung* s = sitzung_.get();
    // Queued: the error can come from inside a data-file write during a serial delivery, where
    // a modal box must not open.
    connect(
        s, &TSitzung::ProtokollFehler, this,
        [](const std::exception_ptr& fehler) { FehlerMelden(fehler); }, Qt::QueuedConnection);
    connect(s, &TSitzung::VeroeffentlichenGeaendert, this, [this] { VeroeffentlichenZeigen(); });
    connect(s, &TSitzung::VeroeffentlichenStoerung, this, &HinweisMelden);
    TMessung* m = &Messung();
    connect(m, &TMessung::Begonnen, this, [this](TLeseModus art) { MessungBegonnenZeigen(art); });
    connect(m, &TMessung::Beendet, this, [this](TLeseModus art) { KnopfBeschriften(art, false); });
    connect(m, &TMessung::BeginnGescheitert, this,
            [this](TLeseModus art) { MessungGescheitertZeigen(art); });
    connect(m, &TMessung::ChunkVerarbeitet, this,
            [this](const TChunkErgebnis& ergebnis) { ChunkZeigen(ergebnis); });
    connect(m, &TMessung::LeitungGeaendert, this, [this] { LeitungZeigen(); });
    connect(m, &TMessung::Fehler, this,
            [](const std::exception_ptr& fehler) { FehlerMelden(fehler); });
    // That writing works again ends the episode a full disk began: one box each.
    connect(m, &TMessung::Hinweis, this, [](const QString& text) { HinweisMelden(text); });
}

TMessung& TForm1::Messung() const {
    return sitzung_->Messung();
}

void TForm1::Verbinden() {
    const auto klick = [this](QAbstractButton* knopf, void (TForm1::*handler)()) {
        connect(knopf, &QAbstractButton::clicked, this,
                [this, handler] { KlickBehandeln(handler); });
    };
    klick(Rx_Button, &TForm1::RSLesenClick);
    klick(WTW_Rx_Button, &TForm1::RSWTWLesenClick);
    klick(Clear_Btn, &TForm1::Clear_BtnClick);
    klick(Send_Btn, &TForm1::Send_BtnClick);
    klick(SaveButton, &TForm1::Bt_StoreClick);
    klick(AutoSaveBtn, &TForm1::AutoSaveBtnClick);
    klick(RS232Set_Btn, &TForm1::RS232Set_BtnClick);
    klick(ENDEButton, &TForm1::ENDEButtonClick);
    klick(Option_Btn, &TForm1::Option_BtnClick);
    klick(InfoButton, &TForm1::AboutClick);
    klick(VerlaufButton, &TForm1::VerlaufClick);
    connect(VerlaufZeigen, &QAction::triggered, this,
            [this] { KlickBehandeln(&TForm1::VerlaufClick); });
    // Enter in the send field presses the window's default button.
    connect(Edit_Data, &QLineEdit::returnPressed, Send_Btn, &QPushButton::click);
    connect(WTWGridGleitWerte, &QAction::triggered, this,
            [this] { KlickBehandeln(&TForm1::WTWGridGleitWerteClick); });
    connect(Spalten1, &QAction::triggered, this,
            [this] { KlickBehandeln(&TForm1::Spalten1Click); });
}

void TForm1::DialogeErzeugen() {
    SpaltenFormErzeugen();
    AutoFormErzeugen();
    PrgOptionenFormErzeugen();
    VeroeffentlichenFormErzeugen();
    AboutBox = new TAboutBox(this);
}

void TForm1::showEvent(QShowEvent* event) {
    // The set-up must be done before the window is first painted; an activation may never come
    // on a desktop without a window manager.
    Behandeln([this] { FormActivate(); });
    QWidget::showEvent(event);
}

bool TForm1::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        Behandeln([this] { FormActivate(); });
    }
    return QWidget::event(event);
}

void TForm1::FormActivate() {
    if (eingerichtet_) {
        return;
    }
    eingerichtet_ = true;
    TProgrammZustand& z = Zustand;
    AnfangszustandSetzen(z, uhr_().Lokal);
    for (TPBSpinEdit* zahlfeld : findChildren<TPBSpinEdit*>()) {
        zahlfeld->SetDezimalTrennzeichen(QChar::fromLatin1(DezimalTrennzeichen()));
    }
    // A damaged PHRX.CFG is reported, and the start goes on with what could be read.
    Behandeln([this] { KonfLoad(Zustand.Konfiguration, konfigurationsDatei_); });
    Einstellungen = EinstellungenLesen(EinstellungenPfad(konfigurationsDatei_));
    // The run's start goes into the trail, then publishing starts as quorlits.conf says.
    VeroeffentlichenStarten(VeroeffentlichenLesen(EinstellungenPfad(konfigurationsDatei_)),
                            &TSitzung::Eroeffnen);
    DateiLabelZeigen();
    DesignStandardGrid(z);
    TabelleZeigen();
    comPort_->BeginUpdate();
    comPort_->SetBaudRate(br4800);
    comPort_->EndUpdate();
    comPort_->BeginUpdate();
    comPort_->FlowControl().SetFlowControl(fcHardware);
    comPort_->EndUpdate();
}

void TForm1::RS232Set_BtnClick() {
    const TEinstellungsListe vorher = Schnittstellenoptionen(*comPort_);
    comPort_->ShowSettingsDialog();
    EinstellungenProtokollieren("RS232 - Optionen", vorher, Schnittstellenoptionen(*comPort_));
}

void TForm1::ENDEButtonClick() {
    // The window closes also when the data file could not be closed; the error is shown then.
    std::exception_ptr fehler;
    try {
        Messung().Schluss();
    } catch (...) {
        fehler = std::current_exception();
    }
    close();
    if (fehler) {
        std::rethrow_exception(fehler);
    }
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (!geschlossen_) {
        geschlossen_ = true;
        FormClose();
    }
    event->accept();
}

void TForm1::FormClose() {
    // Each step runs even when one before it failed; a closed window takes nothing with it.
    Behandeln([this] { sitzung_->Schliessen(); });
    Behandeln([this] { KonfSave(Zustand.Konfiguration, konfigurationsDatei_); });
    Behandeln([this] { comPort_->Close(); });
    Behandeln([this] { Zustand.Speicher.Datendatei.Schliessen(); });
}
