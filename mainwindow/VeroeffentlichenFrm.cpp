// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mainwindow/VeroeffentlichenFrm.h"

#include "framework/widgets/Fehlerbox.h"
#include "framework/widgets/UmbruchLabel.h"
#include "mainwindow/DialogTeile.h"
#include "mqtt/MqttVerbindung.h"
#include "mqtt/VerbindungsPruefung.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr std::uint64_t MB = 1024ULL * 1024ULL;
// As much as quorlits.conf takes (2^50 bytes).
constexpr int GroessteGrenzeMb = 1 << 30;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

std::string Wert(const QLineEdit* feld) {
    return feld->text().trimmed().toStdString();
}

// A limit that is no whole number of MB is shown rounded up, never as 0.
int GrenzeInMb(std::uint64_t bytes) {
    const std::uint64_t mb = (bytes + MB - 1) / MB;
    return static_cast<int>(std::clamp<std::uint64_t>(mb, 1, GroessteGrenzeMb));
}

} // namespace

TVeroeffentlichenForm::TVeroeffentlichenForm(QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("VeroeffentlichenForm"));
    setWindowTitle(QStringLiteral("Veröffentlichen"));
    setModal(true);
    Aktiv = Benannt(
        new QCheckBox(QStringLiteral("Messwerte an einen MQTT-Broker veröffentlichen"), this),
        "Aktiv");
    Server = Feld("Server", QStringLiteral("mqtt://Rechner:1883, mit TLS mqtts://Rechner:8883"));
    Server->setPlaceholderText(QStringLiteral("mqtt://Rechner:1883"));
    Benutzer = Feld("Benutzer", QStringLiteral("Der Benutzer dieses Arbeitsplatzes beim Broker; "
                                               "leer: ohne Anmeldung."));
    PasswortDatei = Feld("PasswortDatei",
                         QStringLiteral("Eine Datei mit dem Passwort in der ersten Zeile, die nur "
                                        "ihr Besitzer lesen darf (chmod 600)."));
    CaDatei = Feld("CaDatei", QStringLiteral("Die Zertifizierungsstelle des Brokers bei mqtts://; "
                                             "leer: die des Systems."));
    Arbeitsplatz = Feld("Arbeitsplatz", QStringLiteral("Der Name dieses Arbeitsplatzes in den "
                                                       "Themen; leer: der Rechnername."));
    Arbeitsplatz->setPlaceholderText(Text(ArbeitsplatzName({})));
    OutboxGrenze = Benannt(new QSpinBox(this), "OutboxGrenze");
    OutboxGrenze->setRange(1, GroessteGrenzeMb);
    OutboxGrenze->setSuffix(QStringLiteral(" MB"));
    OutboxGrenze->setToolTip(
        QStringLiteral("So viel Platz nehmen Messwerte, die der Sammler noch nicht bestätigt hat, "
                       "auf der Platte; ist er voll, gehen die ältesten."));

    auto* felder = new QFormLayout;
    felder->addRow(QStringLiteral("&Server:"), Server);
    felder->addRow(QStringLiteral("&Benutzer:"), Benutzer);
    felder->addRow(QStringLiteral("&Passwortdatei:"),
                   MitWahl(PasswortDatei, PasswortDateiWaehlen, "PasswortDateiWaehlen",
                           QStringLiteral("Passwortdatei wählen")));
    felder->addRow(QStringLiteral("&CA-Datei:"), MitWahl(CaDatei, CaDateiWaehlen, "CaDateiWaehlen",
                                                         QStringLiteral("CA-Datei wählen")));
    felder->addRow(QStringLiteral("&Arbeitsplatz:"), Arbeitsplatz);
    felder->addRow(QStringLiteral("Ausgang &höchstens:"), OutboxGrenze);

    PruefenButton =
        Benannt(new QPushButton(QStringLiteral("Verbindung prüfen"), this), "PruefenButton");
    Ergebnis = Benannt(new TUmbruchLabel(this), "Ergebnis");
    auto* pruefen = new QHBoxLayout;
    pruefen->addWidget(PruefenButton, 0, Qt::AlignTop);
    pruefen->addWidget(Ergebnis, 1);
    Zustand = Benannt(new TUmbruchLabel(this), "Zustand");

    OKButton = Benannt(new QPushButton(QStringLiteral("OK"), this), "OKButton");
    CancelButton = Benannt(new QPushButton(QStringLiteral("Abbrechen"), this), "CancelButton");
    OKButton->setDefault(true);
    auto* knoepfe = new QHBoxLayout;
    knoepfe->addStretch(1);
    knoepfe->addWidget(CancelButton);
    knoepfe->addWidget(OKButton);

    auto* spalte = new QVBoxLayout(this);
    spalte->addWidget(Aktiv);
    spalte->addLayout(felder);
    spalte->addLayout(pruefen);
    spalte->addWidget(Zustand);
    spalte->addStretch(1);
    spalte->addLayout(knoepfe);
    setMinimumWidth(460);

    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(PruefenButton, &QPushButton::clicked, this, [this] { Pruefen(); });
    ZustandZeigen(QStringLiteral("aus"));
}

TVeroeffentlichenForm::~TVeroeffentlichenForm() = default;

QLineEdit* TVeroeffentlichenForm::Feld(const char* name, const QString& hinweis) {
    auto* feld = Benannt(new QLineEdit(this), name);
    feld->setToolTip(hinweis);
    return feld;
}

QWidget* TVeroeffentlichenForm::MitWahl(QLineEdit* feld, QToolButton*& knopf, const char* name,
                                        const QString& titel) {
    auto* zeile = new QWidget(this);
    auto* layout = new QHBoxLayout(zeile);
    layout->setContentsMargins(0, 0, 0, 0);
    knopf = Benannt(new QToolButton(zeile), name);
    knopf->setText(QStringLiteral("..."));
    knopf->setToolTip(titel);
    layout->addWidget(feld, 1);
    layout->addWidget(knopf);
    connect(knopf, &QToolButton::clicked, this, [this, feld, titel] {
        // Opens where the field's file lies, else in the home folder; hidden files are shown,
        // as a password file often is one.
        const QFileInfo jetzt(feld->text().trimmed());
        QFileDialog dialog(this, titel,
                           feld->text().trimmed().isEmpty() ? QDir::homePath() : jetzt.path());
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setFilter(dialog.filter() | QDir::Hidden);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
            feld->setText(dialog.selectedFiles().constFirst());
        }
    });
    return zeile;
}

void TVeroeffentlichenForm::Zeigen(const TVeroeffentlichenEinstellungen& e) {
    Aktiv->setChecked(e.Aktiv);
    Server->setText(Text(e.Server));
    Benutzer->setText(Text(e.Benutzer));
    PasswortDatei->setText(Text(e.PasswortDatei));
    CaDatei->setText(Text(e.CaDatei));
    Arbeitsplatz->setText(Text(e.Arbeitsplatz));
    grenze_ = e.OutboxGrenze;
    OutboxGrenze->setValue(GrenzeInMb(grenze_));
    Ergebnis->clear();
    PruefenButton->setEnabled(true);
}

TVeroeffentlichenEinstellungen TVeroeffentlichenForm::Einstellungen() const {
    TVeroeffentlichenEinstellungen e;
    e.Aktiv = Aktiv->isChecked();
    e.Server = Wert(Server);
    e.Benutzer = Wert(Benutzer);
    e.PasswortDatei = Wert(PasswortDatei);
    e.CaDatei = Wert(CaDatei);
    e.Arbeitsplatz = Wert(Arbeitsplatz);
    const int mb = OutboxGrenze->value();
    e.OutboxGrenze = mb == GrenzeInMb(grenze_) ? grenze_ : static_cast<std::uint64_t>(mb) * MB;
    return e;
}

void TVeroeffentlichenForm::ZustandZeigen(const QString& zustand) {
    Zustand->setText(QStringLiteral("Zustand: ") + zustand);
}

// A publisher switched on must be able to start; the error box says why it cannot, and the
// fields stay as typed.
void TVeroeffentlichenForm::accept() {
    const TVeroeffentlichenEinstellungen e = Einstellungen();
    if (e.Aktiv) {
        try {
            // The password file is read again before each connection; a CA file that is not
            // there yet is told when connecting.
            if (const TMqttZugang zugang = ZugangAus(e); !zugang.PasswortDatei.empty()) {
                (void)PasswortLesen(zugang.PasswortDatei);
            }
        } catch (...) {
            FehlerMelden(std::current_exception());
            return;
        }
    }
    QDialog::accept();
}

void TVeroeffentlichenForm::done(int ergebnis) {
    // A check still running has nobody to tell its outcome.
    pruefung_.reset();
    PruefenButton->setEnabled(true);
    QDialog::done(ergebnis);
}

void TVeroeffentlichenForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    DialogZeigen(*this, *Aktiv);
}

void TVeroeffentlichenForm::Pruefen() {
    pruefung_ = std::make_unique<TVerbindungsPruefung>();
    connect(pruefung_.get(), &TVerbindungsPruefung::Ergebnis, this,
            [this](bool erfolg, const QString& text) { Geprueft(erfolg, text); });
    PruefenButton->setEnabled(false);
    Ergebnis->setStyleSheet(QString());
    Ergebnis->setText(QStringLiteral("Verbindung zu %1 wird geprüft ...").arg(Server->text()));
    pruefung_->Pruefen(Einstellungen());
}

void TVeroeffentlichenForm::Geprueft(bool erfolg, const QString& text) {
    Ergebnis->setStyleSheet(erfolg ? QStringLiteral("color: #006000;")
                                   : QStringLiteral("color: #b00000;"));
    Ergebnis->setText(text);
    PruefenButton->setEnabled(true);
}
