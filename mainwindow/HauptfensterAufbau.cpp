// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mainwindow/ComMainForm.h"

#include "framework/widgets/Memo.h"
#include "framework/widgets/SpeedButton.h"
#include "framework/widgets/StringGrid.h"
#include "framework/widgets/UmbruchLabel.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSizePolicy>
#include <QVBoxLayout>

namespace {

// Hints of controls outside the send and save panels are kept with the control but not shown:
// the main window shows tool tips only inside those two panels.
constexpr const char* HinweisEigenschaft = "hint";

template <typename W>
W* Benannt(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

void HinweisSpeichern(QWidget* widget, const QString& hinweis) {
    widget->setProperty(HinweisEigenschaft, hinweis);
}

void HinweisZeigen(QWidget* widget, const QString& hinweis) {
    widget->setProperty(HinweisEigenschaft, hinweis);
    widget->setToolTip(hinweis);
}

QLabel* Text(const char* name, const QString& text, QWidget* parent) {
    return Benannt(new QLabel(text, parent), name);
}

QLabel* StatusLabel(const char* name, const QString& text, QWidget* parent) {
    QLabel* label = Text(name, text, parent);
    label->setStyleSheet(QStringLiteral("color: #800000;"));
    return label;
}

QFrame* Panel(const char* name, QWidget* parent) {
    auto* panel = Benannt(new QFrame(parent), name);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Raised);
    return panel;
}

} // namespace

void TForm1::Aufbauen() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Quorlits (Reihe pH 325)"));
    auto* spalte = new QVBoxLayout(this);
    spalte->setContentsMargins(6, 6, 6, 6);
    spalte->setSpacing(4);
    spalte->addWidget(MessungsLeiste());
    spalte->addWidget(SendeLeiste());
    spalte->addWidget(Anzeigebereich(), 1);
    spalte->addWidget(AngabenLeiste());
    spalte->addWidget(SpeicherLeiste());
    spalte->addWidget(UntereLeiste());
    resize(598, 527);
}

QWidget* TForm1::MessungsLeiste() {
    auto* leiste = Benannt(new QWidget(this), "MessungsLeiste");
    auto* zeile = new QHBoxLayout(leiste);
    zeile->setContentsMargins(0, 0, 0, 0);
    Rx_Button = Benannt(new TSpeedButton(QStringLiteral("RS232 Lesen"), leiste), "Rx_Button");
    HinweisSpeichern(Rx_Button, QStringLiteral("Daten von RS232 unformatiert lesen."));
    WTW_Rx_Button = Benannt(new TSpeedButton(QStringLiteral("WTW-Lesen"), leiste), "WTW_Rx_Button");
    HinweisSpeichern(WTW_Rx_Button, QStringLiteral("Daten für WTW 325-Serie formatiert lesen."));
    lesenGruppe_ = new TSpeedButtonGroup(this);
    lesenGruppe_->Add(Rx_Button);
    lesenGruppe_->Add(WTW_Rx_Button);
    Clear_Btn = Benannt(new QPushButton(QStringLiteral("Fenster löschen"), leiste), "Clear_Btn");
    HinweisSpeichern(Clear_Btn, QStringLiteral("Datenanzeige im Bildschirmbereich löschen."));
    RS232Set_Btn =
        Benannt(new QPushButton(QStringLiteral("RS232 - Optionen"), leiste), "RS232Set_Btn");
    HinweisSpeichern(RS232Set_Btn, QStringLiteral("Einstellungen zur RS232 Schnittstelle"));
    Option_Btn = Benannt(new QPushButton(QStringLiteral("Speicheroptionen"), leiste), "Option_Btn");
    HinweisSpeichern(Option_Btn,
                     QStringLiteral("Eingabe von Speicher- und allgemeinen Programmoptionen"));
    for (QWidget* knopf : {static_cast<QWidget*>(Rx_Button), static_cast<QWidget*>(WTW_Rx_Button),
                           static_cast<QWidget*>(Clear_Btn), static_cast<QWidget*>(RS232Set_Btn),
                           static_cast<QWidget*>(Option_Btn)}) {
        zeile->addWidget(knopf);
    }
    zeile->addStretch(1);
    return leiste;
}

QWidget* TForm1::SendeLeiste() {
    QFrame* panel = Panel("Panel2", this);
    HinweisZeigen(panel, QStringLiteral("String an RS232 senden"));
    auto* zeile = new QHBoxLayout(panel);
    zeile->setContentsMargins(4, 4, 4, 4);
    Edit_Data = Benannt(new QLineEdit(panel), "Edit_Data");
    HinweisZeigen(Edit_Data,
                  QStringLiteral("Geben Sie die Zeichen ein, die gesendet werden sollen."));
    Send_Btn = Benannt(new QPushButton(QStringLiteral("String Senden"), panel), "Send_Btn");
    HinweisZeigen(Send_Btn, QStringLiteral("String an RS232 senden"));
    Send_Btn->setDefault(true);
    NewLine_CB = Benannt(new QCheckBox(QStringLiteral("...mit LF+CR"), panel), "NewLine_CB");
    HinweisZeigen(NewLine_CB, QStringLiteral("String zum Senden mit LF+CR abschließen"));
    NewLine_CB->setChecked(true);
    zeile->addWidget(Edit_Data, 1);
    zeile->addWidget(Send_Btn);
    zeile->addWidget(NewLine_CB);
    return panel;
}

QWidget* TForm1::Anzeigebereich() {
    auto* bereich = Benannt(new QWidget(this), "Anzeigebereich");
    auto* spalte = new QVBoxLayout(bereich);
    spalte->setContentsMargins(0, 0, 0, 0);
    Memo = Benannt(new TMemo(bereich), "Memo");
    spalte->addWidget(Memo, 1);
    auto* laenge = new QHBoxLayout;
    laenge->addWidget(
        Text("StaticText1", QStringLiteral("Zeichenlänge des aktuellen Memofeldes:"), bereich));
    Label7 = Text("Label7", QStringLiteral("0"), bereich);
    laenge->addWidget(Label7);
    laenge->addSpacing(12);
    // Takes the rest of the row and never widens the window: a long text wraps to further lines.
    Verbindung = Benannt(new TUmbruchLabel(bereich), "Verbindung");
    laenge->addWidget(Verbindung, 1);
    // The chart, at the table it draws.
    VerlaufButton =
        Benannt(new QPushButton(QStringLiteral("Verlauf ..."), bereich), "VerlaufButton");
    HinweisSpeichern(
        VerlaufButton,
        QStringLiteral("Messwerte und Temperatur der Messung als Diagramm über der Zeit"));
    laenge->addWidget(VerlaufButton, 0, Qt::AlignTop);
    spalte->addLayout(laenge);
    StringGrid1 = Benannt(new TStringGrid(bereich), "StringGrid1");
    StringGrid1->Anzeigen(Zustand.Tabelle.Inhalt()); // the empty rows until the first layout
    // All eight rows in view, with room for the horizontal scroll bar.
    StringGrid1->setMinimumHeight(TTabelle::Zeilen * 20 + 24);
    spalte->addWidget(StringGrid1, 1);
    PopupMenu1 = Benannt(new QMenu(this), "PopupMenu1");
    Spalten1 = PopupMenu1->addAction(QStringLiteral("Spaltenzahl ändern"));
    Spalten1->setObjectName(QStringLiteral("Spalten1"));
    WTWGridGleitWerte = PopupMenu1->addAction(QStringLiteral("Gleitendes Mittel anzeigen"));
    WTWGridGleitWerte->setObjectName(QStringLiteral("WTWGridGleitWerte"));
    WTWGridGleitWerte->setCheckable(true);
    VerlaufZeigen = PopupMenu1->addAction(QStringLiteral("Verlauf anzeigen"));
    VerlaufZeigen->setObjectName(QStringLiteral("VerlaufZeigen"));
    StringGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(StringGrid1, &QWidget::customContextMenuRequested, this, [this](const QPoint& punkt) {
        PopupMenu1->popup(StringGrid1->viewport()->mapToGlobal(punkt));
    });
    return bereich;
}

// Sample, operator and electrode in one thin row right above the saving area: typed between
// two samples without a dialog, next to the buttons whose data lines carry them.
QWidget* TForm1::AngabenLeiste() {
    auto* leiste = Benannt(new QWidget(this), "AngabenLeiste");
    auto* zeile = new QHBoxLayout(leiste);
    zeile->setContentsMargins(0, 0, 0, 0);
    const auto feld = [leiste, zeile](const char* name, const QString& text, int dehnung) {
        auto* edit = Benannt(new QLineEdit(leiste), name);
        auto* label = new QLabel(text, leiste);
        label->setBuddy(edit);
        zeile->addWidget(label);
        zeile->addWidget(edit, dehnung);
        return edit;
    };
    ProbeEdit = feld("ProbeEdit", QStringLiteral("Probe:"), 3);
    HinweisZeigen(ProbeEdit, QStringLiteral("Probe der folgenden Messwerte; Eingabe schließt ab"));
    GrundEdit = feld("GrundEdit", QStringLiteral("Grund:"), 2);
    GrundEdit->setPlaceholderText(QStringLiteral("optional, zum Probenwechsel"));
    BedienerEdit = feld("BedienerEdit", QStringLiteral("Bediener:"), 2);
    ElektrodeEdit = feld("ElektrodeEdit", QStringLiteral("Elektrode:"), 2);
    return leiste;
}

QWidget* TForm1::SpeicherLeiste() {
    auto* leiste = Benannt(new QWidget(this), "SpeicherLeiste");
    auto* gitter = new QGridLayout(leiste);
    gitter->setContentsMargins(0, 0, 0, 0);
    Panel3 = Panel("Panel3", leiste);
    HinweisZeigen(Panel3, QStringLiteral("Ausgabe der Werte auf Datei"));
    auto* knoepfe = new QVBoxLayout(Panel3);
    knoepfe->setContentsMargins(4, 4, 4, 4);
    SaveButton = Benannt(new TSpeedButton(QStringLiteral("Speichern EIN"), Panel3), "SaveButton");
    HinweisZeigen(SaveButton, QStringLiteral("EIN/AUS des sofortigen Speicherns"));
    AutoSaveBtn = Benannt(new TSpeedButton(QStringLiteral("Autospeichern"), Panel3), "AutoSaveBtn");
    HinweisZeigen(AutoSaveBtn, QStringLiteral("Aktivierung und Angaben zum Autospeichern"));
    speichernGruppe_ = new TSpeedButtonGroup(this);
    speichernGruppe_->Add(SaveButton);
    speichernGruppe_->Add(AutoSaveBtn);
    knoepfe->addWidget(SaveButton);
    knoepfe->addWidget(AutoSaveBtn);
    gitter->addWidget(Panel3, 0, 0, 4, 1);

    const QString keine = QStringLiteral("keine Messung aktiv");
    const QString nichtGesetzt = QStringLiteral("nicht gesetzt");
    Label8 = Text("Label8", keine, leiste);
    Label9 = Text("Label9", keine, leiste);
    Label10 = Text("Label10", nichtGesetzt, leiste);
    Label11 = Text("Label11", nichtGesetzt, leiste);
    Label14 = StatusLabel("Label14", QStringLiteral("..."), leiste);
    Label15 = StatusLabel("Label15", QStringLiteral("..."), leiste);
    Label12 = Text("Label12", QStringLiteral("Daten.txt"), leiste);
    Label13 = Text("Label13", QStringLiteral("0"), leiste);
    gitter->addWidget(Text("StaticText2", QStringLiteral("Messbeginn:"), leiste), 0, 1);
    gitter->addWidget(Label8, 0, 2, 1, 2);
    gitter->addWidget(Text("StaticText3", QStringLiteral("Messende:"), leiste), 1, 1);
    gitter->addWidget(Label9, 1, 2, 1, 2);
    gitter->addWidget(Text("StaticText4", QStringLiteral("Speicherbeginn:"), leiste), 2, 1);
    gitter->addWidget(Label10, 2, 2);
    gitter->addWidget(Label14, 2, 3);
    gitter->addWidget(Text("StaticText5", QStringLiteral("Speicherende:"), leiste), 3, 1);
    gitter->addWidget(Label11, 3, 2);
    gitter->addWidget(Label15, 3, 3);
    // The file and the count stand under their captions, so a long file name has room.
    gitter->addWidget(Text("StaticText6", QStringLiteral("in Datei:"), leiste), 0, 4);
    gitter->addWidget(Label12, 1, 4);
    gitter->addWidget(Text("StaticText7", QStringLiteral("Gespeicherte Werte:"), leiste), 2, 4);
    gitter->addWidget(Label13, 3, 4);
    // Where the readings go besides the file, while publishing is switched on; a long state
    // wraps instead of widening the window.
    VeroeffentlichenZustand = Benannt(new TUmbruchLabel(leiste), "VeroeffentlichenZustand");
    VeroeffentlichenZustand->hide();
    gitter->addWidget(VeroeffentlichenZustand, 4, 1, 1, 4);
    gitter->setColumnStretch(3, 1);
    gitter->setColumnStretch(4, 1);
    gitter->setHorizontalSpacing(6);
    // Texts that change while the program runs must not widen the window.
    for (QLabel* label : {Label8, Label9, Label12, Label13}) {
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("0")) * 8);
    }
    return leiste;
}

QWidget* TForm1::UntereLeiste() {
    Panel1 = Panel("Panel1", this);
    auto* zeile = new QHBoxLayout(Panel1);
    zeile->setContentsMargins(4, 2, 4, 2);
    // The line lamps take the room on the left.
    zeile->addStretch(1);
    InfoButton = Benannt(new TSpeedButton(QStringLiteral("Info"), Panel1), "InfoButton");
    InfoButton->setCheckable(false);
    ENDEButton = Benannt(new TSpeedButton(QStringLiteral("Programm-&Ende"), Panel1), "ENDEButton");
    ENDEButton->setCheckable(false);
    zeile->addWidget(InfoButton);
    zeile->addWidget(ENDEButton);
    return Panel1;
}
