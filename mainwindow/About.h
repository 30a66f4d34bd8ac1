// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class TEmaillabel;
class TSRColorButton;
class TUrlLabel;

// The about box: program, version, the meters it serves, and the computer's memory. Its figures
// are taken when it is created, so the main window creates a new box for every showing. It
// opens centred on its parent's window.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    // Fills the texts, the memory figures and the picture.
    void FormCreate();
    void SRColorButton4Click();

    QLabel* ProgramIcon = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label2 = nullptr;
    TEmaillabel* Emaillabel1 = nullptr;
    TUrlLabel* UrlLabel1 = nullptr;
    QFrame* Bevel1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* PhysMem = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* FreeRes = nullptr;
    TSRColorButton* SRColorButton4 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Aufbauen();
    QWidget* Kopf();
    QWidget* Speicherzeilen();
    void Einfaerben();
    void Zentrieren();
};
