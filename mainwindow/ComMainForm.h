// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "app/Einstellungen.h"
#include "mainwindow/FormOptionen.h"
#include "reception/Empfang.h"
#include "storage/Angaben.h"
#include "storage/Uhr.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;
class TAboutBox;
class TAuto_Form;
class TComLed;
class TComPort;
class TMessung;
class TPrgOptionenForm;
class TSitzung;
class TSpalten_Form;
class TVerlaufFenster;
class TVeroeffentlichenForm;
class TVeroeffentlicher;
struct TVeroeffentlichenEinstellungen;
class TCustomComPort;
class TMemo;
class TSpeedButton;
class TSpeedButtonGroup;
class TStringGrid;

// The main window: it owns the program's state (TProgrammZustand), the serial port and every
// control, and handles each event in a method named after the control and the event. Its
// methods live in this folder, one file per concern: construction (HauptfensterAufbau.cpp,
// HauptfensterLampen.cpp), measurements and reception (Messung.cpp, EmpfangFenster.cpp), the
// line's loss and return (Wiederverbinden.cpp), the capture (AufzeichnungFenster.cpp), saving
// (SpeichernKnopf.cpp, AutoSpeichernKnopf.cpp), start-up and shutdown (Start.cpp), publishing
// (VeroeffentlichenFenster.cpp) and the dialogs (OptionenKnoepfe.cpp, AboutKnopf.cpp).
class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(TFormOptionen optionen, QWidget* parent = nullptr);
    ~TForm1() override;

    TProgrammZustand Zustand;
    TComPort& ComPort() { return *comPort_; }
    bool Eingerichtet() const noexcept { return eingerichtet_; }

    // Measurements and reception.
    void RSLesenClick();
    void RSWTWLesenClick();
    void Clear_BtnClick();
    void Send_BtnClick();
    void WTWGridGleitWerteClick();
    // Shows the window "Verlauf" with the chart of the meter measurement (VerlaufKnopf.cpp).
    void VerlaufClick();
    // The frame the chart opens in on a screen whose free part is `bildschirm` (VerlaufRahmen);
    // the chart must have been created.
    QRect VerlaufPlatz(const QRect& bildschirm) const;

    // True while the measurement waits for its device that went away (with
    // AutomatischWiederverbinden the measurement and its saving go on meanwhile).
    bool WartetAufGeraet() const;
    // One more try to reopen the port; the timer of the wait calls it.
    void WiederverbindenVersuchen();

    // Saving.
    void Bt_StoreClick();
    void AutoSaveBtnClick(); // AutoSpeichernKnopf.cpp

    // Start-up and shutdown, and the dialogs.
    void FormActivate();
    void ENDEButtonClick();
    void RS232Set_BtnClick();
    void Option_BtnClick(); // OptionenKnoepfe.cpp
    void Spalten1Click();   // OptionenKnoepfe.cpp
    void AboutClick();      // AboutKnopf.cpp
    // The program options' "Veröffentlichen ..." (VeroeffentlichenFenster.cpp).
    void VeroeffentlichenClick();

    // The publisher of the readings; none while publishing is off or could not start.
    const TVeroeffentlicher* Veroeffentlicher() const noexcept;

    // The dialogs that live for the whole run, created hidden after the window's own controls
    // in this order.
    TSpalten_Form* Spalten_Form = nullptr;
    TAuto_Form* Auto_Form = nullptr;
    TPrgOptionenForm* PrgOptionenForm = nullptr;
    // Opened from PrgOptionenForm, its parent.
    TVeroeffentlichenForm* VeroeffentlichenForm = nullptr;
    // Created at start like the others but never shown: every showing gets a new box.
    TAboutBox* AboutBox = nullptr;

    // The controls, named as their objectName.
    TSpeedButton* Rx_Button = nullptr;
    TSpeedButton* WTW_Rx_Button = nullptr;
    QPushButton* Clear_Btn = nullptr;
    QPushButton* RS232Set_Btn = nullptr;
    QPushButton* Option_Btn = nullptr;
    QLineEdit* Edit_Data = nullptr;
    QPushButton* Send_Btn = nullptr;
    QCheckBox* NewLine_CB = nullptr;
    // The row above the saving area: sample, operator and electrode, and the optional reason
    // of a sample change (AngabenLeiste.cpp).
    QLineEdit* ProbeEdit = nullptr;
    QLineEdit* GrundEdit = nullptr;
    QLineEdit* BedienerEdit = nullptr;
    QLineEdit* ElektrodeEdit = nullptr;
    QFrame* Panel3 = nullptr;
    TSpeedButton* SaveButton = nullptr;
    TSpeedButton* AutoSaveBtn = nullptr;
    TMemo* Memo = nullptr;
    TStringGrid* StringGrid1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* Spalten1 = nullptr;
    QAction* WTWGridGleitWerte = nullptr;
    QAction* VerlaufZeigen = nullptr; // the table menu's "Verlauf anzeigen"
    QPushButton* VerlaufButton = nullptr;
    // Created at the first showing; lives as long as the window.
    TVerlaufFenster* VerlaufFenster = nullptr;
    QLabel* Label7 = nullptr;
    // The line's state beside the memo length: waiting for the device, or the interruptions
    // of the measurement; empty while nothing happened.
    QLabel* Verbindung = nullptr;
    TEinstellungen Einstellungen;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* Label14 = nullptr;
    QLabel* Label15 = nullptr;
    // "Veröffentlichen: " and the publisher's state, under the saving labels; hidden while
    // publishing is switched off.
    QLabel* VeroeffentlichenZustand = nullptr;
    QFrame* Panel1 = nullptr; // the bottom panel: line lamps, "Info" and the end button
    // The line lamps CTS, DSR, RLSD, Ring, Tx and Rx, bound to the port.
    TComLed* ComLed1 = nullptr;
    TComLed* ComLed2 = nullptr;
    TComLed* ComLed3 = nullptr;
    TComLed* ComLed4 = nullptr;
    TComLed* ComLed5 = nullptr;
    TComLed* ComLed6 = nullptr;
    TSpeedButton* InfoButton = nullptr;
    TSpeedButton* ENDEButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Builds every control and places it (HauptfensterAufbau.cpp).
    void Aufbauen();
    QWidget* MessungsLeiste();
    QWidget* SendeLeiste();
    QWidget* Anzeigebereich();
    QWidget* AngabenLeiste();
    QWidget* SpeicherLeiste();
    QWidget* UntereLeiste();
    // The six lamps with their labels on Panel1, bound to the port (serial setup's side).
    void LampenAufbauen(QWidget* panel);
    // The main window's frame around its contents.
    QMargins Fensterrand() const;
    // Each creates its dialog, in the order of DialogeErzeugen.
    void DialogeErzeugen();
    void SpaltenFormErzeugen();
    void AutoFormErzeugen();
    void PrgOptionenFormErzeugen();
    void VeroeffentlichenFormErzeugen();
    void Verbinden();
    void PortEinrichten(TFormOptionen& optionen);

    void TabelleZeigen();
    // The memo, the labels of a chunk and the table follow the state at most every
    // AnzeigeAbstandMs: painting for every chunk of a fast line would cost more than the
    // reception itself, and no eye sees the difference.
    void AnzeigeTaktEinrichten();
    void ChunkZeigen(const TChunkErgebnis& ergebnis);
    void AnzeigeAuffrischen();
    // Shows the autosave status a paced refresh still holds, before a click handler sets labels
    // of its own that the refresh must not overwrite later.
    void GehaltenenStatusZeigen();
    // A click or menu handler, run through the error handler after the held status is shown;
    // nothing while a start waits for the port.
    void KlickBehandeln(void (TForm1::*handler)());
    void MessbeginnZeigen();
    void MessendeZeigen();

    // The close event's part: PHRX.CFG, the data file.
    void FormClose();
    // The start of saving of both saving buttons; a generated file name is shown at once.
    // EMeldung when the data file cannot be opened.
    void SpeicherStart(TSpeicherArt art);
    // Label12: "automatische Wahl", or the file name part of Ausgabedatei.
    void DateiLabelZeigen();

    std::filesystem::path konfigurationsDatei_;
    TUhr uhr_;
    std::unique_ptr<TComPort> comPort_;
    std::unique_ptr<TVerlauf> verlauf_;
    QTimer* anzeigeTakt_ = nullptr;
    // The chart's size as the user wants it, and the size it was last given when opened.
    QSize verlaufGroesse_;
    QSize verlaufGesetzt_;
    QElapsedTimer letzteAnzeige_;
    std::optional<TAutoSpeicherStatus> autoStatus_;
    TSpeedButtonGroup* lesenGruppe_ = nullptr;
    TSpeedButtonGroup* speichernGruppe_ = nullptr;
    bool eingerichtet_ = false;
    bool geschlossen_ = false;

    // The session, its measurement and what the window shows of them.
    void SitzungEinrichten(TFormOptionen& optionen);
    TMessung& Messung() const;
    void MessungBeginntZeigen(TLeseModus art);
    void MessungBegonnenZeigen(TLeseModus art);
    void MessungGescheitertZeigen(TLeseModus art);
    void MessungEndeZeigen(TLeseModus art);
    void KnopfBeschriften(TLeseModus art, bool laeuft);
    void EinstellungenNehmen(const TEinstellungen& neue); // OptionenKnoepfe.cpp
    // The line's state (Wiederverbinden.cpp): the send button, the lamps and the label beside
    // the memo length.
    void LeitungZeigen();
    void VerbindungZeigen();
    void LampenZeigen();
    // Publishing (VeroeffentlichenFenster.cpp): the publisher as `einstellungen` ask, through
    // the session's opening or its restart of publishing, and its state in the window and the
    // dialog. One that cannot start is reported; publishing stays off and the measurement goes
    // on.
    using TVeroeffentlichenSchritt = void (TSitzung::*)(const TVeroeffentlichenEinstellungen&);
    void VeroeffentlichenStarten(const TVeroeffentlichenEinstellungen& einstellungen,
                                 TVeroeffentlichenSchritt schritt);
    void VeroeffentlichenZeigen();
    bool veroeffentlichenGewollt_ = false; // switched on in quorlits.conf

    // Sample, operator and electrode (AngabenLeiste.cpp): the field of each, what a field
    // typed into gives the measurement, and what the measurement holds shown in the fields.
    QLineEdit* AngabeFeld(TAngabe angabe) const;
    void AngabenVerbinden();
    void AngabeNehmen(TAngabe angabe);
    void AngabenZeigen();
    QPointer<QWidget> vorProbe_; // the focus before "Probe" got it
    QMetaObject::Connection fokusVerbindung_;
    // The audit trail (ProtokollFenster.cpp): a dialog's settings, as name and value, compared
    // before and after its OK.
    using TEinstellungsListe = std::vector<std::pair<std::string, std::string>>;
    void EinstellungenProtokollieren(std::string_view dialog, const TEinstellungsListe& vorher,
                                     const TEinstellungsListe& nachher);
    static TEinstellungsListe Speicheroptionen(const TKonfiguration& k,
                                               const TEinstellungen& einstellungen);
    static TEinstellungsListe Veroeffentlichenoptionen(const TVeroeffentlichenEinstellungen& e);
    static TEinstellungsListe Autospeicheroptionen(const TProgrammZustand& zustand);
    static TEinstellungsListe Schnittstellenoptionen(const TComPort& port);

    // The measurement with its trail, publisher and capture; declared after the port and the
    // state it uses, so it goes before them.
    std::unique_ptr<TSitzung> sitzung_;
};
