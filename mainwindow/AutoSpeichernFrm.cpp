// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mainwindow/AutoSpeichernFrm.h"

#include "framework/widgets/Fehlerbox.h"
#include "framework/widgets/PBSpinEdit.h"
#include "storage/DatumZeit.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <array>

namespace {

struct TIntervall {
    const char* Beschriftung; // leading blanks as designed: they line the columns up
    std::uint16_t Sekunden;
};

constexpr std::array<TIntervall, 15> Intervalle{{
    {"   Alles", 0},
    {"   5 sec", 5},
    {" 10 sec", 10},
    {" 15 sec", 15},
    {" 20 sec", 20},
    {" 30 sec", 30},
    {" 1 min", 60},
    {" 2 min", 120},
    {" 5 min", 300},
    {"10 min", 600},
    {"15 min", 900},
    {"20 min", 1200},
    {"30 min", 1800},
    {"60 min", 3600},
    {"90 min", 5400},
}};

constexpr int IntervallSpalten = 5;
constexpr int Breite = 339;
constexpr int Hoehe = 446;
constexpr int Label1Breite = 225;
constexpr int AnzahlGleitMittelMin = 1;
constexpr int AnzahlGleitMittelMax = 300;
constexpr int AnzahlGleitMittelEntwurf = 10;

// Days of 30.12.1899, the origin of TDateTime.
const QDate Ursprung(1899, 12, 30);
constexpr double MillisekundenJeTag = 86400000.0;

template <typename W>
W* Benannt(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* Beschriftung(const char* name, const QString& text, QWidget* parent) {
    return Benannt(new QLabel(text, parent), name);
}

// The pickers hold wall-clock values: UTC keeps them free of daylight-saving gaps, in which a
// local 02:30 would not exist.
template <typename P>
P* Picker(const char* name, const QString& format, QWidget* parent) {
    auto* picker = Benannt(new P(parent), name);
    picker->setTimeSpec(Qt::UTC);
    picker->setDisplayFormat(format);
    return picker;
}

QStringList IntervallBeschriftungen() {
    QStringList texte;
    for (const TIntervall& intervall : Intervalle) {
        texte << QString::fromLatin1(intervall.Beschriftung);
    }
    return texte;
}

} // namespace

int SpeicherintervallIndex(std::uint16_t sekunden) {
    for (std::size_t i = 0; i < Intervalle.size(); ++i) {
        if (Intervalle[i].Sekunden == sekunden) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

std::uint16_t SpeicherintervallSekunden(int index) {
    if (index < 0 || index >= static_cast<int>(Intervalle.size())) {
        return 0;
    }
    return Intervalle[static_cast<std::size_t>(index)].Sekunden;
}

TDateTime PickerWert(const QDateTimeEdit* picker) {
    const QDateTime wert = picker->dateTime();
    const auto tage = static_cast<double>(Ursprung.daysTo(wert.date()));
    const double bruch = wert.time().msecsSinceStartOfDay() / MillisekundenJeTag;
    // Before the origin the fraction still counts forward from midnight.
    return tage >= 0 ? tage + bruch : tage - bruch;
}

void PickerSetzen(QDateTimeEdit* picker, TDateTime wert) {
    TZeitpunkt z;
    ZeitpunktSetzen(z, wert);
    const QTime zeit(z.Stunde, z.Minute, z.Sekunde);
    if ((picker->displayedSections() & QDateTimeEdit::DateSections_Mask) != 0) {
        picker->setDateTime(QDateTime(QDate(z.Jahr, z.Monat, z.Tag), zeit, Qt::UTC));
    } else {
        // A time picker has one fixed date; a full value would be clamped to it.
        picker->setTime(zeit);
    }
}

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, int columns,
                         QWidget* parent)
    : QGroupBox(caption, parent)
    , gruppe_(new QButtonGroup(this)) {
    auto* gitter = new QGridLayout(this);
    const int spalten = columns > 0 ? columns : 1;
    const int jeSpalte = (static_cast<int>(items.size()) + spalten - 1) / spalten;
    for (int i = 0; i < items.size(); ++i) {
        auto* knopf = new QRadioButton(items[i], this);
        gruppe_->addButton(knopf, i);
        gitter->addWidget(knopf, i % jeSpalte, i / jeSpalte);
        items_.push_back(knopf);
    }
    connect(gruppe_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked) {
            emit Click();
        }
    });
}

int TRadioGroup::ItemIndex() const {
    return gruppe_->checkedId();
}

void TRadioGroup::SetItemIndex(int index) {
    if (index >= 0 && index < Count()) {
        Item(index)->setChecked(true);
    }
}

TAuto_Form::TAuto_Form(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("Auto_Form"));
    setWindowTitle(QStringLiteral("Optionen zum Autospeichern"));
    setToolTip(QStringLiteral("Optionen zum Autospeichern der Daten"));
    setModal(true);
    Aufbauen();
    Verbinden();
    // The listed size, grown where this system's font needs more room than the design had.
    setFixedSize(minimumSizeHint().expandedTo(QSize(Breite, Hoehe)));
}

void TAuto_Form::Aufbauen() {
    auto* spalte = new QVBoxLayout(this);
    spalte->addWidget(DateiZeile());
    spalte->addWidget(Zeitangaben());
    RadioGroup1 = Benannt(new TRadioGroup(QStringLiteral("Speicherintervall ..."),
                                          IntervallBeschriftungen(), IntervallSpalten, this),
                          "RadioGroup1");
    RadioGroup1->setToolTip(QStringLiteral("Speicherintervall vorgeben."));
    spalte->addWidget(RadioGroup1);
    spalte->addWidget(Speicherangaben());
    spalte->addStretch(1);
    spalte->addWidget(Knopfzeile());
}

QWidget* TAuto_Form::DateiZeile() {
    auto* zeile = new QWidget(this);
    auto* layout = new QHBoxLayout(zeile);
    layout->setContentsMargins(0, 0, 0, 0);
    StaticText1 = Beschriftung("StaticText1", QStringLiteral("Ausgabedatei:"), zeile);
    Label1 = Beschriftung("Label1", QStringLiteral("Zieldatei"), zeile);
    Label1->setFixedWidth(Label1Breite);
    Label1->setAutoFillBackground(true);
    Label1->setBackgroundRole(QPalette::Highlight);
    Label1->setForegroundRole(QPalette::HighlightedText);
    layout->addWidget(StaticText1);
    layout->addWidget(Label1);
    layout->addStretch(1);
    return zeile;
}

QGroupBox* TAuto_Form::Zeitangaben() {
    GroupBox2 =
        Benannt(new QGroupBox(QStringLiteral("&Zeitangaben zum automatischen Speichern"), this),
                "GroupBox2");
    GroupBox2->setToolTip(QStringLiteral("Start und Ende für Autospeichern vorgeben."));
    const QString datum = QStringLiteral("dd.MM.yyyy");
    const QString zeit = QStringLiteral("HH:mm:ss");
    Label12 = Beschriftung("Label12", QStringLiteral("Startdatum:"), GroupBox2);
    DateTimePicker1 = Picker<QDateEdit>("DateTimePicker1", datum, GroupBox2);
    Label14 = Beschriftung("Label14", QStringLiteral("Startzeit:"), GroupBox2);
    DateTimePicker3 = Picker<QTimeEdit>("DateTimePicker3", zeit, GroupBox2);
    Label13 = Beschriftung("Label13", QStringLiteral("Enddatum:"), GroupBox2);
    DateTimePicker2 = Picker<QDateEdit>("DateTimePicker2", datum, GroupBox2);
    Label15 = Beschriftung("Label15", QStringLiteral("Endzeit:"), GroupBox2);
    DateTimePicker4 = Picker<QTimeEdit>("DateTimePicker4", zeit, GroupBox2);
    DateTimePicker1->setCalendarPopup(true);
    DateTimePicker2->setCalendarPopup(true);
    auto* gitter = new QGridLayout(GroupBox2);
    gitter->addWidget(Label12, 0, 0);
    gitter->addWidget(DateTimePicker1, 0, 1);
    gitter->addWidget(Label14, 0, 2);
    gitter->addWidget(DateTimePicker3, 0, 3);
    gitter->addWidget(Label13, 1, 0);
    gitter->addWidget(DateTimePicker2, 1, 1);
    gitter->addWidget(Label15, 1, 2);
    gitter->addWidget(DateTimePicker4, 1, 3);
    return GroupBox2;
}

QGroupBox* TAuto_Form::Speicherangaben() {
    const QString titel = QStringLiteral("Angaben zur Speicherung der Messwerte");
    GroupBox1 = Benannt(new QGroupBox(titel, this), "GroupBox1");
    GroupBox1->setToolTip(titel);
    CheckBox1 =
        Benannt(new QCheckBox(QStringLiteral("Messzeit dem Raster des Speicherintervalls anpassen"),
                              GroupBox1),
                "CheckBox1");
    CheckBox1->setToolTip(
        QStringLiteral("Die Zeit wird in das Zeitraster des Speicherintervalls eingepasst."));
    RadioButton1 =
        Benannt(new QRadioButton(QStringLiteral("reale Messwerte"), GroupBox1), "RadioButton1");
    RadioButton2 = Benannt(new QRadioButton(QStringLiteral("Mittelwert des Intervalls"), GroupBox1),
                           "RadioButton2");
    RadioButton3 = Benannt(
        new QRadioButton(QStringLiteral("gleitendes Mittel über ..."), GroupBox1), "RadioButton3");
    RadioButton1->setChecked(true);
    PBSpinEdit2 = Benannt(new TPBSpinEdit(GroupBox1), "PBSpinEdit2");
    PBSpinEdit2->SetMinValue(AnzahlGleitMittelMin);
    PBSpinEdit2->SetMaxValue(AnzahlGleitMittelMax);
    PBSpinEdit2->SetValue(AnzahlGleitMittelEntwurf);
    PBSpinEdit2->setEnabled(false);
    PBSpinEdit2->setToolTip(
        QStringLiteral("Anzahl der Werte, über die gleitendes Mittel gebildet wird."));
    Label2 = Beschriftung("Label2", QStringLiteral("Werte."), GroupBox1);
    auto* gitter = new QGridLayout(GroupBox1);
    gitter->addWidget(CheckBox1, 0, 0, 1, 3);
    gitter->addWidget(RadioButton1, 1, 0, 1, 3);
    gitter->addWidget(RadioButton2, 2, 0, 1, 3);
    gitter->addWidget(RadioButton3, 3, 0);
    gitter->addWidget(PBSpinEdit2, 3, 1);
    gitter->addWidget(Label2, 3, 2);
    gitter->setColumnStretch(2, 1);
    return GroupBox1;
}

QWidget* TAuto_Form::Knopfzeile() {
    auto* zeile = new QWidget(this);
    auto* layout = new QHBoxLayout(zeile);
    layout->setContentsMargins(0, 0, 0, 0);
    OKButton = Benannt(new QPushButton(QStringLiteral("OK"), zeile), "OKButton");
    CancelButton = Benannt(new QPushButton(QStringLiteral("Abbruch"), zeile), "CancelButton");
    OKButton->setDefault(true);
    layout->addStretch(1);
    layout->addWidget(OKButton);
    layout->addWidget(CancelButton);
    layout->addStretch(1);
    return zeile;
}

void TAuto_Form::Verbinden() {
    connect(RadioGroup1, &TRadioGroup::Click, this, [this] { Behandeln([this] { SetStatus(); }); });
    // A button that becomes checked runs its handler, whoever checked it; one that becomes
    // unchecked does not.
    const auto beimAnklicken = [this](QRadioButton* knopf, void (TAuto_Form::*handler)()) {
        connect(knopf, &QAbstractButton::toggled, this, [this, handler](bool checked) {
            if (checked) {
                Behandeln([this, handler] { (this->*handler)(); });
            }
        });
    };
    beimAnklicken(RadioButton1, &TAuto_Form::RadioButton1Click);
    beimAnklicken(RadioButton2, &TAuto_Form::RadioButton2Click);
    beimAnklicken(RadioButton3, &TAuto_Form::RadioButton3Click);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TAuto_Form::SetStatus() {
    if (RadioGroup1->ItemIndex() != 0) {
        RadioButton2->setEnabled(true);
    } else {
        if (RadioButton2->isChecked()) {
            RadioButton1->setChecked(true);
        }
        RadioButton2->setEnabled(false);
    }
    RadioGroup1->Item(0)->setEnabled(!RadioButton2->isChecked());
}

void TAuto_Form::RadioButton1Click() {
    if (RadioButton1->isChecked()) {
        PBSpinEdit2->setEnabled(false);
    }
    SetStatus();
}

void TAuto_Form::RadioButton2Click() {
    if (RadioButton2->isChecked()) {
        PBSpinEdit2->setEnabled(false);
    }
    SetStatus();
}

void TAuto_Form::RadioButton3Click() {
    PBSpinEdit2->setEnabled(RadioButton3->isChecked());
    SetStatus();
}

void TAuto_Form::FormClose() {
    RadioGroup1->Item(0)->setEnabled(true);
    RadioButton2->setEnabled(true);
}

void TAuto_Form::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* bildschirm = screen()) {
        move(bildschirm->availableGeometry().center() - rect().center());
    }
    OKButton->setFocus();
    Behandeln([this] { SetStatus(); });
}

void TAuto_Form::done(int result) {
    Behandeln([this] { FormClose(); });
    QDialog::done(result);
}
