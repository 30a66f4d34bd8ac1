// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <QDialog>
#include <QString>

#include <map>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QEvent;
class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QShowEvent;
class TPBSpinEdit;

// "Eingabe allgemeiner Programmoptionen": how data files are named and opened, the directory
// and file that receive the readings, and the table layout of unformatted reading. The main
// window fills the controls, shows the dialog modally and takes the values back on OK
// (TForm1::Option_BtnClick). Created once at start; its lists keep their state between
// showings.
//
// The four file controls are linked. DriveComboBox1 offers the file-system roots; choosing one
// moves to the directory last shown on it (else the root itself). DirectoryListBox1 lists ".."
// and the subdirectories of the shown directory; activating an entry (double click or Enter)
// moves there. Every move makes the new directory the process's current directory at once,
// shows it in Label3 and re-reads FileListBox1, whose files match the mask of
// FilterComboBox1. Choosing a file puts its name into Edit1; a re-reading leaves no file chosen
// and puts the mask into Edit1.
class TPrgOptionenForm : public QDialog {
    Q_OBJECT
public:
    explicit TPrgOptionenForm(QWidget* parent = nullptr);

    // The dialog's activation: the enabling of the file controls follows CheckBox1.
    void FormActivate();
    void CheckBox1Click();
    void SetStatus();

    // The directory of FileListBox1, absolute.
    QString Verzeichnis() const { return verzeichnis_; }

    QGroupBox* GroupBox2 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QRadioButton* RBAnfuegen = nullptr;
    QRadioButton* RBUeberschreiben = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QListWidget* DirectoryListBox1 = nullptr;
    QListWidget* FileListBox1 = nullptr;
    QComboBox* DriveComboBox1 = nullptr;
    QComboBox* FilterComboBox1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label1 = nullptr;
    TPBSpinEdit* PBSpinEdit1 = nullptr;
    QLabel* Label2 = nullptr;
    TPBSpinEdit* PBSpinEdit2 = nullptr;
    // Kept in quorlits.conf, not in PHRX.CFG.
    QCheckBox* AutomatischWiederverbinden = nullptr;
    QCheckBox* RohdatenAufzeichnen = nullptr;
    QCheckBox* AngabenInDatei = nullptr;
    // Opens the dialog of publishing (TForm1::VeroeffentlichenClick).
    QPushButton* VeroeffentlichenButton = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* objekt, QEvent* event) override;

private:
    QGroupBox* DateiGruppe();
    QGroupBox* TabellenGruppe();
    QLayout* MessungsZeile();
    void Verbinden();
    void Reihenfolge();

    // Makes `pfad` the process's current directory and shows it; refused with a beep when the
    // directory cannot be entered.
    void VerzeichnisWechseln(const QString& pfad);
    // Label3, the drive and both lists for the directory now shown.
    void VerzeichnisZeigen();
    void LaufwerkWaehlen(int index);
    void VerzeichnisOeffnen();
    void LaufwerkeLesen();
    void LaufwerkAnzeigen();
    void VerzeichnisseLesen();
    void DateienLesen();
    void DateiGewaehlt();

    QString verzeichnis_;
    std::vector<std::string> laufwerke_;
    // The directory last shown on each root, as a drive keeps its own current directory.
    std::map<std::string, QString> laufwerksVerzeichnis_;
};
