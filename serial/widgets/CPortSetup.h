// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <QDialog>

#include <array>

class QGroupBox;
class QLabel;
class QPushButton;
class TComComboBox;
class TCustomComPort;

// The setup dialog of a port: the device and its line settings in six lists. Note the button
// names: CancelButton is captioned "OK" and confirms, OKButton is captioned "Cancel".
class TComSetupFrm : public QDialog {
public:
    explicit TComSetupFrm(QWidget* parent = nullptr);

    QGroupBox* GroupBox1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    TComComboBox* Combo1; // port
    TComComboBox* Combo2; // baud rate
    TComComboBox* Combo3; // data bits
    TComComboBox* Combo4; // stop bits
    TComComboBox* Combo5; // parity
    TComComboBox* Combo6; // flow control
    QPushButton* CancelButton;
    QPushButton* OKButton;

    // The six lists in tab order.
    std::array<TComComboBox*, 6> Combos() const;

private:
    void FitLists();
};

// Shows the setup dialog for `port`. On confirmation all six settings are written inside one
// update batch, so an open port applies them once; the batch is ended also when a setting
// fails, and the error is passed on. Otherwise nothing is written. A device list that cannot be
// read raises EComPort code 23 before the dialog is shown.
void RunSetupDialog(TCustomComPort& port);
