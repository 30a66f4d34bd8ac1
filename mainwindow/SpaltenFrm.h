// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QShowEvent;
class TPBSpinEdit;

// "Tabellenoptionen": the column count and width of the table for unformatted reading. The main
// window fills the two fields, shows the dialog modally and takes the values back on OK
// (TForm1::Spalten1Click). Created once at start and reused.
class TSpalten_Form : public QDialog {
    Q_OBJECT
public:
    explicit TSpalten_Form(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    TPBSpinEdit* PBSpinEdit1 = nullptr; // Spaltenzahl, 5 to 50
    QLabel* Label2 = nullptr;
    TPBSpinEdit* PBSpinEdit2 = nullptr; // Spaltenbreite, 5 to 300
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};
