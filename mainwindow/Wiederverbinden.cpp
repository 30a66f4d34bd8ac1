// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mainwindow/ComMainForm.h"

#include "measurement/Messung.h"
#include "serial/ComPort.h"
#include "storage/PCZeit.h"

#include <QLabel>
#include <QPushButton>
#include <QStringList>

// The window's side of a lost line: the measurement waits for its device and goes on once it is
// back (TMessung); the window shows the wait beside the memo length, greys the lamps and keeps
// sending off until then.

namespace {

QString Uhrzeit(const TUhrzeit& zeit) {
    return QString::fromStdString(PCZeitText(zeit.Lokal));
}

// The label's text: the wait and its reason, or the interruptions of the measurement.
QString VerbindungsText(const TLeitungsStand& leitung) {
    if (leitung.WarteZeit) {
        return QStringLiteral("Getrennt seit %1: %2")
            .arg(Uhrzeit(*leitung.WarteZeit), QString::fromStdString(leitung.WarteGrund));
    }
    if (!leitung.LetzteUnterbrechung || !leitung.LetzteRueckkehr) {
        return {};
    }
    return QStringLiteral("Unterbrechungen: %1, zuletzt %2 bis %3")
        .arg(leitung.Unterbrechungen)
        .arg(Uhrzeit(*leitung.LetzteUnterbrechung), Uhrzeit(*leitung.LetzteRueckkehr));
}

// What the tool tip adds to the text: how the wait ends, or the name the adapter came back under.
QString VerbindungsErklaerung(const TLeitungsStand& leitung, const std::string& port) {
    const QString name = QString::fromStdString(port);
    if (leitung.WarteZeit) {
        return QStringLiteral(
                   "Die Messung läuft weiter; %1 wird wieder geöffnet, sobald es da ist.")
            .arg(name);
    }
    return port == leitung.MessName ? QString()
                                    : QStringLiteral("Der Adapter kam unter %1 zurück.").arg(name);
}

} // namespace

bool TForm1::WartetAufGeraet() const {
    return Messung().WartetAufGeraet();
}

void TForm1::WiederverbindenVersuchen() {
    Messung().WiederverbindenVersuchen();
}

void TForm1::LeitungZeigen() {
    Send_Btn->setEnabled(!WartetAufGeraet());
    LampenZeigen();
    VerbindungZeigen();
}

// The tool tip repeats the text, so it can be read whole wherever the label is narrow.
void TForm1::VerbindungZeigen() {
    const TLeitungsStand& leitung = Messung().Leitung();
    Verbindung->setStyleSheet(leitung.WarteZeit ? QStringLiteral("color: #b00000;") : QString());
    const QString text = VerbindungsText(leitung);
    Verbindung->setText(text);
    QStringList hinweis{text, VerbindungsErklaerung(leitung, comPort_->Port())};
    hinweis.removeAll(QString());
    Verbindung->setToolTip(hinweis.join(QLatin1Char('\n')));
}

// Waiting, the lamps of the line are greyed with their names: there is no line to show.
void TForm1::LampenZeigen() {
    auto* feld = findChild<QWidget*>(QStringLiteral("Lampenfeld"));
    if (feld == nullptr) {
        return;
    }
    feld->setEnabled(!WartetAufGeraet());
    feld->setToolTip(WartetAufGeraet() ? QStringLiteral("Leitung getrennt") : QString());
}
