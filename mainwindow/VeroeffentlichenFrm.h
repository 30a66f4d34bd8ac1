// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "mqtt/VeroeffentlichenEinstellungen.h"

#include <QDialog>
#include <QString>

#include <cstdint>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QShowEvent;
class QSpinBox;
class QToolButton;
class TVerbindungsPruefung;

// "Veröffentlichen": the group [Veroeffentlichen] of quorlits.conf, opened from the program
// options. The main window fills it (Zeigen), shows it modally and takes the values back on OK
// (TForm1::VeroeffentlichenClick). "Verbindung prüfen" tries the settings as they stand in the
// fields; the publisher's state line is kept current by the window. OK refuses, through the
// error box, a switched-on publisher whose server address or password file cannot be used.
class TVeroeffentlichenForm : public QDialog {
    Q_OBJECT
public:
    explicit TVeroeffentlichenForm(QWidget* parent = nullptr);
    ~TVeroeffentlichenForm() override;

    // The fields from `einstellungen`, with no result of an earlier check.
    void Zeigen(const TVeroeffentlichenEinstellungen& einstellungen);
    // What the fields say. The outbox limit keeps its bytes while its number of MB is unchanged.
    TVeroeffentlichenEinstellungen Einstellungen() const;
    // "Zustand: " and the publisher's state.
    void ZustandZeigen(const QString& zustand);

    void accept() override;
    void done(int ergebnis) override;

    QCheckBox* Aktiv = nullptr;
    QLineEdit* Server = nullptr;
    QLineEdit* Benutzer = nullptr;
    QLineEdit* PasswortDatei = nullptr;
    QLineEdit* CaDatei = nullptr;
    // "..." beside the two file fields: a file dialog that puts the chosen file in the field.
    QToolButton* PasswortDateiWaehlen = nullptr;
    QToolButton* CaDateiWaehlen = nullptr;
    QLineEdit* Arbeitsplatz = nullptr;
    QSpinBox* OutboxGrenze = nullptr; // in MB
    QPushButton* PruefenButton = nullptr;
    QLabel* Ergebnis = nullptr; // the check's outcome
    QLabel* Zustand = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* Feld(const char* name, const QString& hinweis);
    // The field with its "..." button in one row.
    QWidget* MitWahl(QLineEdit* feld, QToolButton*& knopf, const char* name, const QString& titel);
    void Pruefen();
    void Geprueft(bool erfolg, const QString& text);

    std::unique_ptr<TVerbindungsPruefung> pruefung_;
    std::uint64_t grenze_ = 0; // the outbox limit as filled in, in bytes
};
